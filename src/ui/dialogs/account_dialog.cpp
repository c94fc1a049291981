#include "ui/dialogs/account_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "accounts/account.h"
#include "accounts/oauth_providers.h"
#include "ui/common/help_key.h"
#include "ui/common/lower_texts.h"
#include "ui/common/qt_text.h"
#include "ui/dialogs/color_picker.h"
#include "ui/dialogs/options_file_edit.h"
#include "ui/dialogs/options_prompts.h"

namespace quobel {
namespace {

constexpr int kPlainPort = 110;
constexpr int kTlsPort = 995;

// The dark strip along the dialog's left side.
class TAccountBanner : public QFrame {
  public:
    explicit TAccountBanner(QWidget* parent) : QFrame(parent) { setFixedWidth(64); }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QLinearGradient gradient(rect().topLeft(), rect().bottomLeft());
        gradient.setColorAt(0, QColor(0x20, 0x28, 0x38));
        gradient.setColorAt(1, QColor(0x08, 0x0c, 0x14));
        painter.fillRect(rect(), gradient);
        // An envelope near the top.
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0xd0, 0xd8, 0xe8), 2));
        const QRectF envelope(14, 20, width() - 28, 26);
        painter.drawRect(envelope);
        painter.drawLine(envelope.topLeft(), envelope.center());
        painter.drawLine(envelope.topRight(), envelope.center());
    }
};

// A host on this machine: "localhost" (and names below it) or a loopback address.
bool IsLoopbackHost(const QString& typed) {
    const QString host = typed.trimmed().toLower();
    if (host == QStringLiteral("localhost") || host.endsWith(QStringLiteral(".localhost"))) {
        return true;
    }
    QString address = host;
    if (address.startsWith('[') && address.endsWith(']')) {
        address = address.mid(1, address.size() - 2);
    }
    const QHostAddress parsed(address);
    return !parsed.isNull() && parsed.isLoopback();
}

QSpinBox* UnboundedSpinBox(QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(INT_MIN, INT_MAX);
    return box;
}

// Bold group caption, normal contents.
QGroupBox* CaptionGroup(const QString& caption, QWidget* parent) {
    auto* group = new QGroupBox(caption, parent);
    QFont bold = parent->font();
    bold.setBold(true);
    group->setFont(bold);
    return group;
}

void UseFont(QWidget* group, const QFont& font) {
    for (QWidget* child : group->findChildren<QWidget*>()) {
        child->setFont(font);
    }
}

}  // namespace

