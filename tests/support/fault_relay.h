#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_listener.h"

namespace quobel::testing {

// What goes wrong, and when: the connection is closed, or held silent (both ways) while it stays
// open, once K bytes of the server's stream reached the client, or once the client's K-th
// command line (its line feed included) reached the server. K = 0 breaks it before anything
// passed.
struct FaultPlan {
    enum class Kind { Close, Stall };
    enum class Point { ServerByte, ClientCommand };
    Kind What = Kind::Close;
    Point Where = Point::ServerByte;
    size_t K = 0;
};

// What one connection carried through the relay.
struct RelayedConversation {
    size_t ServerBytes = 0;     // passed on to the client
    size_t ClientCommands = 0;  // complete lines passed on to the server
    // The server's bytes passed on before the client's last line began to arrive: all that a
    // client needs when its last line is "QUIT", whose reply it does not wait for.
    size_t ServerBytesBeforeLastCommand = 0;
};

// A TCP relay on loopback between a client and a server, that breaks the next connection as it
// was told (Arm). One thread serves every connection; everything ends when the relay goes.
class FaultRelay {
  public:
    FaultRelay(std::string upstreamHost, int upstreamPort)
        : upstreamHost_(std::move(upstreamHost)), upstreamPort_(upstreamPort) {
        wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) {
            throw std::runtime_error("cannot make the relay's event descriptor");
        }
        thread_ = std::thread([this] { Serve(); });
    }
    ~FaultRelay() {
        stop_.store(true);
        Wake();
        thread_.join();
        ::close(wake_);
    }
    FaultRelay(const FaultRelay&) = delete;
    FaultRelay& operator=(const FaultRelay&) = delete;

    int Port() const { return listener_.Port(); }

    // The next connection breaks as planned; without a plan, it is carried whole.
    void Arm(std::optional<FaultPlan> plan) {
        const std::lock_guard lock(mutex_);
        armed_ = plan;
        faulted_ = false;
    }
    // The armed fault has struck.
    bool Faulted() const {
        const std::lock_guard lock(mutex_);
        return faulted_;
    }
    // A connection is held silent.
    bool Stalling() const {
        const std::lock_guard lock(mutex_);
        return stalling_ > 0;
    }
    // No connection is open (the client's ends were seen to close).
    bool Idle() const {
        const std::lock_guard lock(mutex_);
        return open_ == 0;
    }
    // The last connection that ended.
    RelayedConversation Last() const {
        const std::lock_guard lock(mutex_);
        return last_;
    }

  private:
    struct Pair {
        int Client = -1;
        int Server = -1;
        std::optional<FaultPlan> Plan;
        RelayedConversation Carried;
        bool LineStarted = false;  // part of a client line has been passed on
        bool Stalled = false;
    };

    void Wake() const {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
    }

    static bool SendAll(int fd, const char* bytes, size_t count) {
        while (count > 0) {
            const ssize_t sent = ::send(fd, bytes, count, MSG_NOSIGNAL);
            if (sent <= 0) {
                return false;
            }
            bytes += sent;
            count -= static_cast<size_t>(sent);
        }
        return true;
    }

