#pragma once

#include <QString>
#include <chrono>

#include "platform/oauth_http.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace quobel {

// Form posts to OAuth 2.0 token endpoints through Qt Network. PostForm may be called on any
// thread, a worker's included: each call has its own network manager and event loop on the
// calling thread, so nothing is shared between threads. On the user-interface thread use
// StartFormPost instead, which does not wait.
class QtFormPoster : public THttpFormPoster {
  public:
    explicit QtFormPoster(std::chrono::milliseconds timeOut = std::chrono::seconds(30))
        : timeOut_(timeOut) {}
    THttpAnswer PostForm(const std::string& url, const std::string& body) override;

  private:
    std::chrono::milliseconds timeOut_;
};

// Starts the post on the manager's thread; the reply belongs to the caller. Throws Error for an
// address that is not https (plain http only to the loopback addresses, for test servers).
QNetworkReply* StartFormPost(QNetworkAccessManager& manager, const std::string& url,
                             const std::string& body, std::chrono::milliseconds timeOut);

// The finished reply as the token endpoint's answer; throws Error when no HTTP answer came.
THttpAnswer AnswerOf(QNetworkReply& reply);

}  // namespace quobel