TfrmAccount::TfrmAccount(TDialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(tr("Account Settings"));
    setProperty("helpContext", 4);
    SetHelpSection(*this, "account");
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    txtAccount = new QLineEdit(this);
    txtName = new QLineEdit(this);
    txtEmail = new QLineEdit(this);
    cmbColor = new TColorPicker(this);
    chkActive = new QCheckBox(tr("&Include account in synchronization"), this);
    chkActive->setChecked(true);

    QGroupBox* popGroup = CaptionGroup(tr("POP3 (incoming mail) "), this);
    txtPOPHost = new QLineEdit(popGroup);
    cmbSecurity = new QComboBox(popGroup);
    cmbSecurity->addItems({tr("None"), QStringLiteral("STARTTLS"), QStringLiteral("SSL/TLS")});
    // A new account starts encrypted from the first byte.
    cmbSecurity->setCurrentIndex(kSecurityTls);
    lblPlainWarning = new QLabel(tr("The password will be sent unencrypted."), popGroup);
    lblPlainWarning->setVisible(false);
    sePOPPort = UnboundedSpinBox(popGroup);
    sePOPPort->setValue(kTlsPort);
    txtPOPUser = new QLineEdit(popGroup);
    txtPOPPass = new QLineEdit(popGroup);
    txtPOPPass->setEchoMode(QLineEdit::Password);
    txtPOPPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    cmbAuthentication = new QComboBox(popGroup);
    cmbAuthentication->addItems({tr("Password"), tr("OAuth 2.0"), tr("Token command")});
    pnlPassword = new QWidget(popGroup);
    txtPOPPass = new QLineEdit(pnlPassword);
    txtPOPPass->setEchoMode(QLineEdit::Password);
    txtPOPPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    pnlTokenCommand = new QWidget(popGroup);
    txtTokenCommand = new QLineEdit(pnlTokenCommand);
    txtTokenCommand->setPlaceholderText(tr("a command that prints the access token"));
    pnlOAuth = new QWidget(popGroup);
    cmbOAuthProvider = new QComboBox(pnlOAuth);
    for (const TOAuthProvider& provider : OAuthProviderPresets()) {
        cmbOAuthProvider->addItem(
            QString::fromUtf8(provider.Name.data(), static_cast<qsizetype>(provider.Name.size())),
            QString::fromUtf8(provider.Id.data(), static_cast<qsizetype>(provider.Id.size())));
    }
    cmbOAuthProvider->addItem(
        tr("Custom"), QString::fromUtf8(kCustomOAuthProvider.data(), kCustomOAuthProvider.size()));
    txtOAuthClientId = new QLineEdit(pnlOAuth);
    txtOAuthClientSecret = new QLineEdit(pnlOAuth);
    txtOAuthClientSecret->setEchoMode(QLineEdit::Password);
    txtOAuthClientSecret->setPlaceholderText(tr("(only where the provider demands one)"));
    pnlOAuthEndpoints = new QWidget(pnlOAuth);
    txtOAuthAuthorizationUrl = new QLineEdit(pnlOAuthEndpoints);
    txtOAuthTokenUrl = new QLineEdit(pnlOAuthEndpoints);
    txtOAuthScope = new QLineEdit(pnlOAuthEndpoints);
    laySignIn = new QHBoxLayout;
    laySignIn->setObjectName(QStringLiteral("laySignIn"));
    chkSecure = new QCheckBox(tr("&Secure POP (unsupported by most servers)"), popGroup);

    QGroupBox* smtpGroup = CaptionGroup(tr(" SMTP (outgoing mail) "), this);
    txtSMTPHost = new QLineEdit(smtpGroup);
    seSMTPPort = UnboundedSpinBox(smtpGroup);
    seSMTPPort->setValue(25);

    cmdTest = new QPushButton(tr("&Test"), popGroup);
    cmdTest->setAutoDefault(false);
    lblTestResult = new QLabel(popGroup);
    lblTestResult->setObjectName(QStringLiteral("lblTestResult"));
    lblTestResult->setWordWrap(true);
    lblTestResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdTrustCertificate = new QPushButton(tr("Trust this certificate\u2026"), popGroup);
    cmdTrustCertificate->setAutoDefault(false);
    cmdTrustCertificate->hide();
    QGroupBox* announceGroup = CaptionGroup(tr(" New mail "), this);
    chkAnnounce = new QCheckBox(tr("A&nnounce new mail of this account (notification and sound)"),
                                announceGroup);
    chkAnnounce->setChecked(true);
    feAccountSound = new TFileNameEdit(prompts_, tr("Select sound file"),
                                       tr("Sound files (*.wav);;All files (*)"), announceGroup);
    feAccountSound->Edit()->setPlaceholderText(tr("(the sound of the options)"));
    chkShowOnBar = new QCheckBox(tr("Show its mail on the &bar"), announceGroup);
    chkShowOnBar->setChecked(true);

    cmdOK = new QPushButton(tr("&OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(tr("&Cancel"), this);

    // Layout.
    auto* identity = new QFormLayout;
    identity->addRow(tr("Account name:"), txtAccount);
    identity->addRow(tr("Name:"), txtName);
    identity->addRow(tr("Email:"), txtEmail);
    identity->addRow(tr("Text color:"), cmbColor);
    identity->addRow(QString(), chkActive);

    auto* pop = new QGridLayout(popGroup);
    pop->addWidget(new QLabel(tr("Host:"), popGroup), 0, 0);
    pop->addWidget(txtPOPHost, 0, 1, 1, 3);
    pop->addWidget(new QLabel(tr("Security:"), popGroup), 1, 0);
    pop->addWidget(cmbSecurity, 1, 1);
    pop->addWidget(new QLabel(tr("Port:"), popGroup), 1, 2);
    pop->addWidget(sePOPPort, 1, 3);
    pop->addWidget(lblPlainWarning, 2, 1, 1, 3);
    pop->addWidget(new QLabel(tr("Username:"), popGroup), 3, 0);
    pop->addWidget(txtPOPUser, 3, 1, 1, 3);
    pop->addWidget(new QLabel(tr("Authentication:"), popGroup), 4, 0);
    pop->addWidget(cmbAuthentication, 4, 1, 1, 3);
    // Each choice's rows in a panel of their own spanning the grid, so that hiding the panel
    // takes the whole row away; its labels line up with the grid's through a shared width.
    auto* password = new QFormLayout(pnlPassword);
    password->setContentsMargins(0, 0, 0, 0);
    password->addRow(tr("Password:"), txtPOPPass);
    pop->addWidget(pnlPassword, 5, 0, 1, 4);
    auto* command = new QFormLayout(pnlTokenCommand);
    command->setContentsMargins(0, 0, 0, 0);
    command->addRow(tr("Command:"), txtTokenCommand);
    pop->addWidget(pnlTokenCommand, 6, 0, 1, 4);
    auto* endpoints = new QFormLayout(pnlOAuthEndpoints);
    endpoints->setContentsMargins(0, 0, 0, 0);
    endpoints->addRow(tr("Authorization URL:"), txtOAuthAuthorizationUrl);
    endpoints->addRow(tr("Token URL:"), txtOAuthTokenUrl);
    endpoints->addRow(tr("Scope:"), txtOAuthScope);
    auto* oauth = new QFormLayout(pnlOAuth);
    oauth->setContentsMargins(0, 0, 0, 0);
    oauth->addRow(tr("Provider:"), cmbOAuthProvider);
    oauth->addRow(tr("Client ID:"), txtOAuthClientId);
    oauth->addRow(tr("Client secret:"), txtOAuthClientSecret);
    oauth->addRow(pnlOAuthEndpoints);
    oauth->addRow(laySignIn);
    pop->addWidget(pnlOAuth, 7, 0, 1, 4);
    pop->addWidget(chkSecure, 8, 0, 1, 4);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(cmdTest);
    testRow->addWidget(lblTestResult, 1);
    pop->addLayout(testRow, 9, 0, 1, 4);
    pop->addWidget(cmdTrustCertificate, 10, 0, 1, 4, Qt::AlignLeft);
    UseFont(popGroup, font());

    auto* smtp = new QGridLayout(smtpGroup);
    smtp->addWidget(new QLabel(tr("Host:"), smtpGroup), 0, 0);
    smtp->addWidget(txtSMTPHost, 0, 1);
    smtp->addWidget(new QLabel(tr("Port:"), smtpGroup), 0, 2);
    smtp->addWidget(seSMTPPort, 0, 3);
    smtp->setColumnStretch(1, 1);
    UseFont(smtpGroup, font());

    auto* announce = new QGridLayout(announceGroup);
    announce->addWidget(chkAnnounce, 0, 0, 1, 2);
    announce->addWidget(new QLabel(tr("Sound:"), announceGroup), 1, 0);
    announce->addWidget(feAccountSound, 1, 1);
    announce->addWidget(chkShowOnBar, 2, 0, 1, 2);
    announce->setColumnStretch(1, 1);
    UseFont(announceGroup, font());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* fields = new QVBoxLayout;
    fields->addLayout(identity);
    fields->addWidget(popGroup);
    fields->addWidget(smtpGroup);
    fields->addWidget(announceGroup);
    fields->addLayout(buttons);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 8, 8);
    outer->addWidget(new TAccountBanner(this));
    outer->addLayout(fields);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    fields->setContentsMargins(0, 8, 0, 0);
    txtAccount->setMinimumWidth(220);

    QWidget::setTabOrder(txtAccount, txtName);
    QWidget::setTabOrder(txtName, txtEmail);
    QWidget::setTabOrder(txtEmail, cmbColor);
    QWidget::setTabOrder(cmbColor, chkActive);
    QWidget::setTabOrder(chkActive, txtPOPHost);
    QWidget::setTabOrder(txtPOPHost, cmbSecurity);
    QWidget::setTabOrder(cmbSecurity, sePOPPort);
    QWidget::setTabOrder(sePOPPort, txtPOPUser);
    QWidget::setTabOrder(txtPOPUser, cmbAuthentication);
    QWidget::setTabOrder(cmbAuthentication, txtPOPPass);
    QWidget::setTabOrder(txtPOPPass, txtTokenCommand);
    QWidget::setTabOrder(txtTokenCommand, cmbOAuthProvider);
    QWidget::setTabOrder(cmbOAuthProvider, txtOAuthClientId);
    QWidget::setTabOrder(txtOAuthClientId, txtOAuthClientSecret);
    QWidget::setTabOrder(txtOAuthClientSecret, txtOAuthAuthorizationUrl);
    QWidget::setTabOrder(txtOAuthAuthorizationUrl, txtOAuthTokenUrl);
    QWidget::setTabOrder(txtOAuthTokenUrl, txtOAuthScope);
    QWidget::setTabOrder(txtOAuthScope, chkSecure);
    QWidget::setTabOrder(chkSecure, cmdTest);
    QWidget::setTabOrder(cmdTest, cmdTrustCertificate);
    QWidget::setTabOrder(cmdTrustCertificate, txtSMTPHost);
    QWidget::setTabOrder(txtSMTPHost, seSMTPPort);
    QWidget::setTabOrder(seSMTPPort, chkAnnounce);
    QWidget::setTabOrder(chkAnnounce, feAccountSound->Edit());
    QWidget::setTabOrder(feAccountSound->Edit(), feAccountSound->BrowseButton());
    QWidget::setTabOrder(feAccountSound->BrowseButton(), chkShowOnBar);
    QWidget::setTabOrder(chkShowOnBar, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdCancel);

    // Only the user's picks count: filling the dialog must neither open the colour chooser nor
    // move the port.
    connect(cmbColor, &QComboBox::activated, this, &TfrmAccount::cmbColorChange);
    connect(cmbSecurity, &QComboBox::activated, this, &TfrmAccount::cmbSecurityChange);
    // The warning follows every change, also the dialog being filled from an account.
    connect(cmbSecurity, &QComboBox::currentIndexChanged, this, &TfrmAccount::UpdatePlainWarning);
    connect(txtPOPHost, &QLineEdit::textChanged, this, &TfrmAccount::UpdatePlainWarning);
    connect(cmbAuthentication, &QComboBox::currentIndexChanged, this,
            &TfrmAccount::UpdateAuthenticationRows);
    connect(cmbOAuthProvider, &QComboBox::currentIndexChanged, this,
            &TfrmAccount::UpdateAuthenticationRows);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmAccount::cmdOKClick);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdTest, &QPushButton::clicked, this, &TfrmAccount::cmdTestClick);
    connect(cmdTrustCertificate, &QPushButton::clicked, this,
            &TfrmAccount::cmdTrustCertificateClick);
    UpdateAuthenticationRows();
}

