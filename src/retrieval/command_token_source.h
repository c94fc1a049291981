#pragma once

#include <chrono>
#include <string>

#include "platform/token_command.h"
#include "retrieval/access_token_source.h"

namespace quobel {

// What a check says of an OAuth 2.0 account when the program has no sign-in to get its token.
inline constexpr const char* kNoOAuthSignInText =
    "This program cannot sign in with OAuth 2.0: choose a token command for the account";

// The access tokens of the accounts that do not log in with a password: a token command's
// account gets what its command prints, run afresh for every login; an OAuth 2.0 account's
// request goes to the sign-in (when there is one).
class TCommandTokenSource : public TAccessTokenSource {
  public:
    // `signIn` answers for OAuth 2.0 accounts; it is not owned and may be null.
    explicit TCommandTokenSource(TAccessTokenSource* signIn = nullptr) : signIn_(signIn) {}

    std::string AccessToken(const TAccount& account, bool refused) override;

    // How long a token command may take (tests shorten it).
    std::chrono::milliseconds Timeout = kTokenCommandTimeout;

  private:
    TAccessTokenSource* signIn_;
};

}  // namespace quobel
