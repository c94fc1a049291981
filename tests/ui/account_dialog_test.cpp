#include "ui/dialogs/account_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>

#include "accounts/account_file.h"
#include "support/temp_folder.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_file_edit.h"
#include "ui/options_prompts_fake.h"

namespace quobel {
namespace {

using testing::TScriptedPrompts;

TEST(AccountDialog, NewDialogShowsTheDesignValues) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.SetAccountColor(kNoSkinColor);

    EXPECT_EQ(dialog.windowTitle(), "Account Settings");
    ASSERT_EQ(dialog.cmbColor->count(), 18);
    EXPECT_EQ(dialog.cmbColor->itemText(0), "Skin Default");
    EXPECT_EQ(dialog.cmbColor->itemText(1), "Black");
    EXPECT_EQ(dialog.cmbColor->itemText(16), "White");
    EXPECT_EQ(dialog.cmbColor->itemText(17), "Custom...");
    EXPECT_EQ(dialog.cmbColor->currentText(), "Skin Default");
    EXPECT_EQ(dialog.AccountColor(), kNoSkinColor);
    // A new account starts as POP3 over TLS.
    EXPECT_EQ(dialog.sePOPPort->value(), 995);
    EXPECT_EQ(dialog.cmbSecurity->currentText(), "SSL/TLS");
    EXPECT_EQ(dialog.seSMTPPort->value(), 25);
    EXPECT_TRUE(dialog.chkActive->isChecked());
    EXPECT_FALSE(dialog.chkSecure->isChecked());
    EXPECT_EQ(dialog.Security(), TPOPSecurity::Tls);
    EXPECT_TRUE(dialog.lblPlainWarning->isHidden());
    EXPECT_EQ(dialog.txtPOPPass->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(dialog.txtAccount->text().isEmpty());
}

TEST(AccountDialog, ShowsAndReadsHowTheAccountsMailIsAnnounced) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    EXPECT_TRUE(dialog.chkAnnounce->isChecked());
    EXPECT_TRUE(dialog.chkShowOnBar->isChecked());
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on);
        TAccount shown;
        shown.Announce = on;
        shown.ShowOnBar = !on;
        shown.SoundFile = on ? "/sounds/work.wav" : "";
        dialog.ShowAccount(shown);
        EXPECT_EQ(dialog.chkAnnounce->isChecked(), on);
        EXPECT_EQ(dialog.chkShowOnBar->isChecked(), !on);
        EXPECT_EQ(dialog.feAccountSound->FileName().toStdString(), shown.SoundFile);
        TAccount read;
        read.Announce = !on;
        read.ShowOnBar = on;
        read.SoundFile = "stale";
        dialog.ReadAccount(read);
        EXPECT_EQ(read.Announce, on);
        EXPECT_EQ(read.ShowOnBar, !on);
        EXPECT_EQ(read.SoundFile, shown.SoundFile);
    }
}

TEST(AccountDialog, OkReportsTheFirstEmptyFieldInOrder) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.show();
    const struct {
        QLineEdit* Field;
        const char* Message;
    } steps[] = {
        {dialog.txtAccount, "Please enter a name for this account!"},
        {dialog.txtName, "Please enter your name!"},
        {dialog.txtEmail, "Please enter your email address!"},
        {dialog.txtPOPHost, "Please enter your incoming mail host!"},
        {dialog.txtSMTPHost, "Please enter your outgoing mail host!"},
    };
    for (const auto& step : steps) {
        prompts.Errors.clear();
        dialog.cmdOKClick();
        ASSERT_EQ(prompts.Errors.size(), 1u) << step.Message;
        EXPECT_EQ(prompts.Errors[0].Title, "Error");
        EXPECT_EQ(prompts.Errors[0].Text, step.Message);
        EXPECT_EQ(dialog.focusWidget(), step.Field) << step.Message;
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        // One blank is text: it passes.
        step.Field->setText(" ");
    }
    prompts.Errors.clear();
    dialog.cmdOKClick();
    EXPECT_TRUE(prompts.Errors.empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(AccountDialog, AccountColorSelectsStandardOrCustomEntry) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);

    dialog.SetAccountColor(0x0000FF);
    EXPECT_EQ(dialog.cmbColor->currentText(), "Red");
    EXPECT_EQ(dialog.AccountColor(), 0x0000FFu);

    dialog.SetAccountColor(0x123456);
    EXPECT_EQ(dialog.cmbColor->currentText(), "Custom...");
    EXPECT_EQ(dialog.AccountColor(), 0x123456u);
    EXPECT_TRUE(prompts.ColorShown.empty()) << "filling the dialog must not open the chooser";

    dialog.SetAccountColor(kNoSkinColor);
    EXPECT_EQ(dialog.cmbColor->currentText(), "Skin Default");
}