TfrmAccount::~TfrmAccount() {
    // The test threads end while the dialog can still take their (ignored) results.
    StopTest();
    stoppedTests_.clear();
}

void TfrmAccount::cmdTestClick() {
    if (TestRunning()) {
        StopTest();
        lblTestResult->setText(tr("Test cancelled."));
        return;
    }
    TAccount typed;
    ReadAccount(typed);
    refusedCertificate_.reset();
    cmdTrustCertificate->hide();
    lblTestResult->setText(tr("Connecting to %1...").arg(Q(typed.POP.Host)));
    cmdTest->setText(tr("Cancel &test"));
    const int run = ++testRun_;
    const QPointer<TfrmAccount> self(this);
    test_ = std::make_unique<TAccountTest>(
        typed,
        [self, run](const TAccountTestResult& result) {
            // On the test's thread: the dialog takes the result on its own.
            QMetaObject::invokeMethod(
                self.data(),
                [self, run, result] {
                    if (self) {
                        self->TestEnded(run, result);
                    }
                },
                Qt::QueuedConnection);
        },
        std::function<void(TQBPOP3&)>(), Tokens);
}

void TfrmAccount::StopTest() {
    if (test_) {
        test_->Cancel();
        stoppedTests_.push_back(std::move(test_));
    }
    cmdTest->setText(tr("&Test"));
}

