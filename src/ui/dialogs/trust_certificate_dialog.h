#pragma once

#include <QDialog>
#include <functional>

#include "core/server_certificate.h"

class QLabel;
class QPushButton;

namespace quobel {

// Shows a server certificate that did not verify (host, subject, issuer, validity and its
// SHA-256 fingerprints) and asks whether to trust it. Accepting means: connect to this host
// whenever it presents this public key, whoever issued the certificate and whatever name it
// is made out for.
class TTrustCertificateDialog : public QDialog {
    Q_OBJECT

  public:
    // The text is why the certificate was refused.
    TTrustCertificateDialog(const TServerCertificate& certificate, const QString& reason,
                            QWidget* parent = nullptr);

    QLabel* lblReason;
    QLabel* lblHost;
    QLabel* lblSubject;
    QLabel* lblIssuer;
    QLabel* lblValidity;
    QLabel* lblFingerprint;
    QLabel* lblKey;
    QPushButton* cmdTrust;
    QPushButton* cmdCancel;
};

// Asks through the dialog whether to trust the certificate; true when the user does.
using TTrustCertificateQuestion = std::function<bool(
    QWidget* parent, const TServerCertificate& certificate, const QString& reason)>;
// The real question: the dialog, modal.
bool AskTrustCertificate(QWidget* parent, const TServerCertificate& certificate,
                         const QString& reason);

}  // namespace quobel