TEST(AccountDialog, ChoosingCustomOpensTheChooserAndKeepsCustomSelected) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.SetAccountColor(kNoSkinColor);
    const int custom = TColorPicker::kCustomIndex;

    // Cancelled in a new dialog: black.
    dialog.cmbColor->setCurrentIndex(custom);
    emit dialog.cmbColor->activated(custom);
    ASSERT_EQ(prompts.ColorShown.size(), 1u);
    EXPECT_EQ(prompts.ColorShown[0], QColor(Qt::black));
    EXPECT_EQ(dialog.cmbColor->currentIndex(), custom);
    EXPECT_EQ(dialog.AccountColor(), 0x000000u);

    // Confirmed: the chooser's colour, as 0x00BBGGRR.
    prompts.ColorChoice = QColor(0x12, 0x34, 0x56);
    emit dialog.cmbColor->activated(custom);
    EXPECT_EQ(dialog.AccountColor(), 0x563412u);

    // Cancelled again: the previous custom colour stays, and the chooser started from it.
    prompts.ColorChoice.reset();
    emit dialog.cmbColor->activated(custom);
    EXPECT_EQ(prompts.ColorShown.back(), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(dialog.cmbColor->currentIndex(), custom);
    EXPECT_EQ(dialog.AccountColor(), 0x563412u);

    // Picking a standard colour does not open the chooser.
    dialog.cmbColor->setCurrentIndex(10);
    emit dialog.cmbColor->activated(10);
    EXPECT_EQ(prompts.ColorShown.size(), 3u);
    EXPECT_EQ(dialog.AccountColor(), 0x0000FFu);
}

TEST(AccountDialog, EntriesDrawTheirSwatch) {
    QImage image(120, 16, QImage::Format_RGB32);
    const QPalette palette = QApplication::palette();
    const QColor base = palette.color(QPalette::Base);
    {
        image.fill(Qt::magenta);
        QPainter painter(&image);
        TColorPicker::DrawEntry(painter, image.rect(), "Custom...", 0x563412, false, palette);
    }
    EXPECT_EQ(image.pixelColor(0, 8), base);
    EXPECT_EQ(image.pixelColor(1, 8), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(20, 8), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 8), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(image.pixelColor(10, 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 14), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 15), base);
    {
        image.fill(Qt::magenta);
        QPainter painter(&image);
        TColorPicker::DrawEntry(painter, image.rect(), "Skin Default", kNoSkinColor, true, palette);
    }
    EXPECT_EQ(image.pixelColor(10, 8), palette.color(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(1, 8), palette.color(QPalette::Highlight));
}

TEST(AccountDialog, SecurityChoiceSwitchesThePort) {
    const struct {
        int StartPort;
        int Choice;
        int ExpectedPort;
    } cases[] = {
        {110, TfrmAccount::kSecurityTls, 995},      {995, TfrmAccount::kSecurityNone, 110},
        {995, TfrmAccount::kSecurityStartTls, 110}, {110, TfrmAccount::kSecurityStartTls, 110},
        {2110, TfrmAccount::kSecurityTls, 2110},    {2995, TfrmAccount::kSecurityNone, 2995},
        {995, TfrmAccount::kSecurityTls, 995},
    };
    for (const auto& c : cases) {
        TScriptedPrompts prompts;
        TfrmAccount dialog(prompts);
        dialog.sePOPPort->setValue(c.StartPort);
        dialog.cmbSecurity->setCurrentIndex(c.Choice);
        emit dialog.cmbSecurity->activated(c.Choice);
        EXPECT_EQ(dialog.sePOPPort->value(), c.ExpectedPort)
            << "from port " << c.StartPort << " choice " << c.Choice;
    }

    // Filling the dialog from an account leaves the port alone.
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.sePOPPort->setValue(110);
    dialog.SetSecurity(TPOPSecurity::Tls);
    EXPECT_EQ(dialog.Security(), TPOPSecurity::Tls);
    EXPECT_EQ(dialog.sePOPPort->value(), 110);
    EXPECT_EQ(dialog.cmbSecurity->itemText(2), "SSL/TLS");
}