void TfrmAccount::TestEnded(int run, const TAccountTestResult& result) {
    if (run != testRun_ || !test_) {
        return;  // cancelled, or an earlier test
    }
    // Its thread is past the result: joining it now does not wait.
    test_.reset();
    cmdTest->setText(tr("&Test"));
    lblTestResult->setText(ShownText(AccountTestSentence(result)));
    refusedCertificate_ = result.Certificate;
    cmdTrustCertificate->setVisible(refusedCertificate_ != nullptr);
}

void TfrmAccount::cmdTrustCertificateClick() {
    if (!refusedCertificate_) {
        return;
    }
    const std::shared_ptr<const TServerCertificate> certificate = refusedCertificate_;
    if (!AskTrust(this, *certificate, lblTestResult->text())) {
        return;
    }
    trustedKey_ = {certificate->Host, certificate->KeyPin};
    cmdTestClick();
}

void TfrmAccount::SetAccountColor(uint32_t color) {
    for (int i = 0; i < TColorPicker::kCustomIndex; ++i) {
        if (cmbColor->EntryColor(i) == color) {
            cmbColor->setCurrentIndex(i);
            return;
        }
    }
    cmbColor->SetCustomColor(color);
    cmbColor->setCurrentIndex(TColorPicker::kCustomIndex);
}

