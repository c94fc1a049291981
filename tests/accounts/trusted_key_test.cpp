// The certificate key a user trusted for an account: kept in the account file, counted only for
// the host it was trusted for.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "accounts/account.h"
#include "accounts/account_file.h"
#include "core/ini_file.h"
#include "support/run_inspect.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

const char kPin[] = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

std::string FileText(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(TrustedKey, RoundTripsAndOnlyAPinnedAccountCarriesTheKeys) {
    const TempFolder folder;
    const std::string path = folder.File("a.ini");
    TAccount account;
    account.POP.Host = "mail.example.org";
    SaveAccount(account, path);
    EXPECT_EQ(FileText(path).find("Trusted"), std::string::npos);

    account.TrustedKey = {"mail.example.org", kPin};
    SaveAccount(account, path);
    TAccount read;
    LoadAccount(read, path);
    EXPECT_EQ(read.TrustedKey, account.TrustedKey);
    const TAccount copy(read);  // a task's copy
    EXPECT_EQ(copy.TrustedKey, account.TrustedKey);

    // The inspect tool shows it as the program reads it.
    const auto inspected = testing::RunInspect({"account", path});
    ASSERT_EQ(inspected.exitCode, 0);
    const auto json = nlohmann::json::parse(inspected.output);
    EXPECT_EQ(json["POP"]["TrustedHost"], "mail.example.org");
    EXPECT_EQ(json["POP"]["TrustedKey"], kPin);

    // Forgetting the key takes both keys out of the file again.
    read.TrustedKey = {};
    SaveAccount(read, path);
    const TIniFile ini(path);
    EXPECT_FALSE(ini.ValueExists("POP", "TrustedHost"));
    EXPECT_FALSE(ini.ValueExists("POP", "TrustedKey"));
}

TEST(TrustedKey, CountsOnlyForTheHostItWasTrustedFor) {
    struct Case {
        const char* name;
        const char* accountHost;
        const char* trustedHost;
        const char* key;
        std::string pinned;
    };
    const Case cases[] = {
        {"same host", "mail.example.org", "mail.example.org", kPin, kPin},
        {"host names ignore case", "Mail.Example.ORG", "mail.example.org", kPin, kPin},
        {"another host", "pop.example.org", "mail.example.org", kPin, ""},
        {"nothing trusted", "mail.example.org", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TAccount account;
        account.POP.Host = c.accountHost;
        account.TrustedKey = {c.trustedHost, c.key};
        EXPECT_EQ(account.PinnedKeyForHost(), c.pinned);
    }
}

}  // namespace
}  // namespace quobel
