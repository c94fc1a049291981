#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <memory>

namespace quobel {

// One running copy per user: the first instance listens on a local socket; a later start
// connects, tells the first one to show itself, waits until it has done so, and ends.
class TSingleInstance : public QObject {
    Q_OBJECT
  public:
    // The socket name of the current user: "Quobel.SingleInstance" and the user id.
    static QString DefaultName();

    explicit TSingleInstance(QString name, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // True when this is the first instance (it listens from now on). False when another
    // instance runs: it has been signalled and has answered (or did not answer in time).
    // A socket left behind by a crashed instance is removed and taken over.
    bool Acquire();
    // Stops listening and removes the socket.
    void Release();

    bool IsFirst() const { return server_ != nullptr; }

  signals:
    // A later start asked this instance to show itself.
    void Activated();

  private:
    bool SignalRunning() const;
    void ReadRequest(class QLocalSocket* socket);

    QString name_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace quobel
