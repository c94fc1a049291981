// A check of an OAuth 2.0 account with no sign-in kept, through the running program's cycle: the
// Tasks window lists the error and offers "Sign in again…", which opens the sign-in dialog and
// sends the browser to the provider.
#include <gmock/gmock.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "retrieval/oauth_token_source.h"
#include "support/private_keyring.h"
#include "ui/dialogs/oauth_sign_in_dialog.h"
#include "ui/reader_fixture.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

using OAuthSignInCycleTest = ReaderTest;

TEST_F(OAuthSignInCycleTest, AFailedCheckOffersTheSignInInTheTasksWindow) {
    // The program's keyring connection is made at first use: from here on it is the test's.
    PrivateKeyring keyring;
    Account->POP.Authentication = TAuthentication::OAuth2;
    Account->POP.TLS = TPOPSecurity::Tls;
    Account->POP.OAuth = {
        "custom", "client-1", "", "https://auth.example/authorize", "https://auth.example/token",
        "pop"};

    cycle->Controller().CheckAccount(*Account);
    ASSERT_TRUE(RunTasks());
    ASSERT_GE(tasks.ErrorRowCount(), 1);
    EXPECT_THAT(tasks.tvErrors->currentItem()->toolTip(0).toStdString(),
                HasSubstr(kOAuthSignInAgainText));
    ASSERT_TRUE(tasks.cmdSignIn->isVisible());

    // The dialog opens and sends the browser off; the user closes it without signing in.
    bool dialogShown = false;
    QTimer::singleShot(200, [&] {
        auto* dialog = qobject_cast<TOAuthSignInDialog*>(QApplication::activeModalWidget());
        dialogShown = dialog != nullptr;
        if (dialog != nullptr) {
            dialog->Buttons->button(QDialogButtonBox::Close)->click();
        }
    });
    tasks.cmdSignIn->click();
    EXPECT_TRUE(dialogShown);
    ASSERT_EQ(opener.Opened.size(), 1U);
    EXPECT_THAT(opener.Opened[0], StartsWith("https://auth.example/authorize?response_type=code"));
    EXPECT_FALSE(tasks.cmdSignIn->isVisible());
}

}  // namespace
}  // namespace quobel::testing
