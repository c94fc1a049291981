#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "accounts/account_file.h"
#include "support/run_inspect.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::RunInspect;
using testing::TempFolder;

TEST(InspectTool, PrintsAnAccountWithItsPasswordAndKnownKeys) {
    const TempFolder folder;
    TAccount account;
    account.Name = "Home";
    account.POP = {
        "localhost", 110, "me", "pa ss", false, TPOPSecurity::StartTls, TAuthentication::Password,
        {},          {}};
    account.UIDL.Assign({"k1", "k2"});
    SaveAccount(account, folder.File("0123.qba"));

    const auto result = RunInspect({"account", folder.File("0123.qba")});
    ASSERT_EQ(result.exitCode, 0);
    const auto json = nlohmann::json::parse(result.output);
    EXPECT_EQ(json["ID"], "0123");
    EXPECT_EQ(json["POP"]["PasswordIn"], "File");
    EXPECT_EQ(json["POP"]["Password"], "pa ss");
    EXPECT_EQ(json["POP"]["TLS"], 1);
    EXPECT_EQ(json["UIDL"], nlohmann::json::array({"k1", "k2"}));

    // A password in the keyring is not shown: only where it lives.
    account.PasswordPlace = TPasswordPlace::Keyring;
    SaveAccount(account, folder.File("0123.qba"));
    const auto keyring =
        nlohmann::json::parse(RunInspect({"account", folder.File("0123.qba")}).output);
    EXPECT_EQ(keyring["POP"]["PasswordIn"], "Keyring");
    EXPECT_FALSE(keyring["POP"].contains("Password"));
}

TEST(InspectTool, PrintsHowAnAccountSignsInButNotItsClientSecret) {
    const TempFolder folder;
    TAccount account;
    account.POP.Authentication = TAuthentication::OAuth2;
    account.POP.OAuth = {
        "custom", "client-1", "very secret", "https://a.example/auth", "https://a.example/token",
        "pop"};
    account.POP.TokenCommand = "oama access ann";
    SaveAccount(account, folder.File("tok.qba"));

    const auto result = RunInspect({"account", folder.File("tok.qba")});
    ASSERT_EQ(result.exitCode, 0);
    const auto pop = nlohmann::json::parse(result.output)["POP"];
    EXPECT_EQ(pop["Authentication"], 1);
    EXPECT_EQ(pop["TokenCommand"], "oama access ann");
    EXPECT_EQ(pop["OAuthProvider"], "custom");
    EXPECT_EQ(pop["OAuthClientId"], "client-1");
    EXPECT_EQ(pop["OAuthAuthorizationUrl"], "https://a.example/auth");
    EXPECT_EQ(pop["OAuthTokenUrl"], "https://a.example/token");
    EXPECT_EQ(pop["OAuthScope"], "pop");
    EXPECT_EQ(pop["OAuthClientSecret"], "(set)");
    EXPECT_EQ(result.output.find("very secret"), std::string::npos);
}

TEST(InspectTool, PrintsSettingsWithDefaultsApplied) {
    const TempFolder folder;
    std::FILE* file = std::fopen(folder.File("settings.ini").c_str(), "wb");
    std::fputs("[General]\r\nInterval=0x0A\r\n[Bar]\r\nEdge=ten\r\n", file);
    std::fclose(file);
    const auto result = RunInspect({"settings", folder.File("settings.ini")});
    ASSERT_EQ(result.exitCode, 0);
    const auto json = nlohmann::json::parse(result.output);
    EXPECT_EQ(json["General"]["Interval"], 10);
    EXPECT_EQ(json["General"]["Check"], true);
    EXPECT_EQ(json["Bar"]["Edge"], 5);
    EXPECT_EQ(json["Reader.Font"]["Name"], "Courier New");
}

TEST(InspectTool, AnIntervalBelowOneMinuteIsShownAsOneMinute) {
    const TempFolder folder;
    std::FILE* file = std::fopen(folder.File("settings.ini").c_str(), "wb");
    std::fputs("[General]\r\nInterval=0\r\n", file);
    std::fclose(file);
    const auto result = RunInspect({"settings", folder.File("settings.ini")});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(nlohmann::json::parse(result.output)["General"]["Interval"], 1);
}

TEST(InspectTool, BadInputGivesExitCodeOne) {
    const TempFolder folder;
    EXPECT_EQ(RunInspect({"account", folder.File("missing.qba")}).exitCode, 1);
    EXPECT_EQ(RunInspect({"settings", folder.Path()}).exitCode, 1);
    EXPECT_EQ(RunInspect({"no-such-command"}).exitCode, 1);
    EXPECT_EQ(RunInspect({}).exitCode, 1);
}

}  // namespace
}  // namespace quobel
