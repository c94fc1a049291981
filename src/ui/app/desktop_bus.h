#pragma once

#include <QDBusConnection>

#include "cycle/announcer.h"
#include "ui/app/dbus_notifier.h"
#include "ui/app/dbus_service.h"

namespace quobel {

class TMailCycle;
struct TQuobelContext;

// The running instance on the session bus: new mail announced through the desktop's
// notification service, and Quobel's own D-Bus interface. Made once the instance knows it is
// the only one; goes before the check cycle.
class TDesktopBus {
  public:
    TDesktopBus(TMailCycle& cycle, TQuobelContext& context, const QDBusConnection& bus);

    // Whether the D-Bus interface could be offered (a bus, and the name was free).
    bool ServiceRegistered() const { return registered_; }
    TQuobelBusService& Service() { return service_; }

  private:
    // The announcer goes before the notifier it uses.
    TDBusNotifier notifier_;
    TAnnouncer announcer_;
    TQuobelBusService service_;
    bool registered_ = false;
};

}  // namespace quobel