uint32_t TfrmAccount::AccountColor() const {
    return cmbColor->EntryColor(cmbColor->currentIndex());
}

void TfrmAccount::SetSecurity(TPOPSecurity security) {
    switch (security) {
        case TPOPSecurity::StartTls:
            cmbSecurity->setCurrentIndex(kSecurityStartTls);
            break;
        case TPOPSecurity::Tls:
            cmbSecurity->setCurrentIndex(kSecurityTls);
            break;
        case TPOPSecurity::None:
            cmbSecurity->setCurrentIndex(kSecurityNone);
            break;
    }
}

TPOPSecurity TfrmAccount::Security() const {
    switch (cmbSecurity->currentIndex()) {
        case kSecurityStartTls:
            return TPOPSecurity::StartTls;
        case kSecurityTls:
            return TPOPSecurity::Tls;
        default:
            return TPOPSecurity::None;
    }
}

void TfrmAccount::SetAuthentication(TAuthentication authentication) {
    switch (authentication) {
        case TAuthentication::OAuth2:
            cmbAuthentication->setCurrentIndex(kAuthenticationOAuth2);
            break;
        case TAuthentication::TokenCommand:
            cmbAuthentication->setCurrentIndex(kAuthenticationTokenCommand);
            break;
        case TAuthentication::Password:
            cmbAuthentication->setCurrentIndex(kAuthenticationPassword);
            break;
    }
}

TAuthentication TfrmAccount::Authentication() const {
    switch (cmbAuthentication->currentIndex()) {
        case kAuthenticationOAuth2:
            return TAuthentication::OAuth2;
        case kAuthenticationTokenCommand:
            return TAuthentication::TokenCommand;
        default:
            return TAuthentication::Password;
    }
}

