#pragma once

#include <string>

#include "retrieval/custom_task.h"

namespace quobel {

class TAccessTokenSource;

// A task that works with a POP3 session of its own, created with it, and that may hand a
// connected session to the next task of the same account.
class TPOPTask : public TCustomTask {
  public:
    explicit TPOPTask(TUiDispatcher& dispatcher);

    // Host, port, credentials, APOP, TLS and a pinned key from the account copy. Other session
    // settings (time-outs, an extra CA file) stay as the owner set them.
    void Configure() override;

    // Where an account that signs in with a token gets it, just before the login; not owned.
    TAccessTokenSource* Tokens = nullptr;

  protected:
    // A token account's login: a token from Tokens, and a fresh one once after a refusal.
    void ConnectSession(TQBPOP3& session) override;
};

// A unique-id line ("number unique-id") as the tasks use it: the message number (0 when the
// text before the first blank is not a decimal number) and the message key, the MD5 of
// everything after the first blank as 32 lowercase hexadecimal digits. False for a line without
// a blank.
bool ParseUniqueIdLine(const std::string& line, int& number, std::string& key);

}  // namespace quobel
