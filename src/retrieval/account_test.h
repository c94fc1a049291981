#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "accounts/account.h"
#include "core/server_certificate.h"
#include "core/user_text.h"
#include "platform/transport.h"
#include "retrieval/qbpop3.h"

namespace quobel {

class TAccessTokenSource;

// What testing an account's settings found out.
struct TAccountTestResult {
    bool Connected = false;
    int64_t Messages = 0;
    // The failure's text as the session raised it; empty after a success.
    std::string Failure;
    // The refused server certificate, which the user may choose to trust; or null.
    std::shared_ptr<const TServerCertificate> Certificate;
};

// The sentences of a test that connected, with the count of messages (core/user_text.h).
inline constexpr const char* kConnectedOneText =
    USER_TEXT("Quobel", "Connected: %1 message on the server");
inline constexpr const char* kConnectedManyText =
    USER_TEXT("Quobel", "Connected: %1 messages on the server");

// The result in one sentence: "Connected: 1,234 messages on the server", or the failure with
// its lines joined ("Socket Error # 111: Connection refused").
std::string AccountTestSentence(const TAccountTestResult& result);

// The time-outs of a test: a user waits in front of it, so they are shorter than a check's.
inline constexpr int kAccountTestConnectTimeout = 20000;  // milliseconds
inline constexpr int kAccountTestReadTimeout = 30000;     // milliseconds

// Connects with the account's POP3 settings as they are (saved or not), logs in, counts the
// messages and says goodbye, on a thread of its own. Done is called on that thread with the
// result, once, unless the test was cancelled first. Cancelling ends every wait of the
// connection at once; destroying the test cancels it and waits for its thread.
class TAccountTest {
  public:
    using Done = std::function<void(const TAccountTestResult& result)>;

    // The session's extra CA file and connector may be set through `prepare` (tests use their
    // own); it runs on the calling thread before the test starts. An account that signs in with
    // a token gets it from `tokens` (not owned; it must outlive the test), as a check does.
    TAccountTest(const TAccount& account, Done done,
                 const std::function<void(TQBPOP3& session)>& prepare = {},
                 TAccessTokenSource* tokens = nullptr);
    ~TAccountTest();
    TAccountTest(const TAccountTest&) = delete;
    TAccountTest& operator=(const TAccountTest&) = delete;

    // Any thread.
    void Cancel() noexcept;

  private:
    void Run() noexcept;

    TQBPOP3 session_;
    const TAccount account_;
    TAccessTokenSource* tokens_;
    Done done_;
    std::atomic<bool> cancelled_{false};
    std::thread thread_;
};

// The test on the calling thread: what TAccountTest does, for the command line and tests.
TAccountTestResult RunAccountTest(TQBPOP3& session);
// The same for an account that may sign in with a token, which comes from `tokens` as in a
// check (a refused one is asked for once more).
TAccountTestResult RunAccountTest(TQBPOP3& session, const TAccount& account,
                                  TAccessTokenSource* tokens);

}  // namespace quobel
