#include "retrieval/command_token_source.h"

#include "accounts/account.h"
#include "core/error.h"

namespace quobel {

std::string TCommandTokenSource::AccessToken(const TAccount& account, bool refused) {
    switch (account.POP.Authentication) {
        case TAuthentication::TokenCommand:
            // A refused token is no reason to run it differently: helpers refresh on their own.
            return RunTokenCommand(account.POP.TokenCommand, Timeout);
        case TAuthentication::OAuth2:
            if (signIn_ == nullptr) {
                throw Error(kNoOAuthSignInText);
            }
            return signIn_->AccessToken(account, refused);
        case TAuthentication::Password:
            break;
    }
    throw Error("The account logs in with a password, not with an access token");
}

}  // namespace quobel