TEST(AccountDialog, PlainTextWarningFollowsSecurityAndHost) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.show();
    EXPECT_EQ(dialog.lblPlainWarning->text(), "The password will be sent unencrypted.");
    const struct {
        const char* Host;
        int Choice;
        bool Warned;
    } cases[] = {
        {"pop.example.org", TfrmAccount::kSecurityNone, true},
        {"pop.example.org", TfrmAccount::kSecurityStartTls, false},
        {"pop.example.org", TfrmAccount::kSecurityTls, false},
        {"192.0.2.7", TfrmAccount::kSecurityNone, true},
        {"localhost", TfrmAccount::kSecurityNone, false},
        {"LocalHost", TfrmAccount::kSecurityNone, false},
        {"127.0.0.1", TfrmAccount::kSecurityNone, false},
        {"127.3.4.5", TfrmAccount::kSecurityNone, false},
        {"::1", TfrmAccount::kSecurityNone, false},
        {"[::1]", TfrmAccount::kSecurityNone, false},
        {"", TfrmAccount::kSecurityNone, false},
        {"localhost.example.org", TfrmAccount::kSecurityNone, true},
    };
    for (const auto& c : cases) {
        dialog.txtPOPHost->setText(QString::fromUtf8(c.Host));
        dialog.cmbSecurity->setCurrentIndex(c.Choice);
        emit dialog.cmbSecurity->activated(c.Choice);
        EXPECT_EQ(dialog.lblPlainWarning->isVisible(), c.Warned)
            << c.Host << " choice " << c.Choice;
    }
    // Typing the host after the choice updates it too.
    dialog.cmbSecurity->setCurrentIndex(TfrmAccount::kSecurityNone);
    dialog.txtPOPHost->setText(QStringLiteral("127.0.0.1"));
    EXPECT_FALSE(dialog.lblPlainWarning->isVisible());
    dialog.txtPOPHost->setText(QStringLiteral("mail.example.org"));
    EXPECT_TRUE(dialog.lblPlainWarning->isVisible());
}

// An account file from before TLS became the default keeps plain POP3 on 110, and the dialog
// that edits it warns about it.
TEST(AccountDialog, OldAccountWithoutSecurityKeyShowsAsItWas) {
    const testing::TempFolder folder;
    const std::string path = folder.File("old.qba");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("[Account]\r\nName=Old\r\n[POP]\r\nHost=pop.example.org\r\nUsername=me\r\n", file);
    std::fclose(file);
    TAccount account;
    LoadAccount(account, path);

    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.ShowAccount(account);
    dialog.show();
    EXPECT_EQ(dialog.Security(), TPOPSecurity::None);
    EXPECT_EQ(dialog.sePOPPort->value(), 110);
    EXPECT_TRUE(dialog.lblPlainWarning->isVisible());

    TAccount read = account;
    dialog.ReadAccount(read);
    EXPECT_EQ(read.POP.TLS, TPOPSecurity::None);
    EXPECT_EQ(read.POP.Port, 110);
}

// The rows of each way of signing in, as the user switches between them in the shown dialog.
TEST(AccountDialog, AuthenticationChoiceShowsItsOwnRows) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.show();
    ASSERT_EQ(dialog.cmbAuthentication->count(), 3);
    EXPECT_EQ(dialog.cmbAuthentication->itemText(0), "Password");
    EXPECT_EQ(dialog.cmbAuthentication->itemText(1), "OAuth 2.0");
    EXPECT_EQ(dialog.cmbAuthentication->itemText(2), "Token command");
    ASSERT_EQ(dialog.cmbOAuthProvider->count(), 3);
    EXPECT_EQ(dialog.cmbOAuthProvider->itemText(0), "Microsoft");
    EXPECT_EQ(dialog.cmbOAuthProvider->itemText(1), "Google");
    EXPECT_EQ(dialog.cmbOAuthProvider->itemText(2), "Custom");
    EXPECT_EQ(dialog.txtOAuthClientSecret->echoMode(), QLineEdit::Password);
    // The sign-in's place is inside the OAuth 2.0 rows.
    auto* signIn = dialog.pnlOAuth->findChild<QHBoxLayout*>(QStringLiteral("laySignIn"));
    EXPECT_EQ(signIn, dialog.laySignIn);

    const struct {
        int Choice;
        int Provider;
        bool Password, Command, OAuth, Endpoints;
    } cases[] = {
        {TfrmAccount::kAuthenticationPassword, 0, true, false, false, false},
        {TfrmAccount::kAuthenticationTokenCommand, 0, false, true, false, false},
        {TfrmAccount::kAuthenticationOAuth2, 0, false, false, true, false},
        {TfrmAccount::kAuthenticationOAuth2, 1, false, false, true, false},
        {TfrmAccount::kAuthenticationOAuth2, 2, false, false, true, true},
        {TfrmAccount::kAuthenticationPassword, 2, true, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "choice " << c.Choice << " provider " << c.Provider);
        dialog.cmbOAuthProvider->setCurrentIndex(c.Provider);
        dialog.cmbAuthentication->setCurrentIndex(c.Choice);
        EXPECT_EQ(dialog.txtPOPPass->isVisible(), c.Password);
        EXPECT_EQ(dialog.chkSecure->isVisible(), c.Password);  // APOP is a password's
        EXPECT_EQ(dialog.txtTokenCommand->isVisible(), c.Command);
        EXPECT_EQ(dialog.cmbOAuthProvider->isVisible(), c.OAuth);
        EXPECT_EQ(dialog.txtOAuthClientId->isVisible(), c.OAuth);
        EXPECT_EQ(dialog.txtOAuthClientSecret->isVisible(), c.OAuth);
        EXPECT_EQ(dialog.txtOAuthTokenUrl->isVisible(), c.Endpoints);
        EXPECT_EQ(dialog.txtOAuthScope->isVisible(), c.Endpoints);
    }
}

