#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace quobel::testing {

// A listening TCP socket on 127.0.0.1 and a port the system chose; closed when it goes.
class LoopbackListener {
  public:
    explicit LoopbackListener(int backlog = 8) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
            ::listen(fd_, backlog) != 0) {
            Close();
            throw std::runtime_error("cannot listen on the loopback interface");
        }
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() { Close(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int Port() const { return port_; }
    int Fd() const { return fd_; }
    int Accept() { return ::accept(fd_, nullptr, nullptr); }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A loopback port where nobody listens: one the system just handed out and that is free again.
inline int UnusedLoopbackPort() {
    LoopbackListener listener;
    return listener.Port();
}

}  // namespace quobel::testing
