// Logging in with an OAuth 2.0 access token (XOAUTH2, OAUTHBEARER): what goes over the wire,
// however the server splits its bytes, and how a refused token is reported.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "accounts/base64.h"
#include "platform/memory_transport.h"
#include "retrieval/qbpop3.h"
#include "retrieval/sasl_oauth.h"
#include "support/error_of.h"

namespace quobel {
namespace {

using testing::ErrorOf;

const std::string kToken = "ya29.tok";
const std::string kXOAuth2 = Base64Encode(
    "user=u@example.org\x01"
    "auth=Bearer ya29.tok\x01\x01");
const std::string kBearer = Base64Encode(
    "n,a=u@example.org,\x01"
    "host=mail.example\x01"
    "port=995\x01"
    "auth=Bearer ya29.tok\x01\x01");
// {"status":"invalid_token","scope":"mail.read","openid-configuration":"https://x/"}
const std::string kChallenge = Base64Encode(
    R"({"status":"invalid_token","scope":"mail.read","openid-configuration":"https://x/"})");

struct Case {
    const char* name;
    TPOPSecurity security;
    bool twoStep;
    std::string capa;     // the answer to CAPA
    std::string replies;  // to the login lines
    std::string login;    // what the client sends after CAPA (QUIT after a failure)
    std::string error;    // "(no error)" when the login succeeds
};

class SaslOAuthTest : public ::testing::TestWithParam<size_t> {};

TEST_P(SaslOAuthTest, Transcripts) {
    const Case cases[] = {
        {"OAUTHBEARER preferred, initial response on the command line", TPOPSecurity::Tls, false,
         "+OK\r\nSASL PLAIN XOAUTH2 OAUTHBEARER\r\n.\r\n", "+OK in\r\n",
         "AUTH OAUTHBEARER " + kBearer + "\r\n", "(no error)"},
        {"XOAUTH2 when it is the only one", TPOPSecurity::Tls, false,
         "+OK\r\nSASL PLAIN xoauth2\r\n.\r\n", "+OK in\r\n", "AUTH XOAUTH2 " + kXOAuth2 + "\r\n",
         "(no error)"},
        {"two-step XOAUTH2: the response after the server's +", TPOPSecurity::Tls, true,
         "+OK\r\nSASL XOAUTH2\r\n.\r\n", "+\r\n+OK in\r\n", "AUTH XOAUTH2\r\n" + kXOAuth2 + "\r\n",
         "(no error)"},
        {"refused token: challenge answered with AQ==, decoded in the error", TPOPSecurity::Tls,
         false, "+OK\r\nSASL OAUTHBEARER\r\n.\r\n",
         "+ " + kChallenge + "\r\n-ERR [AUTH] Authentication failed.\r\n",
         "AUTH OAUTHBEARER " + kBearer + "\r\nAQ==\r\nQUIT\r\n",
         "[AUTH] Authentication failed. (the server refused the access token: it is invalid or "
         "has expired; needed scope: mail.read)\r\n"},
        {"refused XOAUTH2 token: an empty line ends the exchange", TPOPSecurity::Tls, true,
         "+OK\r\nSASL XOAUTH2\r\n.\r\n", "+ \r\n+ " + kChallenge + "\r\n-ERR no\r\n",
         "AUTH XOAUTH2\r\n" + kXOAuth2 + "\r\n\r\nQUIT\r\n",
         "no (the server refused the access token: it is invalid or has expired; needed scope: "
         "mail.read)\r\n"},
        {"mechanism refused before the response", TPOPSecurity::Tls, true,
         "+OK\r\nSASL XOAUTH2\r\n.\r\n", "-ERR [SYS/TEMP] not now\r\n", "AUTH XOAUTH2\r\nQUIT\r\n",
         "[SYS/TEMP] not now\r\n"},
        {"no OAuth mechanism listed: no password fallback", TPOPSecurity::Tls, false,
         "+OK\r\nSASL PLAIN\r\n.\r\n", "", "QUIT\r\n",
         "The server offers no OAuth 2.0 login (XOAUTH2 or OAUTHBEARER)"},
        {"no TLS: the token is never sent", TPOPSecurity::None, false,
         "+OK\r\nSASL OAUTHBEARER\r\n.\r\n", "", "QUIT\r\n",
         "OAuth 2.0 sign-in needs a TLS connection"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::make_shared<TMemoryPeer>();
        peer->ChunkSize = GetParam();
        peer->ServerBytes = "+OK ready\r\n" + c.capa + c.replies;
        TQBPOP3 pop;
        pop.Host = "mail.example";
        pop.Port = 995;
        pop.Username = "u@example.org";
        pop.Password = "never sent";
        pop.AccessToken = kToken;
        pop.OAuthTwoStep = c.twoStep;
        pop.TLS = c.security;
        pop.Connector = TMemoryTransport::ConnectorFor(peer);
        const std::string error = ErrorOf([&] { pop.Connect(); });
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(error.find(kToken), std::string::npos);
        const std::string tls = c.security == TPOPSecurity::Tls ? "[TLS]\r\n" : "";
        EXPECT_EQ(peer->ClientBytes, tls + "CAPA\r\n" + c.login);
    }
}

INSTANTIATE_TEST_SUITE_P(Splits, SaslOAuthTest, ::testing::Values(1, 3, 65536));

// Only a refusal of the token itself is worth a fresh token: not a server's own trouble, nor a
// refusal before the token went out.
TEST(SaslOAuth, ARefusedTokenIsToldApartFromOtherRefusals) {
    const struct {
        const char* name;
        bool twoStep;
        std::string replies;
        bool tokenRefused;
    } cases[] = {
        {"challenge, then -ERR", false, "+ " + kChallenge + "\r\n-ERR [AUTH] failed\r\n", true},
        {"-ERR to the token", false, "-ERR [AUTH] Authentication failed.\r\n", true},
        {"-ERR to the token after +", true, "+\r\n-ERR no\r\n", true},
        {"server trouble", false, "-ERR [SYS/TEMP] try later\r\n", false},
        {"server busy", false, "-ERR [IN-USE] locked\r\n", false},
        {"mechanism refused before the token", true, "-ERR [AUTH] no such mechanism\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto peer = std::make_shared<TMemoryPeer>();
        peer->ServerBytes = "+OK\r\n+OK\r\nSASL OAUTHBEARER\r\n.\r\n" + c.replies;
        TQBPOP3 pop;
        pop.Host = "mail.example";
        pop.Port = 995;
        pop.Username = "u";
        pop.AccessToken = kToken;
        pop.OAuthTwoStep = c.twoStep;
        pop.TLS = TPOPSecurity::Tls;
        pop.Connector = TMemoryTransport::ConnectorFor(peer);
        bool refused = false;
        std::string error = "(no error)";
        try {
            pop.Connect();
        } catch (const TTokenRefused& failure) {
            refused = true;
            error = failure.what();
        } catch (const Error& failure) {
            error = failure.what();
        }
        EXPECT_NE(error, "(no error)");
        EXPECT_EQ(refused, c.tokenRefused) << error;
    }
}

TEST(SaslOAuth, LongTokensGoAfterTheContinuation) {
    // RFC 5034 limits AUTH with its initial response to 255 octets: a longer one waits for "+".
    auto peer = std::make_shared<TMemoryPeer>();
    peer->ServerBytes = "+OK\r\n+OK\r\nSASL OAUTHBEARER\r\n.\r\n+\r\n+OK\r\n";
    TQBPOP3 pop;
    pop.Host = "mail.example";
    pop.Port = 995;
    pop.Username = "u";
    pop.AccessToken = std::string(300, 't');
    pop.TLS = TPOPSecurity::Tls;
    pop.Connector = TMemoryTransport::ConnectorFor(peer);
    ASSERT_EQ(ErrorOf([&] { pop.Connect(); }), "(no error)");
    EXPECT_EQ(peer->ClientBytes, "[TLS]\r\nCAPA\r\nAUTH OAUTHBEARER\r\n" +
                                     Base64Encode(OAuthBearerInitialResponse(
                                         "u", "mail.example", 995, std::string(300, 't'))) +
                                     "\r\n");
}

TEST(SaslOAuth, ChallengesInWords) {
    const struct {
        std::string challenge;
        std::string words;
    } cases[] = {
        {Base64Encode(R"({"status":"insufficient_scope","scope":"a b"})"),
         "the server refused the access token: it does not grant the needed access; needed "
         "scope: a b"},
        {Base64Encode(R"({"status" : "400"})"),
         "the server refused the access token: the request was malformed"},
        {Base64Encode(R"({"status":"odd\"one"})"),
         "the server refused the access token: status odd\"one"},
        {Base64Encode("not json"), Base64Encode("not json")},
        {"!!not base64", "!!not base64"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeOAuthChallenge(c.challenge), c.words);
    }
}

TEST(SaslOAuth, AuthorizationIdentityIsEscaped) {
    EXPECT_EQ(OAuthBearerInitialResponse("a,b=c", "h", 1, "t"),
              "n,a=a=2Cb=3Dc,\x01host=h\x01port=1\x01"
              "auth=Bearer t\x01\x01");
}

}  // namespace
}  // namespace quobel
