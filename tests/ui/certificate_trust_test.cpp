// Trusting a server's own certificate and testing an account, with the real windows offscreen
// against a Dovecot of the test's own that presents self-signed certificates: the account
// dialog's Test button and the Tasks window's "Trust this certificate…" offer, through the real
// trust dialog.
#include <gmock/gmock.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>

#include "accounts/account_file.h"
#include "accounts/account_passwords.h"
#include "accounts/accounts.h"
#include "reader_fixture.h"
#include "retrieval/errors.h"
#include "support/loopback_listener.h"
#include "support/private_dovecot.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/trust_certificate_dialog.h"
#include "ui/options_prompts_fake.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const char kUser[] = "ann";
const char kPassword[] = "pass word";

PrivateDovecot::User Ann() {
    return {kUser, kPassword, {{"m1", "Subject: one\n\n1\n"}, {"m2", "Subject: two\n\n2\n"}}};
}

// What the trust dialog showed, once it was answered.
struct TrustDialogSeen {
    bool Shown = false;
    QString Host;
    QString Fingerprint;
    QString Key;
    QString Reason;
};

// Answers the next trust dialog that opens modally: the real dialog, clicked.
std::shared_ptr<TrustDialogSeen> AnswerNextTrustDialog(bool trust) {
    auto seen = std::make_shared<TrustDialogSeen>();
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, seen, trust] {
        auto* dialog = qobject_cast<TTrustCertificateDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        seen->Shown = true;
        seen->Host = dialog->lblHost->text();
        seen->Fingerprint = dialog->lblFingerprint->text();
        seen->Key = dialog->lblKey->text();
        seen->Reason = dialog->lblReason->text();
        (trust ? dialog->cmdTrust : dialog->cmdCancel)->click();
    });
    timer->start();
    return seen;
}

QString TestResultAfterClick(TfrmAccount& dialog) {
    dialog.cmdTest->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.TestRunning(); }, 30000));
    return dialog.lblTestResult->text();
}

TEST(AccountDialogTest, TestsTheTypedSettingsAndTrustsASelfSignedCertificate) {
    PrivateDovecot server({Ann()});
    server.PresentNewSelfSignedCertificate();
    const QString pin = QString::fromStdString(FormatFingerprint(server.PresentedKeyPin()));
    TScriptedPrompts prompts;
    TfrmAccount dialog(prompts);
    dialog.show();
    dialog.txtPOPHost->setText(QStringLiteral("localhost"));
    dialog.txtPOPUser->setText(QString::fromLatin1(kUser));

    struct Case {
        const char* name;
        int security;
        int port;
        const char* password;
        const char* sentence;
        bool trustOffered;
    };
    const int closedPort = UnusedLoopbackPort();
    const Case cases[] = {
        {"good login", TfrmAccount::kSecurityNone, server.Pop3Port, kPassword,
         "Connected: 2 messages on the server", false},
        {"wrong password", TfrmAccount::kSecurityNone, server.Pop3Port, "wrong",
         "[AUTH] Authentication failed.", false},
        {"closed port", TfrmAccount::kSecurityNone, closedPort, kPassword,
         "Socket Error # 111: Connection refused", false},
        {"TLS refused", TfrmAccount::kSecurityTls, server.Pop3sPort, kPassword,
         "Certificate verification failed: self", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.SetSecurity(c.security == TfrmAccount::kSecurityTls ? TPOPSecurity::Tls
                                                                   : TPOPSecurity::None);
        dialog.sePOPPort->setValue(c.port);
        dialog.txtPOPPass->setText(QString::fromLatin1(c.password));
        EXPECT_THAT(TestResultAfterClick(dialog).toStdString(), StartsWith(c.sentence));
        EXPECT_EQ(dialog.cmdTrustCertificate->isVisible(), c.trustOffered);
        EXPECT_EQ(dialog.cmdTest->text(), QStringLiteral("&Test"));
    }

    // Declined: nothing is kept.
    auto seen = AnswerNextTrustDialog(false);
    dialog.cmdTrustCertificate->click();
    EXPECT_TRUE(seen->Shown);
    EXPECT_EQ(seen->Host, QStringLiteral("localhost"));
    EXPECT_EQ(seen->Key, pin);
    EXPECT_EQ(seen->Fingerprint.size(), 95);  // 32 bytes, colon-parted
    EXPECT_THAT(seen->Reason.toStdString(), StartsWith("Certificate verification failed"));
    TAccount read;
    dialog.ReadAccount(read);
    EXPECT_EQ(read.TrustedKey, TTrustedKey{});

    // Trusted: tested again at once, and the key goes with the account.
    seen = AnswerNextTrustDialog(true);
    dialog.cmdTrustCertificate->click();
    EXPECT_TRUE(seen->Shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog.TestRunning(); }, 30000));
    EXPECT_EQ(dialog.lblTestResult->text(), QStringLiteral("Connected: 2 messages on the server"));
    EXPECT_FALSE(dialog.cmdTrustCertificate->isVisible());
    dialog.ReadAccount(read);
    EXPECT_EQ(read.TrustedKey, (TTrustedKey{"localhost", server.PresentedKeyPin()}));

    // The server shows another key: refused, both keys named, and offered again.
    const std::string oldPin = server.PresentedKeyPin();
    server.PresentNewSelfSignedCertificate();
    const QString changed = TestResultAfterClick(dialog);
    EXPECT_THAT(changed.toStdString(), HasSubstr("certificate changed"));
    EXPECT_THAT(changed.toStdString(), HasSubstr(FormatFingerprint(oldPin)));
    EXPECT_THAT(changed.toStdString(), HasSubstr(FormatFingerprint(server.PresentedKeyPin())));
    EXPECT_TRUE(dialog.cmdTrustCertificate->isVisible());
}

