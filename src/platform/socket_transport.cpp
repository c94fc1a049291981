#include "platform/socket_transport.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include "core/error.h"
#include "platform/cancel_signal.h"
#include "platform/socket_transport_certificate.h"

namespace quobel {

namespace {

using Clock = std::chrono::steady_clock;

std::string SystemText(int code) {
    char buffer[256];
    // The GNU variant returns the text, which may or may not be the buffer.
    return strerror_r(code, buffer, sizeof buffer);
}

Error SocketError(int code) {
    return Error("Socket Error # " + std::to_string(code) + "\r\n" + SystemText(code));
}

std::string OpenSslErrors() {
    std::string text;
    while (const unsigned long code = ERR_get_error()) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty()) {
            text += "; ";
        }
        text += buffer;
    }
    return text.empty() ? "unknown error" : text;
}

struct SslCtxFree {
    void operator()(SSL_CTX* ctx) const { SSL_CTX_free(ctx); }
};
struct SslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};

enum class WaitResult { Ready, TimedOut };

// Waits until the descriptor is ready for the events, the time runs out or the cancel signal is
// raised (which fails with "Connection aborted.").
WaitResult WaitFor(int fd, short events, int timeoutMs, const TCancelSignal* cancel) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd entries[2] = {{fd, events, 0}, {cancel ? cancel->Fd() : -1, POLLIN, 0}};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int waitMs = left.count() < 0 ? 0 : static_cast<int>(left.count());
        const int ready = poll(entries, cancel ? 2 : 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw SocketError(errno);
        }
        if (cancel && (entries[1].revents & POLLIN)) {
            throw Error("Connection aborted.");
        }
        if (ready > 0) {
            return WaitResult::Ready;
        }
        if (Clock::now() >= deadline) {
            return WaitResult::TimedOut;
        }
    }
}

class TSocketTransport : public TTransport {
  public:
    TSocketTransport(int fd, int readTimeout, const TCancelSignal* cancel)
        : fd_(fd), readTimeout_(readTimeout), cancel_(cancel) {}
    ~TSocketTransport() override { Close(); }

    void Write(std::string_view bytes) override {
        if (fd_ < 0) {
            throw Error("Not Connected");
        }
        while (!bytes.empty()) {
            const size_t sent = ssl_ ? WriteTls(bytes) : WritePlain(bytes);
            bytes.remove_prefix(sent);
        }
    }

    size_t Read(char* buffer, size_t capacity) override {
        if (fd_ < 0) {
            throw Error("Not Connected");
        }
        return ssl_ ? ReadTls(buffer, capacity) : ReadPlain(buffer, capacity);
    }

