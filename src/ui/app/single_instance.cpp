#include "ui/app/single_instance.h"

#include <unistd.h>
#include <QLocalSocket>

namespace quobel {
namespace {

constexpr int kConnectTimeoutMs = 2000;
// The first instance answers after it has handled the request, as a broadcast message returns
// only when every window has processed it.
constexpr int kAnswerTimeoutMs = 10000;
const QByteArray kRequest = QByteArrayLiteral("WM_QB2INSTANCE\n");
const QByteArray kAnswer = QByteArrayLiteral("OK\n");

}  // namespace

QString TSingleInstance::DefaultName() {
    return QStringLiteral("Quobel.SingleInstance.%1").arg(static_cast<qulonglong>(::getuid()));
}

TSingleInstance::TSingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

TSingleInstance::~TSingleInstance() {
    Release();
}

bool TSingleInstance::SignalRunning() const {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    socket.write(kRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    while (socket.bytesAvailable() < kAnswer.size() && socket.waitForReadyRead(kAnswerTimeoutMs)) {
    }
    socket.disconnectFromServer();
    return true;
}

bool TSingleInstance::Acquire() {
    if (server_ != nullptr) {
        return true;
    }
    // Two attempts: a start that races with another one may lose the listen and then finds
    // the winner listening.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (SignalRunning()) {
            return false;
        }
        // Nobody answers: whatever socket is left over belongs to a crashed instance.
        auto server = std::make_unique<QLocalServer>();
        server->setSocketOptions(QLocalServer::UserAccessOption);
        QLocalServer::removeServer(name_);
        if (server->listen(name_)) {
            connect(server.get(), &QLocalServer::newConnection, this, [this] {
                while (QLocalSocket* socket = server_->nextPendingConnection()) {
                    connect(socket, &QLocalSocket::readyRead, this,
                            [this, socket] { ReadRequest(socket); });
                    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                    ReadRequest(socket);
                }
            });
            server_ = std::move(server);
            return true;
        }
    }
    // Neither signalled nor listening (the socket folder is not usable): run anyway rather
    // than refuse to start.
    return true;
}

void TSingleInstance::ReadRequest(QLocalSocket* socket) {
    if (!socket->canReadLine()) {
        return;
    }
    const QByteArray line = socket->readLine();
    if (line == kRequest) {
        emit Activated();
    }
    socket->write(kAnswer);
    socket->flush();
}

void TSingleInstance::Release() {
    if (server_ != nullptr) {
        server_->close();
        server_.reset();
    }
}

}  // namespace quobel
