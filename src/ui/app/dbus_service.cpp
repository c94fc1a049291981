#include "ui/app/dbus_service.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>

#include "accounts/accounts.h"
#include "cycle/inbox_queries.h"
#include "cycle/msg_list_controller.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/common/qt_text.h"

namespace quobel {
namespace {

TBusMessage BusMessageOf(const TMessageFacts& facts) {
    return {Q(facts.Key), Q(facts.AccountName), Q(facts.Sender), Q(facts.Subject), Q(facts.Date)};
}

}  // namespace

QDBusArgument& operator<<(QDBusArgument& argument, const TBusMessage& message) {
    argument.beginStructure();
    argument << message.Key << message.Account << message.Sender << message.Subject << message.Date;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, TBusMessage& message) {
    argument.beginStructure();
    argument >> message.Key >> message.Account >> message.Sender >> message.Subject >> message.Date;
    argument.endStructure();
    return argument;
}

TQuobelBusService::TQuobelBusService(TMsgListController& controller, TAccounts& accounts,
                                     QObject* parent)
    : QObject(parent), controller_(controller), accounts_(accounts) {
    qDBusRegisterMetaType<TBusMessage>();
    qDBusRegisterMetaType<QList<TBusMessage>>();
    TCycleEvents& events = controller.Events;
    subscriptions_.push_back(
        events.MailBrought.Subscribe([this](TAccount&, const std::vector<TMailItem*>& items) {
            QList<TBusMessage> messages;
            for (auto item = items.rbegin(); item != items.rend(); ++item) {
                messages << BusMessageOf(FactsOf(**item));
            }
            emit NewMail(messages);
        }));
    subscriptions_.push_back(events.UnreadChanged.Subscribe([this](TMailBox& box) {
        if (&box != controller_.Inbox) {
            return;
        }
        const uint count = UnreadCount();
        if (count != lastUnread_) {
            lastUnread_ = count;
            emit UnreadChanged(count);
        }
    }));
}

TQuobelBusService::~TQuobelBusService() {
    if (bus_) {
        bus_->unregisterService(QString::fromLatin1(kServiceName));
        bus_->unregisterObject(QString::fromLatin1(kObjectPath));
    }
}

bool TQuobelBusService::Register(QDBusConnection bus) {
    if (bus_ || !bus.isConnected()) {
        return false;
    }
    lastUnread_ = UnreadCount();
    if (!bus.registerObject(
            QString::fromLatin1(kObjectPath), this,
            QDBusConnection::ExportScriptableSlots | QDBusConnection::ExportScriptableSignals)) {
        return false;
    }
    if (!bus.registerService(QString::fromLatin1(kServiceName))) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return false;
    }
    bus_ = bus;
    return true;
}

void TQuobelBusService::Refuse(const char* name, const QString& text) {
    sendErrorReply(QStringLiteral("org.quobel.Quobel1.Error.") + QLatin1String(name), text);
}

bool TQuobelBusService::CheckMail(const QString& account_id) {
    if (account_id.isEmpty()) {
        return controller_.actSynchronize();
    }
    TAccount* account = accounts_.FindByID(account_id.toStdString());
    if (account == nullptr) {
        Refuse("UnknownAccount",
               QStringLiteral("There is no account with the id \"%1\".").arg(account_id));
        return false;
    }
    // As the Check mail command: refused while a check is queued or running.
    if (controller_.Checking()) {
        return false;
    }
    controller_.CheckAccount(*account);
    return true;
}

uint TQuobelBusService::UnreadCount() {
    const TMailBox* inbox = controller_.Inbox;
    return inbox == nullptr || inbox->Unread < 0 ? 0 : static_cast<uint>(inbox->Unread);
}

QList<TBusMessage> TQuobelBusService::GetUnread() {
    QList<TBusMessage> messages;
    if (controller_.Inbox == nullptr) {
        return messages;
    }
    for (const TMessageFacts& facts : UnreadMessages(*controller_.Inbox)) {
        messages << BusMessageOf(facts);
    }
    return messages;
}

uint TQuobelBusService::MarkRead(const QStringList& keys) {
    std::vector<TMailItem*> items;
    for (const QString& key : keys) {
        TMailItem* item = controller_.Inbox != nullptr
                              ? FindMessage(*controller_.Inbox, key.toStdString())
                              : nullptr;
        if (item == nullptr) {
            Refuse("UnknownMessage",
                   QStringLiteral("There is no message with the key \"%1\" in the Inbox; "
                                  "nothing was marked.")
                       .arg(key));
            return 0;
        }
        items.push_back(item);
    }
    uint marked = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i]->Read) {
            ++marked;
        }
        // The bar follows once, after the last.
        controller_.MarkMessageRead(*items[i], i + 1 == items.size());
    }
    return marked;
}

bool TQuobelBusService::ShowMessage(const QString& key) {
    TMailItem* item =
        controller_.Inbox != nullptr ? FindMessage(*controller_.Inbox, key.toStdString()) : nullptr;
    if (item == nullptr) {
        return false;
    }
    controller_.FocusMessage(*item);
    return true;
}

}  // namespace quobel