    void StartTls(const TTlsTrust& trust) override {
        if (fd_ < 0) {
            throw Error("Not Connected");
        }
        ctx_.reset(SSL_CTX_new(TLS_client_method()));
        if (!ctx_) {
            throw Error("TLS setup failed: " + OpenSslErrors());
        }
        SSL_CTX_set_min_proto_version(ctx_.get(), TLS1_2_VERSION);
        // The handshake completes even with a certificate that does not verify: the decision is
        // taken after it, before a byte of the session is sent, where a pinned key can count.
        SSL_CTX_set_verify(ctx_.get(), SSL_VERIFY_PEER, RememberFirstVerifyFailure);
        // A server that drops the connection without close_notify has still closed it.
        SSL_CTX_set_options(ctx_.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
        if (SSL_CTX_set_default_verify_paths(ctx_.get()) != 1) {
            ERR_clear_error();
        }
        if (!trust.CAFile.empty() &&
            SSL_CTX_load_verify_locations(ctx_.get(), trust.CAFile.c_str(), nullptr) != 1) {
            ERR_clear_error();
            throw Error("Unable to read the CA file " + trust.CAFile);
        }
        ssl_.reset(SSL_new(ctx_.get()));
        if (!ssl_ || SSL_set_fd(ssl_.get(), fd_) != 1) {
            throw Error("TLS setup failed: " + OpenSslErrors());
        }
        long firstVerifyFailure = X509_V_OK;
        SSL_set_app_data(ssl_.get(), &firstVerifyFailure);
        const std::string& hostName = trust.HostName;
        in6_addr address;
        const bool isAddress = inet_pton(AF_INET, hostName.c_str(), &address) == 1 ||
                               inet_pton(AF_INET6, hostName.c_str(), &address) == 1;
        if (isAddress) {
            X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), hostName.c_str());
        } else {
            SSL_set1_host(ssl_.get(), hostName.c_str());
            SSL_set_tlsext_host_name(ssl_.get(), hostName.c_str());
        }
        try {
            Handshake();
            AcceptPeerOrThrow(ssl_.get(), trust, firstVerifyFailure);
            SSL_set_app_data(ssl_.get(), nullptr);
        } catch (...) {
            // Nothing of the session has been sent: the connection just goes.
            ssl_.reset();
            Close();
            throw;
        }
    }

    void Close() noexcept override {
        if (fd_ < 0) {
            return;
        }
        if (ssl_) {
            // One attempt at close_notify; the socket is non-blocking, so this never waits.
            SSL_shutdown(ssl_.get());
            ssl_.reset();
            ERR_clear_error();
        }
        close(fd_);
        fd_ = -1;
    }

  private:
    void Handshake() {
        for (;;) {
            ERR_clear_error();
            const int result = SSL_connect(ssl_.get());
            if (result == 1) {
                return;
            }
            const int error = SSL_get_error(ssl_.get(), result);
            if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
                Wait(error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT, "Read timed out.");
                continue;
            }
            throw Error(HandshakeFailure(error));
        }
    }

    void Wait(short events, const char* timeoutText) {
        if (WaitFor(fd_, events, readTimeout_, cancel_) == WaitResult::TimedOut) {
            throw Error(timeoutText);
        }
    }

    size_t WritePlain(std::string_view bytes) {
        for (;;) {
            const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent >= 0) {
                return static_cast<size_t>(sent);
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                Wait(POLLOUT, "Write timed out.");
            } else if (errno != EINTR) {
                throw SocketError(errno);
            }
        }
    }

    size_t ReadPlain(char* buffer, size_t capacity) {
        for (;;) {
            const ssize_t received = recv(fd_, buffer, capacity, 0);
            if (received >= 0) {
                return static_cast<size_t>(received);
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                Wait(POLLIN, "Read timed out.");
            } else if (errno != EINTR) {
                throw SocketError(errno);
            }
        }
    }

    size_t WriteTls(std::string_view bytes) {
        for (;;) {
            ERR_clear_error();
            size_t written = 0;
            const int result = SSL_write_ex(ssl_.get(), bytes.data(), bytes.size(), &written);
            if (result == 1) {
                return written;
            }
            HandleTlsError(SSL_get_error(ssl_.get(), result), "Write timed out.");
        }
    }

    size_t ReadTls(char* buffer, size_t capacity) {
        for (;;) {
            ERR_clear_error();
            size_t received = 0;
            const int result = SSL_read_ex(ssl_.get(), buffer, capacity, &received);
            if (result == 1) {
                return received;
            }
            const int error = SSL_get_error(ssl_.get(), result);
            if (error == SSL_ERROR_ZERO_RETURN) {
                return 0;
            }
            if (error == SSL_ERROR_SYSCALL && errno == 0 && ERR_peek_error() == 0) {
                return 0;
            }
            HandleTlsError(error, "Read timed out.");
        }
    }

    // Waits when OpenSSL needs the socket, fails otherwise.
    void HandleTlsError(int error, const char* timeoutText) {
        if (error == SSL_ERROR_WANT_READ) {
            Wait(POLLIN, timeoutText);
        } else if (error == SSL_ERROR_WANT_WRITE) {
            Wait(POLLOUT, timeoutText);
        } else if (error == SSL_ERROR_SYSCALL && errno != 0) {
            throw SocketError(errno);
        } else {
            throw Error("TLS error: " + OpenSslErrors());
        }
    }

    static std::string HandshakeFailure(int error) {
        if (error == SSL_ERROR_SYSCALL && errno != 0) {
            return "TLS handshake failed: " + SystemText(errno);
        }
        return "TLS handshake failed: " + OpenSslErrors();
    }

    int fd_;
    int readTimeout_;
    const TCancelSignal* cancel_;
    std::unique_ptr<SSL_CTX, SslCtxFree> ctx_;
    std::unique_ptr<SSL, SslFree> ssl_;
};

struct AddrInfoFree {
    void operator()(addrinfo* info) const { freeaddrinfo(info); }
};

struct FdCloser {
    int fd = -1;
    ~FdCloser() {
        if (fd >= 0) {
            close(fd);
        }
    }
    int Release() { return std::exchange(fd, -1); }
};

}  // namespace

std::unique_ptr<TTransport> ConnectSocket(const TConnectRequest& request) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_ADDRCONFIG;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(request.Port);
    const int resolved = getaddrinfo(request.Host.c_str(), service.c_str(), &hints, &found);
    if (resolved != 0) {
        if (resolved == EAI_SYSTEM) {
            throw SocketError(errno);
        }
        throw Error("Socket Error # " + std::to_string(resolved) + "\r\n" + gai_strerror(resolved));
    }
    const std::unique_ptr<addrinfo, AddrInfoFree> addresses(found);

    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(request.ConnectTimeout);
    int lastError = ECONNREFUSED;
    for (const addrinfo* address = addresses.get(); address; address = address->ai_next) {
        FdCloser socketFd{socket(address->ai_family,
                                 address->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                 address->ai_protocol)};
        if (socketFd.fd < 0) {
            lastError = errno;
            continue;
        }
        int result = connect(socketFd.fd, address->ai_addr, address->ai_addrlen);
        if (result != 0 && errno != EINPROGRESS) {
            lastError = errno;
            continue;
        }
        if (result != 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            const int leftMs = left.count() < 0 ? 0 : static_cast<int>(left.count());
            if (WaitFor(socketFd.fd, POLLOUT, leftMs, request.Cancel) == WaitResult::TimedOut) {
                throw Error("Connect timed out.");
            }
            int error = 0;
            socklen_t length = sizeof error;
            if (getsockopt(socketFd.fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) {
                error = errno;
            }
            if (error != 0) {
                lastError = error;
                continue;
            }
        }
        return std::make_unique<TSocketTransport>(socketFd.Release(), request.ReadTimeout,
                                                  request.Cancel);
    }
    throw SocketError(lastError);
}

}  // namespace quobel