    int ConnectUpstream() const {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(upstreamPort_));
        if (fd < 0 || ::inet_pton(AF_INET, upstreamHost_.c_str(), &address.sin_addr) != 1 ||
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            if (fd >= 0) {
                ::close(fd);
            }
            return -1;
        }
        return fd;
    }

    void Accept() {
        const int client = listener_.Accept();
        if (client < 0) {
            return;
        }
        const int server = ConnectUpstream();
        if (server < 0) {
            ::close(client);
            return;
        }
        Pair pair;
        pair.Client = client;
        pair.Server = server;
        {
            const std::lock_guard lock(mutex_);
            pair.Plan = armed_;
            armed_.reset();
            ++open_;
        }
        pairs_.push_back(pair);
        // A fault before anything passed strikes at once.
        if (pair.Plan && pair.Plan->K == 0) {
            Strike(pairs_.back());
        }
    }

    void Strike(Pair& pair) {
        {
            const std::lock_guard lock(mutex_);
            faulted_ = true;
        }
        if (pair.Plan->What == FaultPlan::Kind::Close) {
            End(pair);
            return;
        }
        pair.Stalled = true;
        const std::lock_guard lock(mutex_);
        ++stalling_;
    }

    void End(Pair& pair) {
        if (pair.Client < 0) {
            return;
        }
        ::close(pair.Client);
        ::close(pair.Server);
        pair.Client = pair.Server = -1;
        const std::lock_guard lock(mutex_);
        --open_;
        if (pair.Stalled) {
            --stalling_;
        }
        last_ = pair.Carried;
    }

    bool Armed(const Pair& pair, FaultPlan::Point point) const {
        return pair.Plan && !pair.Stalled && pair.Plan->Where == point;
    }

    // The server spoke: its bytes go on to the client, up to the planned byte.
    void FromServer(Pair& pair) {
        char buffer[16384];
        const ssize_t got = ::recv(pair.Server, buffer, sizeof buffer, 0);
        if (got <= 0) {
            End(pair);
            return;
        }
        size_t pass = static_cast<size_t>(got);
        const bool planned = Armed(pair, FaultPlan::Point::ServerByte);
        if (planned) {
            pass = std::min(pass, pair.Plan->K - pair.Carried.ServerBytes);
        }
        if (!SendAll(pair.Client, buffer, pass)) {
            End(pair);
            return;
        }
        pair.Carried.ServerBytes += pass;
        if (planned && pair.Carried.ServerBytes == pair.Plan->K) {
            Strike(pair);
        }
    }

    // The client spoke: its lines go on to the server, up to the planned one.
    void FromClient(Pair& pair) {
        char buffer[16384];
        const ssize_t got = ::recv(pair.Client, buffer, sizeof buffer, 0);
        if (got <= 0) {
            End(pair);
            return;
        }
        if (pair.Stalled) {
            return;  // swallowed: nothing reaches the server any more
        }
        const bool planned = Armed(pair, FaultPlan::Point::ClientCommand);
        size_t pass = 0;
        bool strike = false;
        while (pass < static_cast<size_t>(got) && !strike) {
            if (!pair.LineStarted) {
                pair.LineStarted = true;
                pair.Carried.ServerBytesBeforeLastCommand = pair.Carried.ServerBytes;
            }
            if (buffer[pass++] == '\n') {
                pair.LineStarted = false;
                ++pair.Carried.ClientCommands;
                strike = planned && pair.Carried.ClientCommands == pair.Plan->K;
            }
        }
        if (!SendAll(pair.Server, buffer, pass)) {
            End(pair);
            return;
        }
        if (strike) {
            Strike(pair);
        }
    }

    void Serve() {
        while (!stop_.load()) {
            std::vector<pollfd> entries{{wake_, POLLIN, 0}, {listener_.Fd(), POLLIN, 0}};
            for (const Pair& pair : pairs_) {
                entries.push_back({pair.Client, POLLIN, 0});
                // A stalled connection holds the server's words back.
                entries.push_back({pair.Stalled ? -1 : pair.Server, POLLIN, 0});
            }
            if (::poll(entries.data(), entries.size(), -1) < 0) {
                continue;
            }
            size_t at = 2;
            for (Pair& pair : pairs_) {
                const short fromClient = entries[at++].revents;
                const short fromServer = entries[at++].revents;
                if (pair.Client >= 0 && fromServer != 0) {
                    FromServer(pair);
                }
                if (pair.Client >= 0 && fromClient != 0) {
                    FromClient(pair);
                }
            }
            pairs_.remove_if([](const Pair& pair) { return pair.Client < 0; });
            // After the pairs polled above: a new one has no entry yet.
            if (entries[1].revents & POLLIN) {
                Accept();
            }
        }
        for (Pair& pair : pairs_) {
            End(pair);
        }
    }

    std::string upstreamHost_;
    int upstreamPort_ = 0;
    LoopbackListener listener_;
    int wake_ = -1;
    std::atomic<bool> stop_{false};
    std::list<Pair> pairs_;  // the serving thread's own
    mutable std::mutex mutex_;
    std::optional<FaultPlan> armed_;
    bool faulted_ = false;
    int stalling_ = 0;
    int open_ = 0;
    RelayedConversation last_;
    std::thread thread_;
};

}  // namespace quobel::testing
