#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "cycle/cycle_event.h"

namespace quobel {

class TAccounts;
class TMsgListController;

// One message as the D-Bus interface describes it: (sssss).
struct TBusMessage {
    QString Key;
    QString Account;
    QString Sender;
    QString Subject;
    QString Date;
};

QDBusArgument& operator<<(QDBusArgument& argument, const TBusMessage& message);
const QDBusArgument& operator>>(const QDBusArgument& argument, TBusMessage& message);

}  // namespace quobel

Q_DECLARE_METATYPE(quobel::TBusMessage)

namespace quobel {

// Quobel's D-Bus interface (org.quobel.Quobel1, see org.quobel.Quobel1.xml beside this file)
// for shell extensions, panels and scripts, answered by the check cycle on the user-interface
// thread.
class TQuobelBusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.quobel.Quobel1")

  public:
    static constexpr const char* kServiceName = "org.quobel.Quobel";
    static constexpr const char* kObjectPath = "/org/quobel/Quobel";

    TQuobelBusService(TMsgListController& controller, TAccounts& accounts,
                      QObject* parent = nullptr);
    ~TQuobelBusService() override;

    // Offers the interface on the bus: the object, then the name. False, with nothing left
    // claimed, when there is no bus or another program holds the name.
    bool Register(QDBusConnection bus);

  public slots:
    Q_SCRIPTABLE bool CheckMail(const QString& account_id);
    Q_SCRIPTABLE uint UnreadCount();
    Q_SCRIPTABLE QList<quobel::TBusMessage> GetUnread();
    Q_SCRIPTABLE uint MarkRead(const QStringList& keys);
    Q_SCRIPTABLE bool ShowMessage(const QString& key);

  signals:
    Q_SCRIPTABLE void NewMail(const QList<quobel::TBusMessage>& messages);
    Q_SCRIPTABLE void UnreadChanged(uint count);

  private:
    // Answers the running call with an error; the method's own result is then not sent.
    void Refuse(const char* name, const QString& text);

    TMsgListController& controller_;
    TAccounts& accounts_;
    // The bus it is registered on.
    std::optional<QDBusConnection> bus_;
    uint lastUnread_ = 0;
    std::vector<TSubscription> subscriptions_;
};

}  // namespace quobel
