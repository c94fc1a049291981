// The account dialog's Test for accounts that sign in with a token, with the real dialog
// offscreen against a Dovecot of the test's own that checks tokens through an introspection
// endpoint the test serves: the same token path as a check.
#include <gmock/gmock.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "retrieval/command_token_source.h"
#include "support/introspection_responder.h"
#include "support/private_dovecot.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/options_prompts_fake.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;

QString TestResultAfterClick(TfrmAccount& dialog) {
    dialog.cmdTest->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.TestRunning(); }, 30000));
    return dialog.lblTestResult->text();
}

TEST(AccountDialogTokenTest, TestsWithTheTokenAsACheckWould) {
    IntrospectionResponder introspection;
    introspection.Accept("good-token-7", "ann");
    PrivateDovecot server({{"ann", "unused", {{"m1", "Subject: one\n\n1\n"}}}},
                          introspection.Url());
    server.PresentNewSelfSignedCertificate();

    TAccount account;
    account.POP = {"localhost",
                   server.Pop3sPort,
                   "ann",
                   "",
                   false,
                   TPOPSecurity::Tls,
                   TAuthentication::TokenCommand,
                   "echo good-token-7",
                   {}};
    account.TrustedKey = {"localhost", server.PresentedKeyPin()};
    TScriptedPrompts prompts;
    TCommandTokenSource tokens;
    TfrmAccount dialog(prompts);
    dialog.Tokens = &tokens;
    dialog.ShowAccount(account);
    dialog.show();

    const struct {
        const char* name;
        int choice;
        const char* command;
        std::string sentence;
    } cases[] = {
        {"good token", TfrmAccount::kAuthenticationTokenCommand, "echo good-token-7",
         "Connected: 1 message on the server"},
        {"refused token", TfrmAccount::kAuthenticationTokenCommand, "echo bad-token-8",
         "the server refused the access token: it is invalid or has expired"},
        {"failing command", TfrmAccount::kAuthenticationTokenCommand, "false",
         "The token command false failed with exit code 1"},
        {"OAuth 2.0 without a sign-in", TfrmAccount::kAuthenticationOAuth2, "", kNoOAuthSignInText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.cmbAuthentication->setCurrentIndex(c.choice);
        dialog.txtTokenCommand->setText(QString::fromUtf8(c.command));
        EXPECT_THAT(TestResultAfterClick(dialog).toStdString(), HasSubstr(c.sentence));
    }
    // The typed command was run: the endpoint saw its tokens, the refused one twice.
    EXPECT_EQ(introspection.Asked(),
              (std::vector<std::string>{"good-token-7", "bad-token-8", "bad-token-8"}));

    // A dialog without a token source says so rather than trying the password.
    TfrmAccount alone(prompts);
    alone.ShowAccount(account);
    alone.show();
    EXPECT_THAT(TestResultAfterClick(alone).toStdString(),
                HasSubstr("No access token can be had for the account here"));
}

}  // namespace
}  // namespace quobel::testing
