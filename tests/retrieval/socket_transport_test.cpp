// The session over real loopback sockets: failures that only a network shows.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

#include "core/error.h"
#include "retrieval/qbpop3.h"
#include "support/loopback_listener.h"

namespace quobel {
namespace {

using Clock = std::chrono::steady_clock;

using testing::LoopbackListener;

std::string ConnectError(TQBPOP3& pop) {
    try {
        pop.Connect();
    } catch (const Error& error) {
        return error.what();
    }
    return "(connected)";
}

TEST(SocketSessionTest, RefusedConnectionIsASocketError) {
    int port = 0;
    {
        LoopbackListener closed;
        port = closed.Port();
    }
    TQBPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = port;
    EXPECT_EQ(ConnectError(pop), "Socket Error # 111\r\nConnection refused");
    EXPECT_FALSE(pop.Connected());
}

TEST(SocketSessionTest, UnknownHostIsASocketError) {
    TQBPOP3 pop;
    pop.Host = "no-such-host.invalid";
    EXPECT_TRUE(ConnectError(pop).starts_with("Socket Error # "));
}

TEST(SocketSessionTest, SilentServerTimesOutAndIsClosed) {
    LoopbackListener listener;
    std::thread server([&] {
        const int client = listener.Accept();
        // Silent until the client gives up: its "QUIT" or its closing wakes us.
        char byte;
        while (recv(client, &byte, 1, 0) > 0) {
        }
        close(client);
    });
    TQBPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = listener.Port();
    pop.ReadTimeout = 200;
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(ConnectError(pop), "Read timed out.");
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_FALSE(pop.Connected());
    server.join();
}

TEST(SocketSessionTest, AbortEndsAWaitFromAnotherThread) {
    LoopbackListener listener;
    std::thread server([&] {
        const int client = listener.Accept();
        char byte;
        while (recv(client, &byte, 1, 0) > 0) {
        }
        close(client);
    });
    TQBPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = listener.Port();
    std::thread aborter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pop.Abort();
    });
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(ConnectError(pop), "Connection aborted.");
    // Far below the five-minute read time-out.
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
    aborter.join();
    server.join();
}

TEST(SocketSessionTest, GreetingSplitAcrossWritesAndServerClosing) {
    LoopbackListener listener;
    std::thread server([&] {
        const int client = listener.Accept();
        for (const char* piece :
             {"+O", "K hel", "lo\r", "\n-ER", "R\r\n+OK\r\n", "+OK in\r\n+OK 1 4", "2\r\n"}) {
            send(client, piece, std::strlen(piece), MSG_NOSIGNAL);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        char buffer[256];
        std::string got;
        // Everything the client sends is read before the close, which would otherwise reset.
        while (got.find("RETR 1\r\n") == std::string::npos) {
            const ssize_t n = recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) {
                break;
            }
            got.append(buffer, n);
        }
        send(client, "+OK\r\nline\r\n", 11, MSG_NOSIGNAL);
        close(client);
    });
    TQBPOP3 pop;
    pop.Host = "localhost";
    pop.Port = listener.Port();
    pop.Username = "u";
    pop.Password = "p";
    pop.Connect();
    EXPECT_EQ(pop.MessageSize(1), 42);
    std::vector<std::string> lines;
    try {
        pop.RetrieveRaw(1, lines);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Connection Closed Gracefully.");
    }
    EXPECT_EQ(lines, std::vector<std::string>{"line"});
    EXPECT_FALSE(pop.Connected());
    server.join();
}

}  // namespace
}  // namespace quobel

namespace quobel {
namespace {

TEST(SocketSessionTest, ConnectThatNeverCompletesTimesOut) {
    // A listener whose queue is full drops further connection requests unanswered.
    LoopbackListener listener(0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(listener.Port()));
        connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    TQBPOP3 pop;
    pop.Host = "127.0.0.1";
    pop.Port = listener.Port();
    pop.ConnectTimeout = 300;
    pop.ReadTimeout = 300;
    const std::string error = ConnectError(pop);
    for (const int fd : fillers) {
        close(fd);
    }
    if (error == "Read timed out.") {
        GTEST_SKIP() << "this network stack accepts beyond the listen queue";
    }
    EXPECT_EQ(error, "Connect timed out.");
}

}  // namespace
}  // namespace quobel
