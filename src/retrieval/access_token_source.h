#pragma once

#include <string>

namespace quobel {

class TAccount;

// Where a session's OAuth 2.0 access token comes from, for accounts that do not log in with a
// password. Called on the task's worker thread, just before the session logs in.
class TAccessTokenSource {
  public:
    virtual ~TAccessTokenSource() = default;

    // The access token for the account. `refused` says the server refused the token this source
    // gave last, so a cached one must not be given again. Throws an Error whose text a user can
    // act on when there is no token (the command failed, the sign-in has to be repeated).
    virtual std::string AccessToken(const TAccount& account, bool refused) = 0;
};

}  // namespace quobel
