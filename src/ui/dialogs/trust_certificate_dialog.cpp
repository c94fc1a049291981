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
    setWindowTitle(QStringLiteral("Trust this certificate?"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblReason = Value(reason, this);
    lblHost = Value(Q(certificate.Host), this);
    lblSubject = Value(Q(certificate.Subject), this);
    lblIssuer = Value(Q(certificate.Issuer), this);
    lblValidity =
        Value(Q(certificate.ValidFrom) + QStringLiteral(" to ") + Q(certificate.ValidUntil), this);
    const QFont fixed(QStringLiteral("monospace"));
    lblFingerprint = Value(Q(FormatFingerprint(certificate.Fingerprint)), this);
    lblFingerprint->setFont(fixed);
    lblKey = Value(Q(FormatFingerprint(certificate.KeyPin)), this);
    lblKey->setFont(fixed);
    auto* explanation = Value(
        QStringLiteral("Compare the fingerprint with the one your provider or administrator "
                       "gives you. Trusting the certificate means: this account connects to ") +
            Q(certificate.Host) +
            QStringLiteral(" whenever the server shows this public key, whoever issued the "
                           "certificate. Should the server ever show another key, the "
                           "connection is refused."),
        this);

    cmdTrust = new QPushButton(QStringLiteral("&Trust"), this);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setDefault(true);

    auto* details = new QFormLayout;
    details->addRow(QStringLiteral("Host:"), lblHost);
    details->addRow(QStringLiteral("Subject:"), lblSubject);
    details->addRow(QStringLiteral("Issuer:"), lblIssuer);
    details->addRow(QStringLiteral("Valid:"), lblValidity);
    details->addRow(QStringLiteral("SHA-256 fingerprint:"), lblFingerprint);
    details->addRow(QStringLiteral("Public key SHA-256:"), lblKey);

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
