#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <vector>

#include "accounts/account.h"
#include "retrieval/account_test.h"
#include "ui/dialogs/trust_certificate_dialog.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quobel {

class TAccessTokenSource;
class TColorPicker;
class TDialogPrompts;
class TFileNameEdit;

// The dialog in which one account is entered or edited. It holds no account: the accounts page
// shows one in it and reads it back after OK.
class TfrmAccount : public QDialog {
    Q_OBJECT

  public:
    // Entries of cmbSecurity, in this order.
    static constexpr int kSecurityNone = 0;
    static constexpr int kSecurityStartTls = 1;
    static constexpr int kSecurityTls = 2;
    // Entries of cmbAuthentication, in this order (the account file's values).
    static constexpr int kAuthenticationPassword = 0;
    static constexpr int kAuthenticationOAuth2 = 1;
    static constexpr int kAuthenticationTokenCommand = 2;

    explicit TfrmAccount(TDialogPrompts& prompts, QWidget* parent = nullptr);
    ~TfrmAccount() override;

    // Fills the controls from the account.
    void ShowAccount(const TAccount& account);
    // Writes the controls' values into the account; a typed password replaces one that could
    // not be read from the account file.
    void ReadAccount(TAccount& account) const;

    // Selects the entry of that colour, or "Custom..." holding the colour when no other entry
    // has it.
    void SetAccountColor(uint32_t color);
    uint32_t AccountColor() const;

    // Sets the choice without touching the port (filling the dialog from an account).
    void SetSecurity(TPOPSecurity security);
    TPOPSecurity Security() const;

    // Sets the choice; the rows that belong to it are shown, the others hidden.
    void SetAuthentication(TAuthentication authentication);
    TAuthentication Authentication() const;
    // Selects the provider with that id in cmbOAuthProvider ("custom" or one this version does
    // not know: its own entry, with the endpoint and scope rows).
    void SetOAuthProvider(const std::string& id);
    std::string OAuthProvider() const;
    // Shows the rows of the chosen authentication (and provider).
    void UpdateAuthenticationRows();

    // The user picked an entry of the colour list: "Custom..." opens the colour chooser.
    void cmbColorChange(int index);
    // The user picked a security choice: the port follows between 110 and 995.
    void cmbSecurityChange(int index);
    // Shows lblPlainWarning while the password would go unencrypted to a host that is not on
    // this machine's loopback network.
    void UpdatePlainWarning();
    // Checks the required fields in order; the first empty one is reported and focused.
    void cmdOKClick();
    // "Test": connects in the background with the settings as typed, logs in and counts the
    // messages; the result shows in lblTestResult. While a test runs the button cancels it.
    void cmdTestClick();
    bool TestRunning() const { return test_ != nullptr; }
    // "Trust this certificate…" after a test refused the server's certificate: asks, and when
    // the user trusts it, keeps its key for the typed host (saved with the account) and tests
    // again.
    void cmdTrustCertificateClick();

    // Where the test gets the token of an account that signs in with one; not owned.
    TAccessTokenSource* Tokens = nullptr;
    // Asks the user about a certificate; the dialog unless a test replaces it.
    TTrustCertificateQuestion AskTrust = AskTrustCertificate;

    // In tab order.
    QLineEdit* txtAccount;
    QLineEdit* txtName;
    QLineEdit* txtEmail;
    TColorPicker* cmbColor;
    QCheckBox* chkActive;
    QLineEdit* txtPOPHost;
    QComboBox* cmbSecurity;
    QLabel* lblPlainWarning;  // under the security choice
    QSpinBox* sePOPPort;
    QLineEdit* txtPOPUser;
    QComboBox* cmbAuthentication;
    // The rows of each authentication; each container holds its labels.
    QWidget* pnlPassword;
    QLineEdit* txtPOPPass;
    QWidget* pnlTokenCommand;
    QLineEdit* txtTokenCommand;
    QWidget* pnlOAuth;
    QComboBox* cmbOAuthProvider;  // the presets, then "Custom" (item data: the provider id)
    QLineEdit* txtOAuthClientId;
    QLineEdit* txtOAuthClientSecret;
    QWidget* pnlOAuthEndpoints;  // for "Custom": the two endpoints and the scope
    QLineEdit* txtOAuthAuthorizationUrl;
    QLineEdit* txtOAuthTokenUrl;
    QLineEdit* txtOAuthScope;
    // Empty: where the browser sign-in puts its "Sign in…" button and its status.
    QHBoxLayout* laySignIn;
    QCheckBox* chkSecure;
    QLineEdit* txtSMTPHost;
    QSpinBox* seSMTPPort;
    QPushButton* cmdTest;
    QLabel* lblTestResult;
    QPushButton* cmdTrustCertificate;
    // How the account's new mail is announced.
    QCheckBox* chkAnnounce;
    TFileNameEdit* feAccountSound;
    QCheckBox* chkShowOnBar;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  private:
    void TestEnded(int run, const TAccountTestResult& result);
    // Stops the running test, if any; its result is no longer wanted.
    void StopTest();

    TDialogPrompts& prompts_;
    // The account's trusted certificate key, shown and read back with the account.
    TTrustedKey trustedKey_;
    std::unique_ptr<TAccountTest> test_;
    // Cancelled tests, kept until the dialog goes: their threads may still be waking up.
    std::vector<std::unique_ptr<TAccountTest>> stoppedTests_;
    int testRun_ = 0;
    std::shared_ptr<const TServerCertificate> refusedCertificate_;
};

}  // namespace quobel
