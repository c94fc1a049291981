#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/notifier.h"

class QDBusError;
class QDBusPendingCallWatcher;

namespace quobel {

// The desktop's notification service (org.freedesktop.Notifications, version 1.2) on a D-Bus
// connection. Every call is asynchronous: the user-interface thread never waits for the
// service. The service's capabilities are asked for once it is first needed; notifications made
// meanwhile wait for the answer. A service that is missing or fails costs the notification at
// hand and one entry in the error log per run; the next new mail asks again, nothing is retried.
class TDBusNotifier : public QObject, public Notifier {
    Q_OBJECT
  public:
    static constexpr const char* kDesktopEntry = "org.quobel.Quobel";
    static constexpr const char* kIconName = "org.quobel.Quobel";

    explicit TDBusNotifier(QDBusConnection bus, QObject* parent = nullptr);
    ~TDBusNotifier() override;

    void Notify(const TNotification& notification, std::function<void(uint32_t id)> shown) override;
    void Close(uint32_t id) override;

    // The one report of a failure (the error log's text and details).
    std::function<void(const std::string& text, const std::string& details)> OnFailure;

  private slots:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

  private:
    struct Waiting {
        TNotification Notification;
        std::function<void(uint32_t)> Shown;
    };
    enum class State { Unknown, Asking, Known };

    void AskCapabilities();
    void Send(const TNotification& notification, std::function<void(uint32_t)> shown);
    void Failed(const QDBusError& error);

    QDBusConnection bus_;
    State state_ = State::Unknown;
    bool actions_ = false;
    bool bodyMarkup_ = false;
    bool failureReported_ = false;
    std::vector<Waiting> waiting_;
};

// The body text as a service that reads markup shows it literally.
QString EscapedBodyMarkup(const QString& text);

}  // namespace quobel
