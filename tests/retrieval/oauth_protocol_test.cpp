// The texts of the OAuth 2.0 sign-in: PKCE, the authorization address, the token requests and
// the answers read from the token endpoint and the browser's redirect.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "platform/oauth_pkce.h"
#include "platform/oauth_protocol.h"

namespace quobel {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

TEST(OAuthPkce, ChallengeAndVerifierFollowRfc7636) {
    // The example of RFC 7636 appendix B.
    EXPECT_EQ(OAuthS256Challenge("dBjftJeZ4CVP-mB92K27uhbUJU1p1r_wW1gFWFOEjXk"),
              "E9Melhoa2OwvFrEMTJguCHaoeK1t8URWbuGJSstw-cM");
    std::set<std::string> seen;
    for (int i = 0; i < 50; ++i) {
        const TOAuthPkce pkce = MakeOAuthPkce();
        EXPECT_GE(pkce.Verifier.size(), 43U);
        EXPECT_LE(pkce.Verifier.size(), 128U);
        EXPECT_EQ(pkce.Verifier.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstu"
                                                  "vwxyz0123456789-._~"),
                  std::string::npos);
        EXPECT_EQ(pkce.Challenge, OAuthS256Challenge(pkce.Verifier));
        EXPECT_EQ(pkce.Challenge.find('='), std::string::npos);
        EXPECT_TRUE(seen.insert(pkce.Verifier).second);
        EXPECT_TRUE(seen.insert(MakeOAuthState()).second);
    }
}

TEST(OAuthPkce, Base64UrlHasNoPaddingAndTheUrlAlphabet) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"f", "Zg"}, {"fo", "Zm8"}, {"foo", "Zm9v"}, {"\xfb\xff", "-_8"}};
    for (const auto& [bytes, encoded] : cases) {
        EXPECT_EQ(Base64UrlEncode(bytes), encoded);
    }
}

TEST(OAuthProtocol, TheAuthorizationAddressCarriesTheChallengeNotTheSecrets) {
    const TOAuthClient client{"my client", "very-secret"};
    TOAuthAuthorizationRequest request{"https://login.example/authorize?tenant=x",
                                       "pop offline_access",
                                       "http://127.0.0.1:4711/",
                                       "CHALLENGE",
                                       "STATE",
                                       "me@example.org"};
    const std::string url = OAuthAuthorizationUrl(client, request);
    EXPECT_EQ(url,
              "https://login.example/authorize?tenant=x&response_type=code&client_id=my%20client"
              "&redirect_uri=http%3A%2F%2F127.0.0.1%3A4711%2F&scope=pop%20offline_access"
              "&state=STATE&code_challenge=CHALLENGE&code_challenge_method=S256"
              "&login_hint=me%40example.org");
    EXPECT_THAT(url, Not(HasSubstr("secret")));
    // Google hands out refresh tokens only when asked for offline access.
    request.AuthorizationUrl = "https://accounts.google.com/o/oauth2/v2/auth";
    EXPECT_THAT(OAuthAuthorizationUrl(client, request),
                HasSubstr("&access_type=offline&prompt=consent"));
}

TEST(OAuthProtocol, TokenRequestsAreFormsWithTheSecretOnlyWhenSet) {
    EXPECT_EQ(OAuthCodeGrantBody({"id", ""}, "c/d", "http://127.0.0.1:1/", "v"),
              "grant_type=authorization_code&code=c%2Fd&redirect_uri=http%3A%2F%2F127.0.0.1%3A1%2F"
              "&code_verifier=v&client_id=id");
    EXPECT_EQ(OAuthRefreshGrantBody({"id", "s+t"}, "r t"),
              "grant_type=refresh_token&refresh_token=r%20t&client_id=id&client_secret=s%2Bt");
}

TEST(OAuthProtocol, TokenAnswers) {
    const TOAuthTokens full = ParseOAuthTokenAnswer(
        200,
        R"({"access_token":"at","expires_in":3599,"refresh_token":"rt","token_type":"Bearer"})");
    EXPECT_EQ(full.AccessToken, "at");
    EXPECT_EQ(full.ExpiresIn, std::chrono::seconds(3599));
    EXPECT_EQ(full.RefreshToken, "rt");
    // Some providers send the lifetime as a string, or none and no new refresh token.
    EXPECT_EQ(ParseOAuthTokenAnswer(200, R"({"access_token":"at","expires_in":"60"})").ExpiresIn,
              std::chrono::seconds(60));
    const TOAuthTokens bare = ParseOAuthTokenAnswer(200, R"({"access_token":"at"})");
    EXPECT_EQ(bare.ExpiresIn, std::chrono::seconds(0));
    EXPECT_EQ(bare.RefreshToken, "");

    struct Refused {
        int Status;
        const char* Body;
        const char* Code;
        const char* Text;
    };
    const Refused refusals[] = {
        {400, R"({"error":"invalid_grant","error_description":"expired"})", "invalid_grant",
         "The sign-in server refused: invalid_grant (expired)"},
        {401, R"({"error":"invalid_client"})", "invalid_client",
         "The sign-in server refused: invalid_client"},
        {502, "<html>Bad gateway</html>", "", "could not be read (HTTP status 502)"},
        {200, R"({"token_type":"Bearer"})", "", "gave no access token"},
        {500, R"({"access_token":"at-leaked"})", "", "gave no access token (HTTP status 500)"},
    };
    for (const Refused& each : refusals) {
        SCOPED_TRACE(each.Body);
        try {
            ParseOAuthTokenAnswer(each.Status, each.Body);
            ADD_FAILURE() << "accepted";
        } catch (const TOAuthRefusal& refusal) {
            EXPECT_EQ(refusal.Code(), each.Code);
            EXPECT_THAT(refusal.what(), HasSubstr(each.Text));
            EXPECT_THAT(refusal.what(), Not(HasSubstr("at-leaked")));
        }
    }
}

TEST(OAuthProtocol, TheBrowsersRedirect) {
    const auto code = ParseOAuthRedirectTarget("/?code=a%2Fb+c&state=s1&session_state=x");
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(code->Code, "a/b c");
    EXPECT_EQ(code->State, "s1");
    EXPECT_EQ(code->Error, "");

    const auto denied =
        ParseOAuthRedirectTarget("/?error=access_denied&error_description=No%20way&state=s2");
    ASSERT_TRUE(denied.has_value());
    EXPECT_EQ(denied->Error, "access_denied");
    EXPECT_EQ(denied->ErrorDescription, "No way");
    EXPECT_EQ(denied->State, "s2");

    for (const char* target :
         {"/favicon.ico", "/", "/?state=s", "/other?code=c", "/?code=", "/?code=%zz&state=s"}) {
        SCOPED_TRACE(target);
        const auto parsed = ParseOAuthRedirectTarget(target);
        // Only a malformed escape is kept as it came; everything else is no answer at all.
        if (std::string_view(target) == "/?code=%zz&state=s") {
            ASSERT_TRUE(parsed.has_value());
            EXPECT_EQ(parsed->Code, "%zz");
        } else {
            EXPECT_FALSE(parsed.has_value());
        }
    }
}

}  // namespace
}  // namespace quobel
