#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace quobel {

// The texts of the OAuth 2.0 authorization-code flow for native applications (RFC 6749, RFC 8252,
// RFC 7636): what the browser is sent to, what the token endpoint is posted, and how its answers
// and the browser's redirect read. No function here puts a token, code or verifier into an error.

// The application the user registered with the provider. The secret is sent only when set.
struct TOAuthClient {
    std::string ClientId;
    std::string ClientSecret;
};

// What the sign-in asks the browser for.
struct TOAuthAuthorizationRequest {
    std::string AuthorizationUrl;
    std::string Scope;
    std::string RedirectUri;
    std::string CodeChallenge;
    std::string State;
    std::string LoginHint;  // the mailbox's user name, so the provider offers the right account
};

std::string OAuthAuthorizationUrl(const TOAuthClient& client,
                                  const TOAuthAuthorizationRequest& request);

// application/x-www-form-urlencoded bodies for the token endpoint.
std::string OAuthCodeGrantBody(const TOAuthClient& client, std::string_view code,
                               std::string_view redirectUri, std::string_view verifier);
std::string OAuthRefreshGrantBody(const TOAuthClient& client, std::string_view refreshToken);

// Percent-encoding of a form or query value; unreserved characters stay as they are.
std::string FormEncode(std::string_view value);
// The reverse, "+" read as a space; malformed escapes stay as they are.
std::string FormDecode(std::string_view value);

// A token endpoint's answer that carried tokens. ExpiresIn is zero when the provider did not say.
struct TOAuthTokens {
    std::string AccessToken;
    std::chrono::seconds ExpiresIn{0};
    std::string RefreshToken;  // empty when the provider keeps the old one valid
};

// The token endpoint refused the grant: Code is the OAuth error ("invalid_grant", ...), empty
// when the answer was no OAuth error at all (an HTTP failure, a page instead of JSON).
class TOAuthRefusal : public Error {
  public:
    TOAuthRefusal(const std::string& message, std::string code)
        : Error(message), code_(std::move(code)) {}
    const std::string& Code() const { return code_; }

  private:
    std::string code_;
};

// Reads the token endpoint's answer (HTTP status and body); throws TOAuthRefusal when it holds
// no access token.
TOAuthTokens ParseOAuthTokenAnswer(int httpStatus, std::string_view body);

// The browser's redirect to the loopback listener: the code and state, or the provider's error.
struct TOAuthRedirect {
    std::string Code;
    std::string State;
    std::string Error;             // "access_denied" when the user said no
    std::string ErrorDescription;  // the provider's words, may be empty
};

// The parameters of a request target ("/?code=...&state=..."); nothing when the path is not
// the root (the browser asking for "/favicon.ico") or it carries neither a code nor an error.
std::optional<TOAuthRedirect> ParseOAuthRedirectTarget(std::string_view target);

}  // namespace quobel
