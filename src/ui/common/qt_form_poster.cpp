#include "ui/common/qt_form_poster.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <memory>

#include "core/error.h"
#include "core/user_text.h"

namespace quobel {
namespace {

bool IsLoopback(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

}  // namespace

QNetworkReply* StartFormPost(QNetworkAccessManager& manager, const std::string& url,
                             const std::string& body, std::chrono::milliseconds timeOut) {
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("https") &&
         !(scheme == QLatin1String("http") && IsLoopback(target.host())))) {
        throw Error(
            USER_TEXT("Quobel", "The sign-in server's token address is not an https:// address."));
    }
    QNetworkRequest request(target);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("application/x-www-form-urlencoded"));
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(static_cast<int>(timeOut.count()));
    // The body carries secrets: it must not follow a redirect to another place.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    return manager.post(request, QByteArray::fromStdString(body));
}

THttpAnswer AnswerOf(QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        // Qt's text names the failure (host not found, certificate, time-out), never the body.
        throw Error("The sign-in server could not be reached: " +
                    reply.errorString().toStdString());
    }
    return {status.toInt(), reply.readAll().toStdString()};
}

THttpAnswer QtFormPoster::PostForm(const std::string& url, const std::string& body) {
    QNetworkAccessManager manager;
    QEventLoop loop;
    const std::unique_ptr<QNetworkReply> reply(StartFormPost(manager, url, body, timeOut_));
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    return AnswerOf(*reply);
}

}  // namespace quobel
