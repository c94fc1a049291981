#pragma once

#include "accounts/accounts.h"
#include "bar/skins.h"
#include "core/app.h"
#include "core/file_util.h"
#include "core/options.h"
#include "platform/secret_service_store.h"
#include "retrieval/command_token_source.h"
#include "retrieval/errors.h"
#include "store/mail_box.h"

namespace quobel {

// The process-wide objects, created in this order and freed in the reverse order (members are
// destroyed last to first): folders, the desktop keyring, accounts with their task queue,
// settings, mailboxes, skins. The token source joins after the keyring. The error log joins between
// the mailboxes and the skins.
struct TQuobelContext {
    explicit TQuobelContext(TApp app)
        : App(std::move(app)),
          Secrets("Quobel"),
          Accounts(JoinPath(App.DataFolder(), "accounts"), &Secrets),
          Options(JoinPath(App.DataFolder(), "settings.ini")),
          MailBoxes(&Accounts),
          Skins(Options) {}

    TApp App;
    TSecretServiceStore Secrets;
    // The access tokens of the accounts that do not log in with a password, for the checks and
    // the account dialog's test.
    TCommandTokenSource Tokens;
    TAccounts Accounts;
    TOptions Options;
    TMailBoxes MailBoxes;
    TErrors Errors;
    TSkins Skins;
};

}  // namespace quobel
