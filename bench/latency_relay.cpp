// A TCP relay that holds every chunk it reads for a fixed time before passing it on, in each
// direction: a network latency without a bandwidth limit.
//
//   bench_latency_relay LISTEN_PORT TARGET_HOST TARGET_PORT DELAY_MS [--strip-pipelining]
//
// LISTEN_PORT 0 picks a free port; the port is printed on the first line of standard output.
// DELAY_MS is added in each direction (5 gives a 10 ms round trip). --strip-pipelining drops the
// PIPELINING line from the server's capability answer, for a server that does not offer it.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk {
    Clock::time_point due;
    std::string bytes;
    bool closed = false;  // the sender closed its side
};

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t sent = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

// Drops a "PIPELINING" capability line (names are case-insensitive) from the server's answers.
// A line may arrive split over reads, so the bytes after the last line end wait for the next
// read; POP3 answers always end with a line end, so nothing waits for long.
class PipeliningFilter {
  public:
    std::string Pass(std::string_view bytes) {
        pending_.append(bytes);
        const size_t complete = pending_.rfind('\n');
        if (complete == std::string::npos) {
            return {};
        }
        std::string out;
        out.reserve(complete + 1);
        for (size_t at = 0; at <= complete;) {
            const size_t end = pending_.find('\n', at) + 1;
            const std::string_view line(pending_.data() + at, end - at);
            if (!IsPipelining(line)) {
                out.append(line);
            }
            at = end;
        }
        pending_.erase(0, complete + 1);
        return out;
    }
    // What is left when the server closes.
    std::string Rest() { return std::exchange(pending_, {}); }

  private:
    static bool IsPipelining(std::string_view line) {
        constexpr std::string_view kName = "PIPELINING";
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
            line.remove_suffix(1);
        }
        return line.size() == kName.size() &&
               std::equal(line.begin(), line.end(), kName.begin(), [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == b;
               });
    }
    std::string pending_;
};

// One direction: a reader that stamps each chunk with the time it may go on, and a writer that
// sends it then. Chunks keep their order and their spacing: a latency, not a bandwidth limit.
void Pipe(int from, int to, std::chrono::milliseconds delay, bool strip) {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Chunk> chunks;
    std::thread writer([&] {
        for (;;) {
            Chunk chunk;
            {
                std::unique_lock lock(mutex);
                ready.wait(lock, [&] { return !chunks.empty(); });
                chunk = std::move(chunks.front());
                chunks.pop_front();
            }
            std::this_thread::sleep_until(chunk.due);
            if (chunk.closed) {
                shutdown(to, SHUT_WR);
                return;
            }
            if (!SendAll(to, chunk.bytes)) {
                return;
            }
        }
    });
    PipeliningFilter filter;
    std::vector<char> buffer(65536);
    for (bool open = true; open;) {
        const ssize_t got = recv(from, buffer.data(), buffer.size(), 0);
        open = got > 0;
        Chunk chunk{Clock::now() + delay, {}, !open};
        if (open) {
            const std::string_view bytes(buffer.data(), static_cast<size_t>(got));
            chunk.bytes = strip ? filter.Pass(bytes) : std::string(bytes);
            if (chunk.bytes.empty()) {
                continue;
            }
        } else if (strip) {
            const std::string rest = filter.Rest();
            if (!rest.empty()) {
                const std::lock_guard lock(mutex);
                chunks.push_back(Chunk{chunk.due, rest, false});
            }
        }
        {
            const std::lock_guard lock(mutex);
            chunks.push_back(std::move(chunk));
        }
        ready.notify_one();
    }
    writer.join();
}

int ConnectTo(const char* host, const char* port) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, port, &hints, &found) != 0) {
        return -1;
    }
    const int fd = socket(found->ai_family, SOCK_STREAM, 0);
    const int connected = fd < 0 ? -1 : connect(fd, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    if (connected != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return -1;
    }
    return fd;
}

}  // namespace

int main(int argc, char** argv) {
    const bool strip = argc == 6 && std::string_view(argv[5]) == "--strip-pipelining";
    if (argc < 5 || argc > 6 || (argc == 6 && !strip)) {
        std::fprintf(stderr,
                     "usage: %s LISTEN_PORT TARGET_HOST TARGET_PORT DELAY_MS "
                     "[--strip-pipelining]\n",
                     argv[0]);
        return 2;
    }
    const std::chrono::milliseconds delay(std::atoi(argv[4]));
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(std::atoi(argv[1])));
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 16) != 0) {
        std::perror("listen");
        return 1;
    }
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::printf("%d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;) {
        const int client = accept(listener, nullptr, nullptr);
        if (client < 0) {
            continue;
        }
        std::thread([client, host = std::string(argv[2]), port = std::string(argv[3]), delay,
                     strip] {
            const int server = ConnectTo(host.c_str(), port.c_str());
            if (server < 0) {
                close(client);
                return;
            }
            for (const int fd : {client, server}) {
                const int noDelay = 1;
                setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
            }
            std::thread up(Pipe, client, server, delay, false);
            Pipe(server, client, delay, strip);
            up.join();
            close(client);
            close(server);
        }).detach();
    }
}
