#include "ui/dialogs/oauth_sign_in_flow.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QTcpSocket>

#include "accounts/oauth_providers.h"
#include "core/error.h"
#include "platform/oauth_pkce.h"
#include "platform/oauth_protocol.h"
#include "platform/url_opener.h"
#include "retrieval/oauth_token_source.h"
#include "ui/common/lower_texts.h"
#include "ui/common/qt_form_poster.h"

namespace quobel {
namespace {

// A browser's request line and headers; anything longer is no redirect of ours.
constexpr qsizetype kMaxRequest = 16 * 1024;
constexpr std::chrono::seconds kExchangeTimeOut{30};

// Microsoft's registrations name the loopback redirect "http://localhost" (and then accept any
// port); the others take the address itself, as RFC 8252 recommends.
bool RedirectsToLocalhostName(const TOAuthSettings& settings) {
    return settings.Provider == "microsoft";
}

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

}  // namespace

TOAuthSignInFlow::TOAuthSignInFlow(TOAuthTokenSource& tokens, UrlOpener& opener, QObject* parent)
    : QObject(parent), tokens_(tokens), opener_(opener) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        Finish(false, tr("The browser did not come back in time: the sign-in was given up."));
    });
}

TOAuthSignInFlow::~TOAuthSignInFlow() {
    // No signal from a half-destroyed object.
    blockSignals(true);
    Cancel();
}

void TOAuthSignInFlow::Start(const TAccount& account) {
    Cancel();
    account_ = account;
    running_ = true;
    const TOAuthEndpoints endpoints = OAuthEndpointsOf(account.POP.OAuth);
    if (account.POP.OAuth.ClientId.empty()) {
        Finish(false, tr("Enter the client ID of the application registered with the provider "
                         "first."));
        return;
    }
    if (endpoints.NeedsClientSecret && account.POP.OAuth.ClientSecret.empty()) {
        Finish(false, tr("This provider also needs the client secret of the registered "
                         "application."));
        return;
    }
    if (endpoints.AuthorizationUrl.empty() || endpoints.TokenUrl.empty()) {
        Finish(false, tr("Enter the provider's authorization and token addresses first."));
        return;
    }

    listener_ = std::make_unique<QTcpServer>();
    if (!listener_->listen(QHostAddress::LocalHost, 0)) {
        Finish(false, tr("No port on the loopback address could be opened for the browser's "
                         "answer: %1")
                          .arg(listener_->errorString()));
        return;
    }
    connect(listener_.get(), &QTcpServer::newConnection, this, &TOAuthSignInFlow::OnConnection);
    const quint16 port = listener_->serverPort();
    const bool byName = RedirectsToLocalhostName(account.POP.OAuth);
    if (byName) {
        // "localhost" may resolve to the IPv6 loopback first: listen there too where there is one.
        listener6_ = std::make_unique<QTcpServer>();
        if (listener6_->listen(QHostAddress::LocalHostIPv6, port)) {
            connect(listener6_.get(), &QTcpServer::newConnection, this,
                    &TOAuthSignInFlow::OnConnection);
        } else {
            listener6_.reset();
        }
    }
    redirectUri_ = std::string(byName ? "http://localhost:" : "http://127.0.0.1:") +
                   std::to_string(port) + "/";

    try {
        const TOAuthPkce pkce = MakeOAuthPkce();
        verifier_ = pkce.Verifier;
        state_ = MakeOAuthState();
        TOAuthAuthorizationRequest request;
        request.AuthorizationUrl = endpoints.AuthorizationUrl;
        request.Scope = endpoints.Scope;
        request.RedirectUri = redirectUri_;
        request.CodeChallenge = pkce.Challenge;
        request.State = state_;
        request.LoginHint = account.POP.Username;
        const TOAuthClient client{account.POP.OAuth.ClientId, account.POP.OAuth.ClientSecret};
        timer_.start(TimeOut);
        emit WaitingForBrowser();
        opener_.OpenUrl(OAuthAuthorizationUrl(client, request));
    } catch (const Error& error) {
        Finish(false, ShownText(error.what()));
    }
}

void TOAuthSignInFlow::Cancel() {
    if (running_) {
        Finish(false, tr("The sign-in was cancelled."));
    }
}

void TOAuthSignInFlow::OnConnection() {
    for (QTcpServer* server : {listener_.get(), listener6_.get()}) {
        while (server != nullptr && server->hasPendingConnections()) {
            QTcpSocket* socket = server->nextPendingConnection();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket] { OnRequestData(socket); });
        }
    }
}