void TfrmAccount::SetOAuthProvider(const std::string& id) {
    // A new account starts with the first preset.
    const QString wanted = id.empty() ? cmbOAuthProvider->itemData(0).toString() : Q(id);
    int index = cmbOAuthProvider->findData(wanted);
    if (index < 0) {
        // A provider this version does not know keeps its id, shown with its own endpoints.
        cmbOAuthProvider->addItem(wanted, wanted);
        index = cmbOAuthProvider->count() - 1;
    }
    cmbOAuthProvider->setCurrentIndex(index);
}

std::string TfrmAccount::OAuthProvider() const {
    return cmbOAuthProvider->currentData().toString().toStdString();
}

void TfrmAccount::UpdateAuthenticationRows() {
    const TAuthentication authentication = Authentication();
    pnlPassword->setVisible(authentication == TAuthentication::Password);
    chkSecure->setVisible(authentication == TAuthentication::Password);
    pnlTokenCommand->setVisible(authentication == TAuthentication::TokenCommand);
    pnlOAuth->setVisible(authentication == TAuthentication::OAuth2);
    pnlOAuthEndpoints->setVisible(FindOAuthProvider(OAuthProvider()) == nullptr);
}

void TfrmAccount::cmbColorChange(int index) {
    if (cmbColor->itemText(index) != cmbColor->itemText(cmbColor->count() - 1)) {
        return;
    }
    QColor color = ColorToQColor(cmbColor->CustomColor());
    if (prompts_.ChooseColor(this, color)) {
        cmbColor->SetCustomColor(QColorToColor(color));
    }
}

void TfrmAccount::cmbSecurityChange(int index) {
    if (index == kSecurityTls && sePOPPort->value() == kPlainPort) {
        sePOPPort->setValue(kTlsPort);
    } else if (index != kSecurityTls && sePOPPort->value() == kTlsPort) {
        sePOPPort->setValue(kPlainPort);
    }
}

void TfrmAccount::UpdatePlainWarning() {
    lblPlainWarning->setVisible(cmbSecurity->currentIndex() == kSecurityNone &&
                                !txtPOPHost->text().trimmed().isEmpty() &&
                                !IsLoopbackHost(txtPOPHost->text()));
}

void TfrmAccount::cmdOKClick() {
    const struct {
        QLineEdit* Field;
        const char* Message;
    } required[] = {
        {txtAccount, QT_TR_NOOP("Please enter a name for this account!")},
        {txtName, QT_TR_NOOP("Please enter your name!")},
        {txtEmail, QT_TR_NOOP("Please enter your email address!")},
        {txtPOPHost, QT_TR_NOOP("Please enter your incoming mail host!")},
        {txtSMTPHost, QT_TR_NOOP("Please enter your outgoing mail host!")},
    };
    for (const auto& check : required) {
        if (check.Field->text().isEmpty()) {
            prompts_.ShowError(this, tr("Error"), tr(check.Message));
            check.Field->setFocus();
            return;
        }
    }
    // What the chosen way of signing in cannot do without.
    const TAuthentication authentication = Authentication();
    const bool custom = FindOAuthProvider(OAuthProvider()) == nullptr;
    const struct {
        bool Needed;
        QLineEdit* Field;
        const char* Message;
    } needed[] = {
        {authentication == TAuthentication::TokenCommand, txtTokenCommand,
         QT_TR_NOOP("Please enter the command that prints the access token!")},
        {authentication == TAuthentication::OAuth2, txtOAuthClientId,
         QT_TR_NOOP("Please enter the client ID of your application!")},
        {authentication == TAuthentication::OAuth2 && custom, txtOAuthAuthorizationUrl,
         QT_TR_NOOP("Please enter the provider's authorization URL!")},
        {authentication == TAuthentication::OAuth2 && custom, txtOAuthTokenUrl,
         QT_TR_NOOP("Please enter the provider's token URL!")},
    };
    for (const auto& check : needed) {
        if (check.Needed && check.Field->text().trimmed().isEmpty()) {
            prompts_.ShowError(this, tr("Error"), tr(check.Message));
            check.Field->setFocus();
            return;
        }
    }
    accept();
}

