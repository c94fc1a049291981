#include "ui/dialogs/oauth_sign_in_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"
#include "ui/dialogs/oauth_sign_in_widget.h"

namespace quobel {

TOAuthSignInDialog::TOAuthSignInDialog(const TAccount& account, TOAuthTokenSource& tokens,
                                       UrlOpener& opener, QWidget* parent)
    : QDialog(parent), account_(account) {
    setWindowTitle(tr("Sign In"));
    lblAccount = new QLabel(tr("Sign in to the mail provider again for the account \u201c%1\u201d.")
                                .arg(Q(account.Name.empty() ? account.ID : account.Name)));
    lblAccount->setWordWrap(true);
    SignIn = new TOAuthSignInWidget(tokens, opener);
    SignIn->AccountToSignIn = [this] { return account_; };
    Buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblAccount);
    layout->addWidget(SignIn);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::rejected, this, &TOAuthSignInDialog::reject);
    connect(SignIn, &TOAuthSignInWidget::SignedIn, this, &TOAuthSignInDialog::accept);
}

void TOAuthSignInDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        SignIn->cmdSignInClick();
    }
}

void TOAuthSignInDialog::reject() {
    SignIn->Flow().Cancel();
    QDialog::reject();
}

}  // namespace quobel
