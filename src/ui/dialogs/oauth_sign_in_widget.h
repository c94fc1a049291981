#pragma once

#include <QWidget>
#include <functional>

#include "accounts/account.h"
#include "ui/dialogs/oauth_sign_in_flow.h"

class QLabel;
class QPushButton;

namespace quobel {

// What the OAuth 2.0 sign-in needs from the program: where the tokens go and the desktop's
// browser. The windows that offer the sign-in get it from the application; not owned.
struct TOAuthSignInServices {
    TOAuthTokenSource& Tokens;
    UrlOpener& Opener;
};

// The account's OAuth 2.0 sign-in as the account dialog and the Tasks window show it: the
// "Sign in…" button, which turns into "Cancel" while the browser is out, and a status line.
class TOAuthSignInWidget : public QWidget {
    Q_OBJECT
  public:
    TOAuthSignInWidget(TOAuthTokenSource& tokens, UrlOpener& opener, QWidget* parent = nullptr);

    QPushButton* cmdSignIn = nullptr;
    QLabel* lblSignInStatus = nullptr;

    // The account to sign in as the dialog's fields set it up (provider, client ID, secret).
    std::function<TAccount()> AccountToSignIn;

    // Shows whether a sign-in is kept for the account.
    void ShowStatusOf(const TAccount& account);
    // "Sign in…", or Cancel while a sign-in runs.
    void cmdSignInClick();

    TOAuthSignInFlow& Flow() { return flow_; }

  signals:
    void SignedIn();
    void SignInEnded(bool ok);

  private:
    void SetRunning(bool running);

    TOAuthTokenSource& tokens_;
    TOAuthSignInFlow flow_;
};

}  // namespace quobel
