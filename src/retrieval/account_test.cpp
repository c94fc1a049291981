#include "retrieval/account_test.h"

#include "core/error.h"
#include "core/strings.h"
#include "core/user_text.h"
#include "retrieval/token_login.h"

namespace quobel {
namespace {

std::string GroupedThousands(int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    for (auto place = static_cast<ptrdiff_t>(digits.size()) - 3; place > 0; place -= 3) {
        digits.insert(static_cast<size_t>(place), ",");
    }
    return value < 0 ? "-" + digits : digits;
}

// The lines of an error text as one: a line that ends without a stop is followed by a colon.
std::string OneLine(const std::string& text) {
    std::string line;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string part(
            TrimIf(std::string_view(text).substr(start, end - start), IsBlankOrAsciiControl));
        if (!part.empty()) {
            if (!line.empty()) {
                const char last = line.back();
                line += last == '.' || last == ':' || last == ';' ? " " : ": ";
            }
            line += part;
        }
        start = end + 1;
    }
    return line;
}

TAccountTestResult RunAccountTestWith(TQBPOP3& session, const std::function<void()>& connect) {
    TAccountTestResult result;
    try {
        connect();
        result.Messages = session.MessageCount();
        result.Connected = true;
        session.Disconnect();
    } catch (const Error& failure) {
        result.Connected = false;
        result.Failure = failure.what();
        result.Certificate = failure.Certificate();
    } catch (const std::exception& failure) {
        result.Connected = false;
        result.Failure = failure.what();
    }
    if (!result.Connected) {
        session.Disconnect();
    }
    return result;
}

}  // namespace

std::string AccountTestSentence(const TAccountTestResult& result) {
    if (!result.Connected) {
        return OneLine(result.Failure);
    }
    return FormatUserText(result.Messages == 1 ? kConnectedOneText : kConnectedManyText,
                          {GroupedThousands(result.Messages)});
}

TAccountTestResult RunAccountTest(TQBPOP3& session) {
    return RunAccountTestWith(session, [&] { session.Connect(); });
}

TAccountTestResult RunAccountTest(TQBPOP3& session, const TAccount& account,
                                  TAccessTokenSource* tokens) {
    return RunAccountTestWith(session, [&] { ConnectWithToken(session, account, tokens); });
}

TAccountTest::TAccountTest(const TAccount& account, Done done,
                           const std::function<void(TQBPOP3& session)>& prepare,
                           TAccessTokenSource* tokens)
    : account_(account), tokens_(tokens), done_(std::move(done)) {
    session_.Host = account.POP.Host;
    session_.Port = account.POP.Port;
    session_.Username = account.POP.Username;
    session_.Password = account.POP.Password;
    session_.APOP = account.POP.Secure;
    session_.TLS = account.POP.TLS;
    session_.PinnedKey = account.PinnedKeyForHost();
    session_.ConnectTimeout = kAccountTestConnectTimeout;
    session_.ReadTimeout = kAccountTestReadTimeout;
    if (prepare) {
        prepare(session_);
    }
    thread_ = std::thread([this] { Run(); });
}

TAccountTest::~TAccountTest() {
    Cancel();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TAccountTest::Cancel() noexcept {
    cancelled_.store(true);
    session_.Abort();
}

void TAccountTest::Run() noexcept {
    const TAccountTestResult result = RunAccountTest(session_, account_, tokens_);
    if (!cancelled_.load() && done_) {
        try {
            done_(result);
        } catch (const std::exception&) {
            // Whoever waited for the result is gone.
        }
    }
}

}  // namespace quobel