void TOAuthSignInFlow::OnRequestData(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (request.size() > kMaxRequest) {
        Answer(socket, 400, tr("Sign-in failed"), tr("The request was too long."));
        return;
    }
    const qsizetype endOfLine = request.indexOf("\r\n");
    if (endOfLine < 0 || !request.contains("\r\n\r\n")) {
        return;  // more to come
    }
    const QList<QByteArray> words = request.left(endOfLine).split(' ');
    if (words.size() != 3 || words[0] != "GET") {
        Answer(socket, 400, tr("Sign-in failed"),
               tr("This address only takes the browser's "
                  "answer from the mail provider."));
        return;
    }
    const std::optional<TOAuthRedirect> redirect =
        running_ && reply_ == nullptr ? ParseOAuthRedirectTarget(words[1].toStdString())
                                      : std::nullopt;
    if (!redirect) {
        // The browser's own asides (an icon), or an answer after the sign-in ended.
        Answer(socket, 404, tr("Not found"), tr("There is nothing here."));
        return;
    }
    if (redirect->State != state_) {
        Answer(socket, 400, tr("Sign-in failed"),
               tr("This answer does not belong to the sign-in Quobel started. Return to "
                  "Quobel and sign in again."));
        Finish(false, tr("The browser's answer did not belong to this sign-in (the state "
                         "parameter differed): nothing was kept."));
        return;
    }
    if (!redirect->Error.empty()) {
        Answer(socket, 200, tr("Sign-in refused"),
               tr("The sign-in was not completed. You can close this page and return to "
                  "Quobel."));
        QString reason = redirect->Error == "access_denied"
                             ? tr("The access was refused at the provider.")
                             : tr("The provider ended the sign-in: %1")
                                   .arg(QString::fromStdString(redirect->Error));
        if (!redirect->ErrorDescription.empty()) {
            reason +=
                QStringLiteral(" (%1)").arg(QString::fromStdString(redirect->ErrorDescription));
        }
        Finish(false, reason);
        return;
    }
    Answer(socket, 200, tr("Signed in"),
           tr("The browser's part is done. You can close this page and return to Quobel."));
    Exchange(redirect->Code);
}

void TOAuthSignInFlow::Answer(QTcpSocket* socket, int status, const QString& heading,
                              const QString& text) {
    const QByteArray page =
        QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Quobel: %1"
            "</title></head><body style=\"font-family: sans-serif; margin: 3em\">"
            "<h1>%1</h1><p>%2</p></body></html>")
            .arg(Escaped(heading), Escaped(text))
            .toUtf8();
    const char* reason = status == 200 ? "OK" : status == 404 ? "Not Found" : "Bad Request";
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
                      "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                      QByteArray::number(page.size()) +
                      "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    socket->write(head + page);
    socket->disconnectFromHost();
}

void TOAuthSignInFlow::Exchange(const std::string& code) {
    StopListening();
    emit Exchanging();
    const TOAuthEndpoints endpoints = OAuthEndpointsOf(account_.POP.OAuth);
    const TOAuthClient client{account_.POP.OAuth.ClientId, account_.POP.OAuth.ClientSecret};
    network_ = std::make_unique<QNetworkAccessManager>();
    try {
        reply_ = StartFormPost(*network_, endpoints.TokenUrl,
                               OAuthCodeGrantBody(client, code, redirectUri_, verifier_),
                               kExchangeTimeOut);
    } catch (const Error& error) {
        Finish(false, ShownText(error.what()));
        return;
    }
    connect(reply_, &QNetworkReply::finished, this, &TOAuthSignInFlow::OnExchanged);
}

void TOAuthSignInFlow::OnExchanged() {
    QNetworkReply* reply = reply_.data();
    reply_ = nullptr;
    if (reply == nullptr || !running_) {
        return;
    }
    reply->deleteLater();
    try {
        const THttpAnswer answer = AnswerOf(*reply);
        tokens_.SignedIn(account_, ParseOAuthTokenAnswer(answer.Status, answer.Body));
    } catch (const Error& error) {
        Finish(false, ShownText(error.what()));
        return;
    }
    Finish(true, tr("Signed in."));
}

void TOAuthSignInFlow::StopListening() {
    if (listener_) {
        listener_->close();
    }
    if (listener6_) {
        listener6_->close();
    }
}

void TOAuthSignInFlow::Finish(bool ok, const QString& message) {
    if (!running_) {
        return;
    }
    running_ = false;
    timer_.stop();
    StopListening();
    if (reply_ != nullptr) {
        QNetworkReply* reply = reply_.data();
        reply_ = nullptr;
        reply->abort();
        reply->deleteLater();
    }
    verifier_.clear();
    state_.clear();
    emit Finished(ok, message);
}

}  // namespace quobel
