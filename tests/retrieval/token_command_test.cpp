#include "platform/token_command.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "accounts/account.h"
#include "core/error.h"
#include "retrieval/command_token_source.h"
#include "support/error_of.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using namespace std::chrono_literals;
using testing::TempFolder;

std::string FailureOf(std::string_view commandLine, std::chrono::milliseconds timeout = 5s) {
    try {
        RunTokenCommand(commandLine, timeout);
    } catch (const Error& error) {
        return error.what();
    }
    ADD_FAILURE() << commandLine << " did not fail";
    return "";
}

// The process is gone, not left as a zombie of the test.
bool Gone(const std::string& pidFile) {
    std::ifstream in(pidFile);
    int pid = 0;
    in >> pid;
    EXPECT_GT(pid, 0) << pidFile;
    return pid > 0 && ::kill(pid, 0) != 0;
}

TEST(TokenCommand, SplitsLikeAShellWithoutExpandingAnything) {
    const struct {
        const char* Line;
        std::vector<std::string> Words;
    } cases[] = {
        {"oama access ann@example.org", {"oama", "access", "ann@example.org"}},
        {"  a \t b\n", {"a", "b"}},
        {"'a b' \"c d\"", {"a b", "c d"}},
        {"x'y'\"z\"", {"xyz"}},
        {"'' \"\"", {"", ""}},
        {R"(a\ b \'c\")", {"a b", "'c\""}},
        {R"("\"\\\$\`\a")", {"\"\\$`\\a"}},
        {R"('\n' "'")", {"\\n", "'"}},
        {"$HOME ~ * a;b |", {"$HOME", "~", "*", "a;b", "|"}},
        {"a\\\nb", {"ab"}},
        {"", {}},
        {"   ", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.Line), c.Words) << c.Line;
    }
    for (const char* bad : {"'open", "\"open", "a\\", "\"a\\\""}) {
        EXPECT_THROW(SplitCommandLine(bad), Error) << bad;
    }
}

TEST(TokenCommand, TheTrimmedOutputIsTheToken) {
    EXPECT_EQ(RunTokenCommand("printf '  tok.en-123 \\n\\n'"), "tok.en-123");
    // The words reach the program as they were quoted, with nothing expanded.
    EXPECT_EQ(RunTokenCommand(R"(printf '%s|%s|%s' "a b" '$HOME' c\ d)"), "a b|$HOME|c d");
    // Standard error beside a good token is no failure.
    EXPECT_EQ(RunTokenCommand("sh -c 'echo refreshing >&2; echo tok'"), "tok");
}

TEST(TokenCommand, FailuresNameTheCommandCarryItsErrorsAndNeverTheToken) {
    const struct {
        const char* Line;
        std::vector<std::string> Said;
    } cases[] = {
        {"sh -c 'echo secret-token; echo no refresh token >&2; exit 3'",
         {"The token command sh ", "exit code 3", "no refresh token"}},
        {"sh -c 'echo secret-token; kill -TERM $$'", {"sh", "signal 15"}},
        {"sh -c 'echo \"   \"'", {"The token command sh printed no token"}},
        {"no-such-token-helper --flag", {"no-such-token-helper", "could not be started"}},
        {"", {"No token command is set"}},
        {"'unclosed", {"unclosed quote"}},
    };
    for (const auto& c : cases) {
        const std::string failure = FailureOf(c.Line);
        for (const std::string& said : c.Said) {
            EXPECT_NE(failure.find(said), std::string::npos) << c.Line << ": " << failure;
        }
        EXPECT_EQ(failure.find("secret-token"), std::string::npos) << failure;
    }
    // A flood of errors is cut short.
    const std::string flood =
        FailureOf("sh -c 'head -c 200000 /dev/zero | tr \"\\0\" x >&2; exit 1'");
    EXPECT_LT(flood.size(), 1200u);
    EXPECT_NE(flood.find("xxxx"), std::string::npos);
}

TEST(TokenCommand, AHangingCommandIsKilledWithItsChildrenAtTheTimeOut) {
    const TempFolder folder;
    const std::string self = folder.File("self.pid");
    const std::string child = folder.File("child.pid");
    // The helper's own child keeps the output open: only killing the group ends the wait.
    const std::string line = "sh -c 'echo $$ > " + self + "; sleep 30 & echo $! > " + child +
                             "; echo waiting >&2; wait'";
    const auto started = std::chrono::steady_clock::now();
    const std::string failure = FailureOf(line, 300ms);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 300ms);
    EXPECT_LT(took, 3s);
    EXPECT_NE(failure.find("The token command sh did not finish within 1 seconds"),
              std::string::npos)
        << failure;
    EXPECT_NE(failure.find("waiting"), std::string::npos) << failure;
    EXPECT_TRUE(Gone(self));
    // The orphaned child was killed; whoever adopted it reaps it.
    for (int i = 0; i < 200 && !Gone(child); ++i) {
        std::this_thread::sleep_for(10ms);
    }
    std::ifstream in(child);
    int pid = 0;
    in >> pid;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    EXPECT_TRUE(text.empty() || text.find(") Z ") != std::string::npos) << text;
}

// A source that hands out what it is told and remembers what it was asked.
class ScriptedSignIn : public TAccessTokenSource {
  public:
    std::string AccessToken(const TAccount& account, bool refused) override {
        Asked.emplace_back(account.ID, refused);
        return "signed-in";
    }
    std::vector<std::pair<std::string, bool>> Asked;
};

TEST(CommandTokenSource, RunsTheCommandAndHandsOAuthToTheSignIn) {
    TAccount command;
    command.ID = "cmd";
    command.POP.Authentication = TAuthentication::TokenCommand;
    command.POP.TokenCommand = "echo from-the-command";
    TAccount oauth;
    oauth.ID = "oauth";
    oauth.POP.Authentication = TAuthentication::OAuth2;
    TAccount password;
    password.POP.Authentication = TAuthentication::Password;

    ScriptedSignIn signIn;
    TCommandTokenSource source(&signIn);
    EXPECT_EQ(source.AccessToken(command, false), "from-the-command");
    EXPECT_EQ(source.AccessToken(command, true), "from-the-command");
    EXPECT_EQ(source.AccessToken(oauth, true), "signed-in");
    EXPECT_EQ(signIn.Asked, (std::vector<std::pair<std::string, bool>>{{"oauth", true}}));
    EXPECT_THROW(source.AccessToken(password, false), Error);

    TCommandTokenSource alone;
    EXPECT_EQ(testing::ErrorOf([&] { alone.AccessToken(oauth, false); }), kNoOAuthSignInText);
    alone.Timeout = 100ms;
    command.POP.TokenCommand = "sleep 5";
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(alone.AccessToken(command, false), Error);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
}

}  // namespace
}  // namespace quobel
