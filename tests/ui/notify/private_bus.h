#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <stdexcept>
#include <vector>

namespace quobel::testing {

// A session bus of the test's own: dbus-daemon, started here and stopped with this.
class PrivateBus {
  public:
    PrivateBus() {
        daemon_.setProgram(QStringLiteral("dbus-daemon"));
        daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"),
                              QStringLiteral("--print-address")});
        daemon_.start();
        if (!daemon_.waitForStarted(10000)) {
            throw std::runtime_error("dbus-daemon did not start (package dbus)");
        }
        while (!daemon_.canReadLine() && daemon_.waitForReadyRead(30000)) {
        }
        Address = QString::fromUtf8(daemon_.readLine()).trimmed();
        if (Address.isEmpty()) {
            throw std::runtime_error("dbus-daemon told no address");
        }
    }
    ~PrivateBus() {
        daemon_.terminate();
        if (!daemon_.waitForFinished(10000)) {
            daemon_.kill();
            daemon_.waitForFinished(10000);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // A connection of its own to the bus, under a name unique in the process.
    QDBusConnection Connect(const QString& name) const {
        QDBusConnection connection = QDBusConnection::connectToBus(Address, name);
        if (!connection.isConnected()) {
            throw std::runtime_error("could not connect to the private bus");
        }
        return connection;
    }

    QString Address;

  private:
    QProcess daemon_;
};

// A desktop notification service that records what it is asked and shows nothing; the test
// makes it emit the signals a user's clicks would.
class RecordingNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    struct Shown {
        uint Id = 0;
        QString AppName;
        uint Replaces = 0;
        QString Icon;
        QString Summary;
        QString Body;
        QStringList Actions;
        QVariantMap Hints;
    };

    QStringList Capabilities{QStringLiteral("actions"), QStringLiteral("body"),
                             QStringLiteral("body-markup")};
    std::vector<Shown> Notes;
    std::vector<uint> Closed;

    void Click(uint id, const QString& action) { emit ActionInvoked(id, action); }

  public slots:
    QStringList GetCapabilities() { return Capabilities; }
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
                const QString& summary, const QString& body, const QStringList& actions,
                const QVariantMap& hints, int /*expireTimeout*/) {
        const uint id = replacesId != 0 ? replacesId : nextId_++;
        Notes.push_back({id, appName, replacesId, appIcon, summary, body, actions, hints});
        return id;
    }
    void CloseNotification(uint id) {
        Closed.push_back(id);
        emit NotificationClosed(id, 3);
    }
    void GetServerInformation(QString& name, QString& vendor, QString& version,
                              QString& specVersion) {
        name = QStringLiteral("recorder");
        vendor = QStringLiteral("quobel tests");
        version = QStringLiteral("1");
        specVersion = QStringLiteral("1.2");
    }

  signals:
    void ActionInvoked(uint id, const QString& actionKey);
    void NotificationClosed(uint id, uint reason);

  private:
    uint nextId_ = 1;
};

}  // namespace quobel::testing
