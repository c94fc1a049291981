#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "core/user_text.h"
#include "platform/oauth_protocol.h"
#include "retrieval/access_token_source.h"

namespace quobel {

class TSecretStore;
class THttpFormPoster;

// What a check of an account whose OAuth 2.0 sign-in has to be repeated fails with: no refresh
// token is kept for it, or the provider refused the one kept. The Tasks window offers the
// sign-in on an error with this text.
inline constexpr const char* kOAuthSignInAgainText =
    USER_TEXT("Quobel",
              "The sign-in with the mail provider has to be repeated: the provider refused the "
              "stored sign-in, or there is none.");

// Access tokens from the program's own OAuth 2.0 sign-in. The refresh token the sign-in got is
// kept in the keyring (never in the account file); access tokens and their expiry only in
// memory, per account. A token is refreshed a minute before it expires, and once more when the
// server refused the last one. Calls may come from several worker threads at once; calls for
// one account take turns, so a token is refreshed once for all of them.
class TOAuthTokenSource : public TAccessTokenSource {
  public:
    using TClock = std::function<std::chrono::steady_clock::time_point()>;

    // The store and the poster must outlive this.
    TOAuthTokenSource(TSecretStore& store, THttpFormPoster& http,
                      TClock clock = std::chrono::steady_clock::now);
    ~TOAuthTokenSource() override;
    TOAuthTokenSource(const TOAuthTokenSource&) = delete;
    TOAuthTokenSource& operator=(const TOAuthTokenSource&) = delete;

    std::string AccessToken(const TAccount& account, bool refused) override;

    // Keeps what a finished sign-in got: the refresh token in the keyring (throws Error when
    // the keyring fails or the provider sent none), the access token in memory.
    void SignedIn(const TAccount& account, const TOAuthTokens& tokens);
    // Whether a refresh token is kept for the account; throws Error when the keyring fails.
    bool HasSignIn(const TAccount& account);
    // Drops the account's tokens, in memory and in the keyring (the account was deleted).
    void Forget(const TAccount& account);

    // The keyring key of an account's refresh token: apart from the key of its password.
    static std::string RefreshTokenKey(const std::string& accountId);

    // How long before its end an access token is no longer given out.
    static constexpr std::chrono::seconds kExpiryMargin{60};

  private:
    struct TAccountTokens;
    std::shared_ptr<TAccountTokens> TokensOf(const std::string& accountId);
    // Under the account's own lock.
    void Refresh(const TAccount& account, TAccountTokens& tokens);
    void Keep(TAccountTokens& tokens, const TOAuthTokens& answer);
    void StoreRefreshToken(const TAccount& account, const std::string& refreshToken);

    TSecretStore& store_;
    THttpFormPoster& http_;
    TClock clock_;
    std::mutex accountsMutex_;
    std::map<std::string, std::shared_ptr<TAccountTokens>> accounts_;
    // The keyring connection takes one call at a time.
    std::mutex storeMutex_;
};

}  // namespace quobel
