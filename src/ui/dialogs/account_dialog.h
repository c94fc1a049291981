#pragma once

#include <QDialog>
#include <cstdint>

#include "accounts/account.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quobel {

class TColorPicker;
class TDialogPrompts;

// The dialog in which one account is entered or edited. It holds no account: the accounts page
// shows one in it and reads it back after OK.
class TfrmAccount : public QDialog {
    Q_OBJECT

  public:
    // Entries of cmbSecurity, in this order.
    static constexpr int kSecurityNone = 0;
    static constexpr int kSecurityStartTls = 1;
    static constexpr int kSecurityTls = 2;

    explicit TfrmAccount(TDialogPrompts& prompts, QWidget* parent = nullptr);

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

    // The user picked an entry of the colour list: "Custom..." opens the colour chooser.
    void cmbColorChange(int index);
    // The user picked a security choice: the port follows between 110 and 995.
    void cmbSecurityChange(int index);
    // Shows lblPlainWarning while the password would go unencrypted to a host that is not on
    // this machine's loopback network.
    void UpdatePlainWarning();
    // Checks the required fields in order; the first empty one is reported and focused.
    void cmdOKClick();

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
    QLineEdit* txtPOPPass;
    QCheckBox* chkSecure;
    QLineEdit* txtSMTPHost;
    QSpinBox* seSMTPPort;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  private:
    TDialogPrompts& prompts_;
};

}  // namespace quobel
