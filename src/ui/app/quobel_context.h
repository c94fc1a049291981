#pragma once

#include "accounts/accounts.h"
#include "bar/skins.h"
#include "core/app.h"
#include "core/file_util.h"
#include "core/options.h"
#include "platform/secret_service_store.h"
#include "retrieval/errors.h"
#include "retrieval/oauth_token_source.h"
#include "store/mail_box.h"
#include "ui/common/qt_form_poster.h"

namespace quobel {

// The process-wide objects, created in this order and freed in the reverse order (members are
// destroyed last to first): folders, the desktop keyring, accounts with their task queue,
// settings, mailboxes, skins. The error log joins between the mailboxes and the skins; the OAuth
// 2.0 tokens come last, with a keyring connection of their own, since worker threads use it.
struct TQuobelContext {
    explicit TQuobelContext(TApp app)
        : App(std::move(app)),
          Secrets("Quobel"),
          Accounts(JoinPath(App.DataFolder(), "accounts"), &Secrets),
          Options(JoinPath(App.DataFolder(), "settings.ini")),
          MailBoxes(&Accounts),
          Skins(Options),
          OAuthSecrets("Quobel"),
          OAuthTokens(OAuthSecrets, OAuthHttp) {}

    TApp App;
    TSecretServiceStore Secrets;
    TAccounts Accounts;
    TOptions Options;
    TMailBoxes MailBoxes;
    TErrors Errors;
    TSkins Skins;
    TSecretServiceStore OAuthSecrets;
    QtFormPoster OAuthHttp;
    TOAuthTokenSource OAuthTokens;
};

}  // namespace quobel
