#pragma once

#include "accounts/account.h"

namespace quobel {

class TAccessTokenSource;
class TQBPOP3;

// Whether the account logs in with an access token rather than its password.
inline bool UsesAccessToken(const TAccount& account) {
    return account.POP.Authentication != TAuthentication::Password;
}

// Connects the session, which holds the account's server settings, and logs in. An account that
// signs in with a token gets one from `tokens` first (none there: an Error saying so); when the
// server refuses it, the source is asked once more, told of the refusal, and the session
// connects and tries once more. A password account just connects. Runs on the caller's thread.
void ConnectWithToken(TQBPOP3& session, const TAccount& account, TAccessTokenSource* tokens);

}  // namespace quobel
