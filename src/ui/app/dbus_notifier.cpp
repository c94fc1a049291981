#include "ui/app/dbus_notifier.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include "ui/common/lower_texts.h"
#include "ui/common/qt_text.h"

namespace quobel {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr uchar kLowUrgency = 0;
constexpr uchar kNormalUrgency = 1;
// The server's default display time.
constexpr int kServerTimeout = -1;

QDBusMessage Call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

}  // namespace

QString EscapedBodyMarkup(const QString& text) {
    return text.toHtmlEscaped();
}

TDBusNotifier::TDBusNotifier(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    if (bus_.isConnected()) {
        bus_.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                     SLOT(ActionInvoked(uint, QString)));
        bus_.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                     SLOT(NotificationClosed(uint, uint)));
    }
}

TDBusNotifier::~TDBusNotifier() = default;

void TDBusNotifier::Notify(const TNotification& notification,
                           std::function<void(uint32_t id)> shown) {
    if (!bus_.isConnected()) {
        Failed(bus_.lastError());
        return;
    }
    if (state_ == State::Known) {
        Send(notification, std::move(shown));
        return;
    }
    waiting_.push_back({notification, std::move(shown)});
    AskCapabilities();
}

void TDBusNotifier::AskCapabilities() {
    if (state_ == State::Asking) {
        return;
    }
    state_ = State::Asking;
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(Call(QStringLiteral("GetCapabilities"))), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QStringList> reply = *call;
                std::vector<Waiting> waiting;
                waiting.swap(waiting_);
                if (reply.isError()) {
                    // Asked again with the next notification: a service may start later.
                    state_ = State::Unknown;
                    Failed(reply.error());
                    return;
                }
                const QStringList capabilities = reply.value();
                actions_ = capabilities.contains(QStringLiteral("actions"));
                bodyMarkup_ = capabilities.contains(QStringLiteral("body-markup"));
                state_ = State::Known;
                for (Waiting& entry : waiting) {
                    Send(entry.Notification, std::move(entry.Shown));
                }
            });
}

void TDBusNotifier::Send(const TNotification& notification, std::function<void(uint32_t)> shown) {
    QStringList lines;
    for (const std::string& line : notification.BodyLines) {
        lines << Q(line);
    }
    QString body = lines.join(QLatin1Char('\n'));
    if (bodyMarkup_) {
        body = EscapedBodyMarkup(body);
    }
    QStringList actions;
    if (actions_) {
        for (const TNotification::TAction& action : notification.Actions) {
            actions << Q(action.Key) << ShownText(action.Label);
        }
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopEntry));
    hints.insert(QStringLiteral("category"), QStringLiteral("email.arrived"));
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(notification.Quiet ? kLowUrgency : kNormalUrgency));
    if (notification.Quiet) {
        hints.insert(QStringLiteral("suppress-sound"), true);
    }
    QDBusMessage call = Call(QStringLiteral("Notify"));
    call << QStringLiteral("Quobel") << static_cast<uint>(notification.Replaces)
         << QString::fromLatin1(kIconName) << ShownPatternText(notification.Summary) << body
         << actions << hints << kServerTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, shown = std::move(shown)](QDBusPendingCallWatcher* pending) {
                pending->deleteLater();
                const QDBusPendingReply<uint> reply = *pending;
                if (reply.isError()) {
                    // The service may have gone: its capabilities are asked for again.
                    state_ = State::Unknown;
                    Failed(reply.error());
                    return;
                }
                if (shown) {
                    shown(reply.value());
                }
            });
}

void TDBusNotifier::Close(uint32_t id) {
    if (!bus_.isConnected() || id == 0) {
        return;
    }
    QDBusMessage call = Call(QStringLiteral("CloseNotification"));
    call << static_cast<uint>(id);
    // Nobody waits for the answer: a notification already gone is no failure.
    bus_.call(call, QDBus::NoBlock);
}

void TDBusNotifier::ActionInvoked(uint id, const QString& actionKey) {
    if (OnAction) {
        OnAction(id, actionKey.toStdString());
    }
}

void TDBusNotifier::NotificationClosed(uint id, uint /*reason*/) {
    if (OnClosed) {
        OnClosed(id);
    }
}

void TDBusNotifier::Failed(const QDBusError& error) {
    if (failureReported_) {
        return;
    }
    failureReported_ = true;
    if (OnFailure) {
        OnFailure(S(tr("Could not show a desktop notification!")),
                  (error.name() + QStringLiteral(": ") + error.message()).toStdString());
    }
}

}  // namespace quobel
