#pragma once

#include <string>

namespace quobel {

// What a token endpoint answered: the HTTP status (0 when no answer came) and the body.
struct THttpAnswer {
    int Status = 0;
    std::string Body;
};

// Posts an application/x-www-form-urlencoded body to an OAuth 2.0 token endpoint and waits for
// the answer. Callable from any thread, also from several at once. TLS is verified; plain http
// is refused but for the loopback addresses. Throws Error when no answer came (no network, a
// refused certificate, the time-out); the text never holds the body, which carries secrets.
class THttpFormPoster {
  public:
    virtual ~THttpFormPoster() = default;
    virtual THttpAnswer PostForm(const std::string& url, const std::string& body) = 0;
};

}  // namespace quobel
