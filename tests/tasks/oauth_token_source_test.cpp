// The access tokens of an OAuth 2.0 account as the check's worker threads ask for them: kept
// while they last, refreshed before they end and after a refusal, one refresh for all threads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "accounts/account.h"
#include "core/error.h"
#include "platform/oauth_http.h"
#include "platform/secret_store.h"
#include "retrieval/oauth_token_source.h"

namespace quobel {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using Clock = std::chrono::steady_clock;

class MemoryStore : public TSecretStore {
  public:
    void Store(const std::string& key, const std::string&, const std::string& secret) override {
        const std::lock_guard lock(mutex_);
        Secrets[key] = secret;
    }
    std::optional<std::string> Lookup(const std::string& key) override {
        const std::lock_guard lock(mutex_);
        if (Broken) {
            throw Error("The keyring is locked");
        }
        const auto found = Secrets.find(key);
        return found == Secrets.end() ? std::nullopt : std::optional(found->second);
    }
    void Remove(const std::string& key) override { Secrets.erase(key); }
    std::map<std::string, std::string> Secrets;
    bool Broken = false;

  private:
    std::mutex mutex_;
};

// A token endpoint that answers each refresh with the next scripted answer, counting the posts;
// a post may be held until the test lets it go.
class ScriptedEndpoint : public THttpFormPoster {
  public:
    THttpAnswer PostForm(const std::string& url, const std::string& body) override {
        std::unique_lock lock(mutex_);
        Urls.push_back(url);
        Bodies.push_back(body);
        ++posts_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return !Hold; });
        if (answers_.empty()) {
            throw Error("The sign-in server could not be reached: Connection refused");
        }
        THttpAnswer answer = answers_.front();
        answers_.erase(answers_.begin());
        return answer;
    }
    void Answer(int status, const std::string& body) {
        const std::lock_guard lock(mutex_);
        answers_.push_back({status, body});
    }
    void WaitForPosts(int count) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return posts_ >= count; });
    }
    void Release() {
        const std::lock_guard lock(mutex_);
        Hold = false;
        changed_.notify_all();
    }
    int Posts() {
        const std::lock_guard lock(mutex_);
        return posts_;
    }
    bool Hold = false;
    std::vector<std::string> Urls;
    std::vector<std::string> Bodies;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<THttpAnswer> answers_;
    int posts_ = 0;
};

std::string Tokens(const std::string& access, int expiresIn, const std::string& refresh = "") {
    std::string body = R"({"access_token":")" + access +
                       R"(","token_type":"Bearer","expires_in":)" + std::to_string(expiresIn);
    if (!refresh.empty()) {
        body += R"(,"refresh_token":")" + refresh + "\"";
    }
    return body + "}";
}

TAccount MicrosoftAccount() {
    TAccount account;
    account.ID = "ACC1";
    account.Name = "Work";
    account.POP.Authentication = TAuthentication::OAuth2;
    account.POP.OAuth.Provider = "microsoft";
    account.POP.OAuth.ClientId = "client-1";
    return account;
}

class OAuthTokenSourceTest : public ::testing::Test {
  protected:
    OAuthTokenSourceTest() {
        store.Secrets[TOAuthTokenSource::RefreshTokenKey(account.ID)] = "rt-stored";
    }
    std::string Refresh() const {
        return store.Secrets.at(TOAuthTokenSource::RefreshTokenKey(account.ID));
    }

    MemoryStore store;
    ScriptedEndpoint endpoint;
    Clock::time_point now = Clock::now();
    TOAuthTokenSource tokens{store, endpoint, [this] { return now; }};
    TAccount account = MicrosoftAccount();
};

