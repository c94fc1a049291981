#include "retrieval/token_login.h"

#include "accounts/oauth_providers.h"
#include "core/error.h"
#include "retrieval/access_token_source.h"
#include "retrieval/qbpop3.h"
#include "retrieval/sasl_oauth.h"

namespace quobel {

void ConnectWithToken(TQBPOP3& session, const TAccount& account, TAccessTokenSource* tokens) {
    if (!UsesAccessToken(account)) {
        session.AccessToken.clear();
        session.Connect();
        return;
    }
    if (tokens == nullptr) {
        throw Error("No access token can be had for the account here");
    }
    // The provider's quirk holds whoever fetched the token.
    session.OAuthTwoStep = OAuthEndpointsOf(account.POP.OAuth).TwoStepXOAuth2;
    // The token is needed for the login only: it does not stay in the session after it.
    const auto attempt = [&](bool refused) {
        session.AccessToken = tokens->AccessToken(account, refused);
        try {
            session.Connect();
        } catch (...) {
            session.AccessToken.clear();
            throw;
        }
        session.AccessToken.clear();
    };
    try {
        attempt(false);
        return;
    } catch (const TTokenRefused&) {
        // A token that expired early or was revoked: a fresh one gets one more try.
    }
    attempt(true);
}

}  // namespace quobel