TEST(AccountDialogTest, TheTestButtonCancelsARunningTest) {
    LoopbackListener silent;  // accepts, never greets
    TScriptedPrompts prompts;
    auto dialog = std::make_unique<TfrmAccount>(prompts);
    dialog->show();
    dialog->txtPOPHost->setText(QStringLiteral("127.0.0.1"));
    dialog->sePOPPort->setValue(silent.Port());
    dialog->cmdTest->click();
    EXPECT_TRUE(dialog->TestRunning());
    EXPECT_EQ(dialog->cmdTest->text(), QStringLiteral("Cancel &test"));
    EXPECT_EQ(dialog->lblTestResult->text(), QStringLiteral("Connecting to 127.0.0.1..."));
    dialog->cmdTest->click();
    EXPECT_FALSE(dialog->TestRunning());
    EXPECT_EQ(dialog->lblTestResult->text(), QStringLiteral("Test cancelled."));
    EXPECT_EQ(dialog->cmdTest->text(), QStringLiteral("&Test"));
    // A late word from the cancelled test changes nothing.
    QTest::qWait(100);
    EXPECT_EQ(dialog->lblTestResult->text(), QStringLiteral("Test cancelled."));

    // Closing the dialog while a test runs ends it.
    dialog->cmdTest->click();
    const auto started = std::chrono::steady_clock::now();
    dialog.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

// The Tasks window offers the certificate a check refused; trusting it pins the key in the
// account file and checks again, through the real cycle.
using TasksWindowTrustTest = ReaderTest;

// The test's session has no keyring: saving the trusted key also logs, once, that passwords stay
// in the account files. Only the other rows count here.
int RowsBesidesKeyring(const TfrmTasks& tasks) {
    int rows = 0;
    for (int i = 0; i < tasks.tvErrors->topLevelItemCount(); ++i) {
        rows += tasks.tvErrors->topLevelItem(i)->text(0) != QLatin1String(kKeyringUnavailable);
    }
    return rows;
}

TEST_F(TasksWindowTrustTest, ACheckRefusedForItsCertificateIsOfferedAndTrusted) {
    PrivateDovecot server({Ann()});
    server.PresentNewSelfSignedCertificate();
    cycle->Controller().TaskConnector = nullptr;  // real sockets
    Account->POP = {"localhost",       server.Pop3sPort,          kUser, kPassword, false,
                    TPOPSecurity::Tls, TAuthentication::Password, {},    {}};
    const std::string accountFile =
        TAccounts::FileNameOf(JoinPath(folder.Path(), "accounts"), *Account);
    const size_t filedBefore = Inbox->Items.Count();

    cycle->Controller().CheckAccount(*Account);
    ASSERT_TRUE(RunTasks());
    ASSERT_EQ(RowsBesidesKeyring(tasks), 1);
    EXPECT_THAT(tasks.tvErrors->currentItem()->toolTip(0).toStdString(),
                StartsWith("Certificate verification failed: self"));
    EXPECT_TRUE(tasks.isVisible());
    EXPECT_TRUE(tasks.cmdTrust->isVisible());
    EXPECT_EQ(tasks.cmdTrust->text(), QStringLiteral("Trust this certificate\u2026"));

    auto seen = AnswerNextTrustDialog(true);
    tasks.cmdTrust->click();
    EXPECT_TRUE(seen->Shown);
    EXPECT_EQ(seen->Key, QString::fromStdString(FormatFingerprint(server.PresentedKeyPin())));
    EXPECT_FALSE(tasks.cmdTrust->isVisible());
    EXPECT_EQ(Account->TrustedKey, (TTrustedKey{"localhost", server.PresentedKeyPin()}));
    TAccount saved;
    LoadAccount(saved, accountFile);
    EXPECT_EQ(saved.TrustedKey, Account->TrustedKey);

    // The check that trusting queued gets the mail.
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(RowsBesidesKeyring(tasks), 1);
    EXPECT_EQ(Inbox->Items.Count(), filedBefore + 2);

    // Another key on the same host: refused with both keys, offered again.
    server.PresentNewSelfSignedCertificate();
    cycle->Controller().CheckAccount(*Account);
    ASSERT_TRUE(RunTasks());
    ASSERT_EQ(RowsBesidesKeyring(tasks), 2);
    const std::string details = tasks.tvErrors->currentItem()->toolTip(0).toStdString();
    EXPECT_THAT(details, HasSubstr("the server's certificate changed"));
    EXPECT_THAT(details, HasSubstr(FormatFingerprint(saved.TrustedKey.Key)));
    EXPECT_THAT(details, HasSubstr(FormatFingerprint(server.PresentedKeyPin())));
    EXPECT_TRUE(tasks.cmdTrust->isVisible());
}

}  // namespace
}  // namespace quobel::testing
