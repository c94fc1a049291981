#include "ui/app/desktop_bus.h"

#include "ui/app/mail_cycle.h"
#include "ui/app/quobel_context.h"

namespace quobel {

TDesktopBus::TDesktopBus(TMailCycle& cycle, TQuobelContext& context, const QDBusConnection& bus)
    : notifier_(bus),
      announcer_(cycle.Controller(), context.Options, notifier_),
      service_(cycle.Controller(), context.Accounts) {
    TMsgListController& controller = cycle.Controller();
    notifier_.OnFailure = [&controller](const std::string& text, const std::string& details) {
        controller.LogError(text, details);
    };
    registered_ = service_.Register(bus);
}

}  // namespace quobel
