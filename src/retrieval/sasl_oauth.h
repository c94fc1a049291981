#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"

namespace quobel {

// Logging in with an OAuth 2.0 access token over POP3 (RFC 5034 AUTH): the XOAUTH2 mechanism
// the large providers introduced, and OAUTHBEARER (RFC 7628), its standard successor.
enum class TOAuthMechanism { None, XOAuth2, OAuthBearer };

// The mechanism to use from a server's CAPA SASL list: OAUTHBEARER when listed, else XOAUTH2,
// else None. Names are compared without regard to case.
TOAuthMechanism ChooseOAuthMechanism(const std::vector<std::string>& saslMechanisms);

std::string_view OAuthMechanismName(TOAuthMechanism mechanism);

// The unencoded initial client responses.
std::string XOAuth2InitialResponse(std::string_view user, std::string_view token);
std::string OAuthBearerInitialResponse(std::string_view user, std::string_view host, int port,
                                       std::string_view token);

// A refused token's challenge (base64 of a JSON object with "status", "scope" and
// "openid-configuration") in words, for the log; the raw text when it is not such a challenge.
std::string DescribeOAuthChallenge(std::string_view base64Challenge);

struct TOAuthLogin {
    TOAuthMechanism Mechanism = TOAuthMechanism::XOAuth2;
    std::string User;
    std::string Token;
    std::string Host;
    int Port = 0;
    // The mechanism alone first, the initial response only after the server's "+" (some
    // servers understand no other form). Also chosen when the command would be too long.
    bool TwoStep = false;
};

// The line-level conversation the exchange needs: sending one line (CR LF added by the
// callee) and reading the next one without its line end.
struct TSaslLines {
    std::function<void(std::string_view line)> Send;
    std::function<std::string()> Read;
};

// The server refused the access token itself (not the connection or the mechanism): a fresh
// token may be let in.
class TTokenRefused : public Error {
  public:
    using Error::Error;
};

// Runs the exchange; a refusal of the token fails with TTokenRefused, any other refusal with an
// Error; either carries the server's text and, when the server sent a challenge, its meaning
// in words. The token never appears in an error.
void RunOAuthLogin(const TOAuthLogin& login, const TSaslLines& lines);

}  // namespace quobel
