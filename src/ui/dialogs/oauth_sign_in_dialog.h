#pragma once

#include <QDialog>

#include "accounts/account.h"

class QDialogButtonBox;
class QLabel;

namespace quobel {

class TOAuthSignInWidget;
class TOAuthTokenSource;
class UrlOpener;

// Repeats an account's OAuth 2.0 sign-in outside the account dialog (from the Tasks window,
// when a check found the sign-in withdrawn): starts it when shown, closes itself once signed in.
class TOAuthSignInDialog : public QDialog {
    Q_OBJECT
  public:
    TOAuthSignInDialog(const TAccount& account, TOAuthTokenSource& tokens, UrlOpener& opener,
                       QWidget* parent = nullptr);

    QLabel* lblAccount = nullptr;
    TOAuthSignInWidget* SignIn = nullptr;
    QDialogButtonBox* Buttons = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

  private:
    TAccount account_;
    bool started_ = false;
};

}  // namespace quobel