void TfrmAccount::ShowAccount(const TAccount& account) {
    txtAccount->setText(Q(account.Name));
    txtName->setText(Q(account.From.Name));
    txtEmail->setText(Q(account.From.Email));
    SetAccountColor(account.SkinColor);
    chkActive->setChecked(account.Synchronize);
    txtPOPHost->setText(Q(account.POP.Host));
    SetSecurity(account.POP.TLS);
    sePOPPort->setValue(account.POP.Port);
    txtPOPUser->setText(Q(account.POP.Username));
    txtPOPPass->setText(Q(account.POP.Password));
    chkSecure->setChecked(account.POP.Secure);
    txtTokenCommand->setText(Q(account.POP.TokenCommand));
    SetOAuthProvider(account.POP.OAuth.Provider);
    txtOAuthClientId->setText(Q(account.POP.OAuth.ClientId));
    txtOAuthClientSecret->setText(Q(account.POP.OAuth.ClientSecret));
    txtOAuthAuthorizationUrl->setText(Q(account.POP.OAuth.AuthorizationUrl));
    txtOAuthTokenUrl->setText(Q(account.POP.OAuth.TokenUrl));
    txtOAuthScope->setText(Q(account.POP.OAuth.Scope));
    SetAuthentication(account.POP.Authentication);
    UpdateAuthenticationRows();
    txtSMTPHost->setText(Q(account.SMTP.Host));
    seSMTPPort->setValue(account.SMTP.Port);
    trustedKey_ = account.TrustedKey;
    chkAnnounce->setChecked(account.Announce);
    feAccountSound->SetFileName(Q(account.SoundFile));
    chkShowOnBar->setChecked(account.ShowOnBar);
}

void TfrmAccount::ReadAccount(TAccount& account) const {
    account.Name = txtAccount->text().toStdString();
    account.From.Name = txtName->text().toStdString();
    account.From.Email = txtEmail->text().toStdString();
    account.SkinColor = AccountColor();
    account.Synchronize = chkActive->isChecked();
    account.POP.Host = txtPOPHost->text().toStdString();
    account.POP.TLS = Security();
    account.POP.Port = sePOPPort->value();
    account.POP.Username = txtPOPUser->text().toStdString();
    account.POP.Password = txtPOPPass->text().toStdString();
    if (!account.POP.Password.empty()) {
        // A new password replaces one that could not be read from the file.
        account.UnreadableStoredPassword.clear();
    }
    account.POP.Secure = chkSecure->isChecked();
    account.POP.Authentication = Authentication();
    account.POP.TokenCommand = txtTokenCommand->text().trimmed().toStdString();
    account.POP.OAuth.ClientId = txtOAuthClientId->text().trimmed().toStdString();
    // The provider list always has a choice: it counts once the account uses OAuth 2.0 or was
    // set up for it, so that a password account's file gains nothing.
    const bool oauthSetUp = account.POP.Authentication == TAuthentication::OAuth2 ||
                            !account.POP.OAuth.ClientId.empty();
    account.POP.OAuth.Provider = oauthSetUp ? OAuthProvider() : std::string();
    account.POP.OAuth.ClientSecret = txtOAuthClientSecret->text().trimmed().toStdString();
    account.POP.OAuth.AuthorizationUrl = txtOAuthAuthorizationUrl->text().trimmed().toStdString();
    account.POP.OAuth.TokenUrl = txtOAuthTokenUrl->text().trimmed().toStdString();
    account.POP.OAuth.Scope = txtOAuthScope->text().trimmed().toStdString();
    account.SMTP.Host = txtSMTPHost->text().toStdString();
    account.SMTP.Port = seSMTPPort->value();
    account.TrustedKey = trustedKey_;
    account.Announce = chkAnnounce->isChecked();
    account.SoundFile = feAccountSound->FileName().toStdString();
    account.ShowOnBar = chkShowOnBar->isChecked();
}

}  // namespace quobel
