#include "ui/dialogs/oauth_sign_in_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "core/error.h"
#include "retrieval/oauth_token_source.h"
#include "ui/common/lower_texts.h"

namespace quobel {

TOAuthSignInWidget::TOAuthSignInWidget(TOAuthTokenSource& tokens, UrlOpener& opener,
                                       QWidget* parent)
    : QWidget(parent), tokens_(tokens), flow_(tokens, opener) {
    cmdSignIn = new QPushButton;
    cmdSignIn->setObjectName(QStringLiteral("cmdSignIn"));
    cmdSignIn->setAutoDefault(false);
    lblSignInStatus = new QLabel;
    lblSignInStatus->setObjectName(QStringLiteral("lblSignInStatus"));
    lblSignInStatus->setWordWrap(true);
    lblSignInStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(cmdSignIn);
    row->addWidget(lblSignInStatus, 1);
    SetRunning(false);

    connect(cmdSignIn, &QPushButton::clicked, this, &TOAuthSignInWidget::cmdSignInClick);
    connect(&flow_, &TOAuthSignInFlow::WaitingForBrowser, this, [this] {
        lblSignInStatus->setText(
            tr("Sign in in the browser window that opened, then return here."));
    });
    connect(&flow_, &TOAuthSignInFlow::Exchanging, this,
            [this] { lblSignInStatus->setText(tr("Completing the sign-in\u2026")); });
    connect(&flow_, &TOAuthSignInFlow::Finished, this, [this](bool ok, const QString& message) {
        SetRunning(false);
        lblSignInStatus->setText(message);
        if (ok) {
            emit SignedIn();
        }
        emit SignInEnded(ok);
    });
}

void TOAuthSignInWidget::ShowStatusOf(const TAccount& account) {
    if (flow_.Running()) {
        return;
    }
    try {
        lblSignInStatus->setText(tokens_.HasSignIn(account) ? tr("Signed in.")
                                                            : tr("Not signed in."));
    } catch (const Error& error) {
        lblSignInStatus->setText(
            tr("The desktop keyring cannot be reached: %1").arg(ShownText(error.what())));
    }
}

void TOAuthSignInWidget::cmdSignInClick() {
    if (flow_.Running()) {
        flow_.Cancel();
        return;
    }
    if (!AccountToSignIn) {
        return;
    }
    SetRunning(true);
    flow_.Start(AccountToSignIn());
}

void TOAuthSignInWidget::SetRunning(bool running) {
    cmdSignIn->setText(running ? tr("Cancel") : tr("Sign in\u2026"));
}

}  // namespace quobel
