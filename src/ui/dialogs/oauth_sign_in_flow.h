#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

#include "accounts/account.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTcpServer;
class QTcpSocket;

namespace quobel {

class TOAuthTokenSource;
class UrlOpener;

// One OAuth 2.0 sign-in for native applications (RFC 8252) with PKCE (RFC 7636): the desktop's
// browser is sent to the provider, whose answer comes back to a listener on the loopback
// address; the code is exchanged for tokens and the refresh token goes to the keyring. Runs on
// the user-interface thread without blocking it; Cancel ends it at any moment.
class TOAuthSignInFlow : public QObject {
    Q_OBJECT
  public:
    TOAuthSignInFlow(TOAuthTokenSource& tokens, UrlOpener& opener, QObject* parent = nullptr);
    ~TOAuthSignInFlow() override;

    // Starts the sign-in for the account as it is set up (its provider, client ID and secret).
    // A sign-in still running is cancelled first. Ends with Finished, also when it cannot start.
    void Start(const TAccount& account);
    void Cancel();
    bool Running() const { return running_; }

    // How long the browser may take; the user has to sign in within it.
    std::chrono::milliseconds TimeOut = std::chrono::minutes(5);

    // The redirect address of the running sign-in, for tests.
    const std::string& RedirectUri() const { return redirectUri_; }

  signals:
    // The browser was sent to the provider; the sign-in waits for its answer.
    void WaitingForBrowser();
    // The browser came back: the code is being exchanged.
    void Exchanging();
    // Signed in (ok) or not, with the reason in the user's language.
    void Finished(bool ok, const QString& message);

  private:
    void OnConnection();
    void OnRequestData(QTcpSocket* socket);
    void Answer(QTcpSocket* socket, int status, const QString& heading, const QString& text);
    void Exchange(const std::string& code);
    void OnExchanged();
    void Finish(bool ok, const QString& message);
    void StopListening();

    TOAuthTokenSource& tokens_;
    UrlOpener& opener_;
    TAccount account_;
    bool running_ = false;
    std::string redirectUri_;
    std::string verifier_;
    std::string state_;
    std::unique_ptr<QTcpServer> listener_;
    std::unique_ptr<QTcpServer> listener6_;
    std::unique_ptr<QNetworkAccessManager> network_;
    QPointer<QNetworkReply> reply_;
    QTimer timer_;
};

}  // namespace quobel
