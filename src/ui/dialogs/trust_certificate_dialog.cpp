#include "ui/dialogs/trust_certificate_dialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"

namespace quobel {
namespace {

QLabel* Value(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

}  // namespace

TTrustCertificateDialog::TTrustCertificateDialog(const TServerCertificate& certificate,
                                                 const QString& reason, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmTrustCertificate"));
    setWindowTitle(tr("Trust this certificate?"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblReason = Value(reason, this);
    lblHost = Value(Q(certificate.Host), this);
    lblSubject = Value(Q(certificate.Subject), this);
    lblIssuer = Value(Q(certificate.Issuer), this);
    lblValidity =
        Value(tr("%1 to %2").arg(Q(certificate.ValidFrom), Q(certificate.ValidUntil)), this);
    const QFont fixed(QStringLiteral("monospace"));
    lblFingerprint = Value(Q(FormatFingerprint(certificate.Fingerprint)), this);
    lblFingerprint->setFont(fixed);
    lblKey = Value(Q(FormatFingerprint(certificate.KeyPin)), this);
    lblKey->setFont(fixed);
    auto* explanation =
        Value(tr("Compare the fingerprint with the one your provider or administrator "
                 "gives you. Trusting the certificate means: this account connects to %1 "
                 "whenever the server shows this public key, whoever issued the "
                 "certificate. Should the server ever show another key, the "
                 "connection is refused.")
                  .arg(Q(certificate.Host)),
              this);

    cmdTrust = new QPushButton(tr("&Trust"), this);
    cmdCancel = new QPushButton(tr("&Cancel"), this);
    cmdCancel->setDefault(true);

    auto* details = new QFormLayout;
    details->addRow(tr("Host:"), lblHost);
    details->addRow(tr("Subject:"), lblSubject);
    details->addRow(tr("Issuer:"), lblIssuer);
    details->addRow(tr("Valid:"), lblValidity);
    details->addRow(tr("SHA-256 fingerprint:"), lblFingerprint);
    details->addRow(tr("Public key SHA-256:"), lblKey);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdTrust);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblReason);
    layout->addLayout(details);
    layout->addWidget(explanation);
    layout->addLayout(buttons);
    setMinimumWidth(520);

    connect(cmdTrust, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool AskTrustCertificate(QWidget* parent, const TServerCertificate& certificate,
                         const QString& reason) {
    TTrustCertificateDialog dialog(certificate, reason, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quobel