TEST_F(OAuthTokenSourceTest, KeepsATokenWhileItLastsAndRefreshesAMinuteBefore) {
    endpoint.Answer(200, Tokens("at-1", 3600));
    EXPECT_EQ(tokens.AccessToken(account, false), "at-1");
    ASSERT_EQ(endpoint.Urls.size(), 1U);
    EXPECT_EQ(endpoint.Urls[0], "https://login.microsoftonline.com/common/oauth2/v2.0/token");
    EXPECT_EQ(endpoint.Bodies[0],
              "grant_type=refresh_token&refresh_token=rt-stored&client_id=client-1");

    now += std::chrono::seconds(3600 - 61);
    EXPECT_EQ(tokens.AccessToken(account, false), "at-1");
    EXPECT_EQ(endpoint.Posts(), 1);

    // Within the last minute: a new one, and the refresh token the answer brought replaces the
    // stored one.
    now += std::chrono::seconds(2);
    endpoint.Answer(200, Tokens("at-2", 3600, "rt-new"));
    EXPECT_EQ(tokens.AccessToken(account, false), "at-2");
    EXPECT_EQ(endpoint.Posts(), 2);
    EXPECT_EQ(Refresh(), "rt-new");

    // Refused by the server: once more, with the new refresh token.
    endpoint.Answer(200, Tokens("at-3", 3600));
    EXPECT_EQ(tokens.AccessToken(account, true), "at-3");
    EXPECT_THAT(endpoint.Bodies.back(), HasSubstr("refresh_token=rt-new&"));
    EXPECT_EQ(Refresh(), "rt-new");

    // Each account has its own tokens.
    TAccount other = MicrosoftAccount();
    other.ID = "ACC2";
    store.Secrets[TOAuthTokenSource::RefreshTokenKey(other.ID)] = "rt-other";
    endpoint.Answer(200, Tokens("at-other", 3600));
    EXPECT_EQ(tokens.AccessToken(other, false), "at-other");
    EXPECT_EQ(tokens.AccessToken(account, false), "at-3");
}

TEST_F(OAuthTokenSourceTest, FailuresSayWhetherToSignInAgain) {
    struct Case {
        const char* Name;
        std::function<void()> Arrange;
        std::string Text;
    };
    const std::vector<Case> cases = {
        {"revoked", [&] { endpoint.Answer(400, R"({"error":"invalid_grant"})"); },
         kOAuthSignInAgainText},
        {"client gone", [&] { endpoint.Answer(401, R"({"error":"invalid_client"})"); },
         kOAuthSignInAgainText},
        {"never signed in", [&] { store.Secrets.clear(); }, kOAuthSignInAgainText},
        // Passing failures are told as they are: signing in again would not help.
        {"server trouble", [&] { endpoint.Answer(503, R"({"error":"temporarily_unavailable"})"); },
         "The sign-in server refused: temporarily_unavailable"},
        {"no network", [] {}, "The sign-in server could not be reached: Connection refused"},
        {"keyring locked", [&] { store.Broken = true; }, "The keyring is locked"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.Name);
        store.Broken = false;
        store.Secrets[TOAuthTokenSource::RefreshTokenKey(account.ID)] = "rt-stored";
        each.Arrange();
        try {
            tokens.AccessToken(account, true);
            ADD_FAILURE() << "a token came";
        } catch (const Error& error) {
            EXPECT_EQ(std::string(error.what()), each.Text);
            EXPECT_THAT(error.what(), Not(HasSubstr("rt-stored")));
        }
    }
}

TEST_F(OAuthTokenSourceTest, ASignInKeepsItsTokens) {
    store.Secrets.clear();
    EXPECT_FALSE(tokens.HasSignIn(account));
    EXPECT_THROW(tokens.SignedIn(account, {"at-0", std::chrono::seconds(3600), ""}), Error);
    EXPECT_FALSE(tokens.HasSignIn(account));

    tokens.SignedIn(account, {"at-0", std::chrono::seconds(3600), "rt-0"});
    EXPECT_TRUE(tokens.HasSignIn(account));
    EXPECT_EQ(Refresh(), "rt-0");
    EXPECT_EQ(tokens.AccessToken(account, false), "at-0");
    EXPECT_EQ(endpoint.Posts(), 0);

    tokens.Forget(account);
    EXPECT_FALSE(tokens.HasSignIn(account));
    EXPECT_THROW(tokens.AccessToken(account, false), Error);
}

// Checks of one account on several threads at once wait for one refresh and share its token.
TEST_F(OAuthTokenSourceTest, ConcurrentCallsShareOneRefresh) {
    endpoint.Hold = true;
    endpoint.Answer(200, Tokens("at-shared", 3600, "rt-rotated"));
    std::vector<std::string> got(4);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < got.size(); ++i) {
        threads.emplace_back([&, i] { got[i] = tokens.AccessToken(account, false); });
    }
    endpoint.WaitForPosts(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    endpoint.Release();
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(endpoint.Posts(), 1);
    for (const std::string& token : got) {
        EXPECT_EQ(token, "at-shared");
    }
    EXPECT_EQ(Refresh(), "rt-rotated");
}

}  // namespace
}  // namespace quobel
