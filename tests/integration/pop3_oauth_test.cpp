// OAuth 2.0 logins against a Dovecot of the test's own that checks every token with its oauth2
// passdb, asking an introspection endpoint the test serves on loopback: tokens from a command,
// a refused token's challenge in words, and a fresh token after a refusal. Over TLS only.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "accounts/account_file.h"
#include "accounts/accounts.h"
#include "core/file_util.h"
#include "retrieval/command_token_source.h"
#include "retrieval/qbpop3.h"
#include "retrieval/token_login.h"
#include "support/error_of.h"
#include "support/introspection_responder.h"
#include "support/private_dovecot.h"
#include "support/run_inspect.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::ErrorOf;
using ::testing::HasSubstr;
using testing::IntrospectionResponder;
using ::testing::Not;
using testing::PrivateDovecot;
using testing::RunInspect;
using testing::TempFolder;

const char kUser[] = "ann";
const char kGood[] = "good-token-1";
const char kRefusedInWords[] =
    "[AUTH] Authentication failed. (the server refused the access token: it is invalid or has "
    "expired)";

PrivateDovecot::User Ann() {
    return {
        kUser, "unused password", {{"m1", "Subject: one\n\n1\n"}, {"m2", "Subject: two\n\n2\n"}}};
}

// Hands out one token before a refusal and another after it, and remembers what it was asked.
class TwoTokens : public TAccessTokenSource {
  public:
    TwoTokens(std::string first, std::string afterRefusal)
        : first_(std::move(first)), afterRefusal_(std::move(afterRefusal)) {}
    std::string AccessToken(const TAccount&, bool refused) override {
        Refused.push_back(refused);
        return refused ? afterRefusal_ : first_;
    }
    std::vector<bool> Refused;

  private:
    std::string first_;
    std::string afterRefusal_;
};

TEST(DovecotOAuth, LogsInWithTheTokenAndAFreshOneAfterARefusal) {
    IntrospectionResponder introspection;
    introspection.Accept(kGood, kUser);
    PrivateDovecot server({Ann()}, introspection.Url());

    TAccount account;
    account.POP = {"localhost",
                   server.Pop3sPort,
                   kUser,
                   "",
                   false,
                   TPOPSecurity::Tls,
                   TAuthentication::TokenCommand,
                   {},
                   {}};
    const auto session = [&] {
        auto pop = std::make_unique<TQBPOP3>();
        pop->Host = account.POP.Host;
        pop->Port = account.POP.Port;
        pop->Username = account.POP.Username;
        pop->TLS = account.POP.TLS;
        pop->CAFile = server.CAFile;
        return pop;
    };

    struct Case {
        const char* name;
        std::string command;
        std::string error;  // "(no error)" when logged in
        std::vector<std::string> asked;
    };
    const Case cases[] = {
        {"the command's token", std::string("printf '") + kGood + "\\n'", "(no error)", {kGood}},
        // The command is run again after the refusal; its token is refused again.
        {"a bad token, refused twice",
         "echo bad-token-2",
         std::string(kRefusedInWords) + "\r\n",
         {"bad-token-2", "bad-token-2"}},
        {"a failing command: no login tried",
         "sh -c 'echo expired >&2; exit 2'",
         "The token command sh failed with exit code 2: expired",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = introspection.Asked().size();
        account.POP.TokenCommand = c.command;
        TCommandTokenSource tokens;
        const auto pop = session();
        EXPECT_EQ(ErrorOf([&] { ConnectWithToken(*pop, account, &tokens); }), c.error);
        const std::vector<std::string> asked = introspection.Asked();
        EXPECT_EQ(
            std::vector<std::string>(asked.begin() + static_cast<ptrdiff_t>(before), asked.end()),
            c.asked);
        if (c.error == "(no error)") {
            EXPECT_EQ(pop->MessageCount(), 2);
            EXPECT_TRUE(pop->AccessToken.empty());  // not kept after the login
            pop->Disconnect();
        }
    }

    // A refused token is followed by the fresh one the source gives when told of the refusal;
    // also in the two-step form a provider may ask for.
    for (const char* provider : {"", "microsoft"}) {
        SCOPED_TRACE(provider);
        account.POP.Authentication = TAuthentication::OAuth2;
        account.POP.OAuth.Provider = provider;
        TwoTokens tokens("stale-token-3", kGood);
        const auto pop = session();
        EXPECT_EQ(ErrorOf([&] { ConnectWithToken(*pop, account, &tokens); }), "(no error)");
        EXPECT_EQ(tokens.Refused, (std::vector<bool>{false, true}));
        EXPECT_EQ(pop->MessageCount(), 2);
        pop->Disconnect();
    }
    // Refused again after the retry: no third try.
    TwoTokens refusedTwice("stale-token-4", "stale-token-5");
    EXPECT_EQ(ErrorOf([&] { ConnectWithToken(*session(), account, &refusedTwice); }),
              std::string(kRefusedInWords) + "\r\n");
    EXPECT_EQ(refusedTwice.Refused, (std::vector<bool>{false, true}));
}

// quobel-inspect check: the check cycle as the application runs it, with its token source.
TEST(DovecotOAuth, InspectCheckUsesTheTokenCommandAndLogsARefusalInWords) {
    IntrospectionResponder introspection;
    introspection.Accept(kGood, kUser);
    PrivateDovecot server({Ann()}, introspection.Url());
    server.PresentNewSelfSignedCertificate();
    const TempFolder data;
    const std::string accounts = data.File("accounts");
    ForceFolders(accounts);

    const struct {
        const char* name;
        TAuthentication authentication;
        std::string command;
        size_t filed;
        std::string error;  // in the error log's details; empty: none
    } cases[] = {
        {"good token", TAuthentication::TokenCommand, std::string("echo ") + kGood, 2, ""},
        {"refused token", TAuthentication::TokenCommand, "echo bad-token-6", 0, kRefusedInWords},
        {"OAuth 2.0 without a sign-in", TAuthentication::OAuth2, "", 0, kNoOAuthSignInText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TAccount account;
        account.ID = "tok";
        account.Name = "Token";
        account.Synchronize = true;
        account.POP = {"localhost",       server.Pop3sPort, kUser,     "", false,
                       TPOPSecurity::Tls, c.authentication, c.command, {}};
        account.TrustedKey = {"localhost", server.PresentedKeyPin()};
        SaveAccount(account, TAccounts::FileNameOf(accounts, account));

        const auto result = RunInspect({"check", data.Path()});
        const auto json = nlohmann::json::parse(result.output);
        ASSERT_EQ(json["accounts"].size(), 1u);
        EXPECT_EQ(json["accounts"][0]["Filed"].size(), c.filed);
        if (c.error.empty()) {
            EXPECT_EQ(result.exitCode, 0);
            EXPECT_EQ(json["errors"].size(), 0u) << json["errors"].dump();
        } else {
            EXPECT_EQ(result.exitCode, 1);
            ASSERT_EQ(json["errors"].size(), 1u);
            EXPECT_THAT(json["errors"][0]["Details"].get<std::string>(), HasSubstr(c.error));
        }
        EXPECT_THAT(result.output, Not(HasSubstr("bad-token")));
    }
}

}  // namespace
}  // namespace quobel
