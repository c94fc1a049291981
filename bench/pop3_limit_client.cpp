// The least a first check can cost: the check's conversation (UIDL, then "LIST n" and
// "TOP n 0" for every message) over a plain socket, storing nothing.
//
//   bench_pop3_limit_client HOST PORT USER PASSWORD [--one-at-a-time] [--uidl-only]
//                           [--window N] [--first N]
//
// Pipelined by default: commands for up to N messages (--window, 200) are in flight, and the
// next ones are sent when half of them have been answered. --one-at-a-time waits for every
// reply before the next command. --first N talks about the first N messages only (for slow
// one-at-a-time runs over a delaying relay). Prints the messages, the bytes read and the wall
// time from before the connection to after QUIT's answer.
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

class Connection {
  public:
    Connection(const char* host, const char* port) {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, port, &hints, &found) != 0) {
            throw std::runtime_error(std::string("unknown host ") + host);
        }
        for (const addrinfo* at = found; at != nullptr && fd_ < 0; at = at->ai_next) {
            fd_ = socket(at->ai_family, SOCK_STREAM, 0);
            if (fd_ >= 0 && connect(fd_, at->ai_addr, at->ai_addrlen) != 0) {
                close(fd_);
                fd_ = -1;
            }
        }
        freeaddrinfo(found);
        if (fd_ < 0) {
            throw std::runtime_error(std::string("cannot connect to ") + host + ":" + port);
        }
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    ~Connection() { close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Send(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0) {
                throw std::runtime_error("send failed");
            }
            bytes.remove_prefix(static_cast<size_t>(sent));
        }
    }
    // One line without its CR LF; valid until the next read.
    std::string_view Line() {
        for (;;) {
            const char* begin = buffer_.data() + start_;
            const void* lf = std::memchr(begin, '\n', end_ - start_);
            if (lf != nullptr) {
                const auto length = static_cast<size_t>(static_cast<const char*>(lf) - begin);
                std::string_view line(begin, length);
                start_ += length + 1;
                if (!line.empty() && line.back() == '\r') {
                    line.remove_suffix(1);
                }
                return line;
            }
            if (start_ > 0) {
                std::memmove(buffer_.data(), buffer_.data() + start_, end_ - start_);
                end_ -= start_;
                start_ = 0;
            }
            if (buffer_.size() - end_ < kChunk) {
                buffer_.resize(end_ + kChunk);
            }
            const ssize_t got = recv(fd_, buffer_.data() + end_, buffer_.size() - end_, 0);
            if (got <= 0) {
                throw std::runtime_error("connection closed");
            }
            end_ += static_cast<size_t>(got);
            received_ += static_cast<size_t>(got);
        }
    }
    // The status line; true for +OK.
    bool Status() { return Line().starts_with("+OK"); }
    // A status line that must be +OK.
    void Expect(const char* what) {
        const std::string_view line = Line();
        if (!line.starts_with("+OK")) {
            throw std::runtime_error(std::string(what) + ": " + std::string(line));
        }
    }
    // The lines of a multi-line answer, counted.
    size_t Body() {
        size_t lines = 0;
        while (Line() != ".") {
            ++lines;
        }
        return lines;
    }
    size_t Received() const { return received_; }

  private:
    static constexpr size_t kChunk = 65536;
    int fd_ = -1;
    std::vector<char> buffer_ = std::vector<char>(kChunk);
    size_t start_ = 0;
    size_t end_ = 0;
    size_t received_ = 0;
};

struct Options {
    bool Pipelined = true;
    bool UidlOnly = false;
    size_t Window = 200;
    size_t First = static_cast<size_t>(-1);
};

size_t Count(const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value == 0) {
        throw std::invalid_argument(std::string("not a positive number: ") + text);
    }
    return value;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 5; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--one-at-a-time") {
            options.Pipelined = false;
        } else if (arg == "--uidl-only") {
            options.UidlOnly = true;
        } else if (arg == "--window" && i + 1 < argc) {
            options.Window = Count(argv[++i]);
        } else if (arg == "--first" && i + 1 < argc) {
            options.First = Count(argv[++i]);
        } else {
            throw std::invalid_argument("unknown option " + std::string(arg));
        }
    }
    return options;
}

void OneAtATime(Connection& pop, size_t messages) {
    for (size_t n = 1; n <= messages; ++n) {
        pop.Send("LIST " + std::to_string(n) + "\r\n");
        pop.Status();
        pop.Send("TOP " + std::to_string(n) + " 0\r\n");
        if (pop.Status()) {
            pop.Body();
        }
    }
}

// At most `window` messages' commands are unanswered; a few kilobytes of commands, so the
// server's replies never wait on a client that is blocked sending.
void Pipelined(Connection& pop, size_t messages, size_t window) {
    size_t sent = 0;
    std::string commands;
    for (size_t answered = 0; answered < messages; ++answered) {
        if (sent - answered <= window / 2) {
            commands.clear();
            for (; sent < messages && sent - answered < window; ++sent) {
                const std::string number = std::to_string(sent + 1);
                commands += "LIST " + number + "\r\nTOP " + number + " 0\r\n";
            }
            pop.Send(commands);
        }
        pop.Status();
        if (pop.Status()) {
            pop.Body();
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: %s HOST PORT USER PASSWORD [--one-at-a-time] [--uidl-only] "
                     "[--window N] [--first N]\n",
                     argv[0]);
        return 2;
    }
    try {
        const Options options = ParseOptions(argc, argv);
        const auto start = std::chrono::steady_clock::now();
        Connection pop(argv[1], argv[2]);
        pop.Expect("greeting");
        pop.Send(std::string("USER ") + argv[3] + "\r\n");
        pop.Expect("USER");
        pop.Send(std::string("PASS ") + argv[4] + "\r\n");
        pop.Expect("PASS");
        pop.Send("UIDL\r\n");
        pop.Expect("UIDL");
        const size_t listed = pop.Body();
        const size_t messages = std::min(listed, options.First);
        if (!options.UidlOnly && options.Pipelined) {
            Pipelined(pop, messages, options.Window);
        } else if (!options.UidlOnly) {
            OneAtATime(pop, messages);
        }
        pop.Send("QUIT\r\n");
        pop.Expect("QUIT");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%zu of %zu messages, %zu bytes, %.3f s\n", options.UidlOnly ? 0 : messages,
                    listed, pop.Received(), seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