TEST(AccountDialog, ShowsAndReadsHowTheAccountSignsIn) {
    const struct {
        const char* Name;
        TAuthentication Authentication;
        std::string Command;
        TOAuthSettings OAuth;
    } cases[] = {
        {"password", TAuthentication::Password, "", {}},
        {"command", TAuthentication::TokenCommand, "oama access 'ann@example.org'", {}},
        {"preset", TAuthentication::OAuth2, "", {"google", "id-1", "secret-1", "", "", ""}},
        {"custom",
         TAuthentication::OAuth2,
         "",
         {"custom", "id-2", "", "https://a.example/auth", "https://a.example/token", "pop"}},
        // A provider this version does not know is kept, with its own endpoints.
        {"unknown",
         TAuthentication::OAuth2,
         "",
         {"fastmail", "id-3", "", "https://f.example/auth", "https://f.example/token", "x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriptedPrompts prompts;
        TfrmAccount dialog(prompts);
        TAccount shown;
        shown.POP.Authentication = c.Authentication;
        shown.POP.TokenCommand = c.Command;
        shown.POP.OAuth = c.OAuth;
        dialog.ShowAccount(shown);
        dialog.show();
        EXPECT_EQ(dialog.Authentication(), c.Authentication);
        EXPECT_EQ(dialog.txtOAuthTokenUrl->isVisible(),
                  c.Authentication == TAuthentication::OAuth2 && c.OAuth.Provider != "google");
        TAccount read;
        dialog.ReadAccount(read);
        EXPECT_EQ(read.POP.Authentication, c.Authentication);
        EXPECT_EQ(read.POP.TokenCommand, c.Command);
        EXPECT_EQ(read.POP.OAuth, c.OAuth);
    }
}

TEST(AccountDialog, OkAsksForWhatTheWayOfSigningInNeeds) {
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.show();
    for (QLineEdit* field : {dialog.txtAccount, dialog.txtName, dialog.txtEmail, dialog.txtPOPHost,
                             dialog.txtSMTPHost}) {
        field->setText(QStringLiteral("x"));
    }
    const struct {
        int Choice;
        int Provider;
        QLineEdit* Field;
        const char* Message;  // null: accepted
    } steps[] = {
        {TfrmAccount::kAuthenticationTokenCommand, 0, dialog.txtTokenCommand,
         "Please enter the command that prints the access token!"},
        {TfrmAccount::kAuthenticationOAuth2, 0, dialog.txtOAuthClientId,
         "Please enter the client ID of your application!"},
        {TfrmAccount::kAuthenticationOAuth2, 2, dialog.txtOAuthAuthorizationUrl,
         "Please enter the provider's authorization URL!"},
        {TfrmAccount::kAuthenticationOAuth2, 2, dialog.txtOAuthTokenUrl,
         "Please enter the provider's token URL!"},
        {TfrmAccount::kAuthenticationOAuth2, 2, nullptr, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.Message ? step.Message : "accepted");
        prompts.Errors.clear();
        dialog.setResult(QDialog::Rejected);
        dialog.cmbOAuthProvider->setCurrentIndex(step.Provider);
        dialog.cmbAuthentication->setCurrentIndex(step.Choice);
        dialog.cmdOKClick();
        if (step.Message == nullptr) {
            EXPECT_TRUE(prompts.Errors.empty());
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            continue;
        }
        ASSERT_EQ(prompts.Errors.size(), 1u);
        EXPECT_EQ(prompts.Errors[0].Text, step.Message);
        EXPECT_EQ(dialog.focusWidget(), step.Field);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        step.Field->setText(QStringLiteral("y"));
    }
}

}  // namespace
}  // namespace quobel
