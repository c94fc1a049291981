#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback_listener.h"

namespace quobel::testing {

// A token-introspection endpoint (RFC 7662) on loopback, as Dovecot's oauth2 passdb asks it: each
// POST carries "token=..." in a form body; a token the test made good is answered active for
// its user with the scope "pop", any other one inactive. One request per connection.
class IntrospectionResponder {
  public:
    IntrospectionResponder() : thread_([this] { Serve(); }) {}
    ~IntrospectionResponder() {
        stop_.store(true);
        thread_.join();
    }
    IntrospectionResponder(const IntrospectionResponder&) = delete;
    IntrospectionResponder& operator=(const IntrospectionResponder&) = delete;

    std::string Url() const {
        return "http://127.0.0.1:" + std::to_string(listener_.Port()) + "/introspect";
    }
    // The token lets `user` in from now on.
    void Accept(const std::string& token, const std::string& user) {
        const std::lock_guard lock(mutex_);
        good_.insert({token, user});
    }
    // The tokens asked about, in order.
    std::vector<std::string> Asked() const {
        const std::lock_guard lock(mutex_);
        return asked_;
    }

  private:
    void Serve() {
        while (!stop_.load()) {
            pollfd watched{listener_.Fd(), POLLIN, 0};
            if (::poll(&watched, 1, 50) <= 0) {
                continue;
            }
            const int client = listener_.Accept();
            if (client >= 0) {
                Answer(client);
                ::close(client);
            }
        }
    }

    void Answer(int client) {
        std::string request;
        char chunk[4096];
        size_t bodyStart = std::string::npos;
        size_t length = 0;
        while (bodyStart == std::string::npos || request.size() < bodyStart + length) {
            pollfd watched{client, POLLIN, 0};
            if (::poll(&watched, 1, 5000) <= 0) {
                return;
            }
            const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
            if (got <= 0) {
                return;
            }
            request.append(chunk, static_cast<size_t>(got));
            const size_t end = request.find("\r\n\r\n");
            if (bodyStart == std::string::npos && end != std::string::npos) {
                bodyStart = end + 4;
                std::string headers = request.substr(0, end);
                for (char& c : headers) {
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                }
                const size_t field = headers.find("content-length:");
                length = field == std::string::npos ? 0 : std::stoul(headers.substr(field + 15));
            }
        }
        const std::string body = request.substr(bodyStart, length);
        std::string token;
        const size_t at = body.find("token=");
        if (at != std::string::npos) {
            token = body.substr(at + 6, body.find('&', at) - (at + 6));
        }
        std::string answer = R"({"active": false})";
        {
            const std::lock_guard lock(mutex_);
            asked_.push_back(token);
            for (const auto& [good, user] : good_) {
                if (good == token) {
                    answer = R"({"active": true, "username": ")" + user + R"(", "scope": "pop"})";
                }
            }
        }
        const std::string response =
            "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
            "Connection: close\r\nContent-Length: " +
            std::to_string(answer.size()) + "\r\n\r\n" + answer;
        ::send(client, response.data(), response.size(), MSG_NOSIGNAL);
    }

    LoopbackListener listener_;
    mutable std::mutex mutex_;
    std::set<std::pair<std::string, std::string>> good_;
    std::vector<std::string> asked_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace quobel::testing
