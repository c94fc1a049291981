#include "retrieval/oauth_token_source.h"

#include <utility>

#include "accounts/account.h"
#include "accounts/oauth_providers.h"
#include "core/error.h"
#include "platform/oauth_http.h"
#include "platform/secret_store.h"

namespace quobel {
namespace {

// Assumed for a token whose answer did not say how long it lasts: the usual hour.
constexpr std::chrono::seconds kAssumedLifetime{3600};

// OAuth errors that mean the stored sign-in itself is no good any more (RFC 6749 5.2), as
// opposed to a passing failure of the server or the network.
bool NeedsNewSignIn(const std::string& code) {
    return code == "invalid_grant" || code == "invalid_client" || code == "unauthorized_client" ||
           code == "invalid_scope";
}

std::string LabelOf(const TAccount& account) {
    return "Quobel: " + (account.Name.empty() ? account.ID : account.Name) + " (OAuth 2.0 sign-in)";
}

}  // namespace

struct TOAuthTokenSource::TAccountTokens {
    std::mutex Mutex;
    std::string AccessToken;
    std::chrono::steady_clock::time_point Expiry;
};

TOAuthTokenSource::TOAuthTokenSource(TSecretStore& store, THttpFormPoster& http, TClock clock)
    : store_(store), http_(http), clock_(std::move(clock)) {}

TOAuthTokenSource::~TOAuthTokenSource() = default;

std::string TOAuthTokenSource::RefreshTokenKey(const std::string& accountId) {
    return "oauth2-refresh-token:" + accountId;
}

std::shared_ptr<TOAuthTokenSource::TAccountTokens> TOAuthTokenSource::TokensOf(
    const std::string& accountId) {
    const std::lock_guard lock(accountsMutex_);
    auto& tokens = accounts_[accountId];
    if (!tokens) {
        tokens = std::make_shared<TAccountTokens>();
    }
    return tokens;
}

std::string TOAuthTokenSource::AccessToken(const TAccount& account, bool refused) {
    const std::shared_ptr<TAccountTokens> tokens = TokensOf(account.ID);
    const std::lock_guard lock(tokens->Mutex);
    const bool fresh = !tokens->AccessToken.empty() && clock_() + kExpiryMargin < tokens->Expiry;
    if (refused || !fresh) {
        tokens->AccessToken.clear();
        Refresh(account, *tokens);
    }
    return tokens->AccessToken;
}

void TOAuthTokenSource::Refresh(const TAccount& account, TAccountTokens& tokens) {
    std::optional<std::string> refreshToken;
    {
        const std::lock_guard lock(storeMutex_);
        refreshToken = store_.Lookup(RefreshTokenKey(account.ID));
    }
    if (!refreshToken || refreshToken->empty()) {
        throw Error(kOAuthSignInAgainText);
    }
    const TOAuthEndpoints endpoints = OAuthEndpointsOf(account.POP.OAuth);
    const TOAuthClient client{account.POP.OAuth.ClientId, account.POP.OAuth.ClientSecret};
    const THttpAnswer answer =
        http_.PostForm(endpoints.TokenUrl, OAuthRefreshGrantBody(client, *refreshToken));
    TOAuthTokens fresh;
    try {
        fresh = ParseOAuthTokenAnswer(answer.Status, answer.Body);
    } catch (const TOAuthRefusal& refusal) {
        if (NeedsNewSignIn(refusal.Code())) {
            throw Error(kOAuthSignInAgainText);
        }
        throw;
    }
    if (!fresh.RefreshToken.empty() && fresh.RefreshToken != *refreshToken) {
        StoreRefreshToken(account, fresh.RefreshToken);
    }
    Keep(tokens, fresh);
}

void TOAuthTokenSource::Keep(TAccountTokens& tokens, const TOAuthTokens& answer) {
    tokens.AccessToken = answer.AccessToken;
    tokens.Expiry = clock_() + (answer.ExpiresIn.count() > 0 ? answer.ExpiresIn : kAssumedLifetime);
}

void TOAuthTokenSource::StoreRefreshToken(const TAccount& account,
                                          const std::string& refreshToken) {
    const std::lock_guard lock(storeMutex_);
    store_.Store(RefreshTokenKey(account.ID), LabelOf(account), refreshToken);
}

void TOAuthTokenSource::SignedIn(const TAccount& account, const TOAuthTokens& tokens) {
    if (tokens.RefreshToken.empty()) {
        throw Error(USER_TEXT("Quobel",
                              "The mail provider gave no refresh token: the program "
                              "could not check the account later without a new "
                              "sign-in."));
    }
    StoreRefreshToken(account, tokens.RefreshToken);
    const std::shared_ptr<TAccountTokens> kept = TokensOf(account.ID);
    const std::lock_guard lock(kept->Mutex);
    Keep(*kept, tokens);
}

bool TOAuthTokenSource::HasSignIn(const TAccount& account) {
    const std::lock_guard lock(storeMutex_);
    const std::optional<std::string> found = store_.Lookup(RefreshTokenKey(account.ID));
    return found && !found->empty();
}

void TOAuthTokenSource::Forget(const TAccount& account) {
    {
        const std::lock_guard lock(accountsMutex_);
        accounts_.erase(account.ID);
    }
    const std::lock_guard lock(storeMutex_);
    store_.Remove(RefreshTokenKey(account.ID));
}

}  // namespace quobel
