// quobel-inspect reads and moves passwords as the program does, with a private keyring or none.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

#include "accounts/account_file.h"
#include "accounts/account_passwords.h"
#include "accounts/accounts.h"
#include "core/file_util.h"
#include "core/ini_file.h"
#include "platform/secret_service_store.h"
#include "support/private_keyring.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::PrivateKeyring;
using testing::TempFolder;

struct InspectRun {
    int ExitCode = -1;
    std::string Output;  // standard output, or standard error when asked for
};

// Runs quobel-inspect through the shell with the environment prefix, keeping one stream.
InspectRun Inspect(const std::string& environment, const std::string& arguments, bool errors) {
    const std::string command = environment + " " + QUOBEL_INSPECT_PATH + " " + arguments +
                                (errors ? " 2>&1 >/dev/null" : " 2>/dev/null");
    InspectRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.Output.append(buffer.data(), got);
    }
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A data folder with one account that takes no part in checks, its password in the file.
std::string MakeDataFolder(const TempFolder& folder) {
    const std::string accounts = folder.File("data/accounts");
    ForceFolders(accounts);
    TAccount account;
    account.ID = "acc";
    account.Name = "Idle";
    account.Synchronize = false;
    account.POP = {"pop.example.org",         995, "ann", "in the file", false, TPOPSecurity::Tls,
                   TAuthentication::Password, {},  {}};
    SaveAccount(account, TAccounts::FileNameOf(accounts, account));
    return folder.File("data");
}

size_t CountOf(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(InspectKeyring, CheckMovesTheFilePasswordAndAccountSaysWhereItLives) {
    const PrivateKeyring keyring;
    const TempFolder folder;
    const std::string data = MakeDataFolder(folder);
    const std::string file = data + "/accounts/acc.qba";

    const InspectRun before = Inspect(keyring.Environment(), "account '" + file + "'", false);
    ASSERT_EQ(before.ExitCode, 0);
    const auto inFile = nlohmann::json::parse(before.Output);
    EXPECT_EQ(inFile["POP"]["PasswordIn"], "File");
    EXPECT_EQ(inFile["POP"]["Password"], "in the file");

    const InspectRun check = Inspect(keyring.Environment(), "check '" + data + "'", true);
    EXPECT_EQ(check.ExitCode, 0) << check.Output;
    EXPECT_EQ(check.Output, "");
    TSecretServiceStore secrets("Quobel");
    EXPECT_EQ(secrets.Lookup("acc"), "in the file");

    const InspectRun after = Inspect(keyring.Environment(), "account '" + file + "'", false);
    ASSERT_EQ(after.ExitCode, 0);
    const auto inKeyring = nlohmann::json::parse(after.Output);
    EXPECT_EQ(inKeyring["POP"]["PasswordIn"], "Keyring");
    EXPECT_FALSE(inKeyring["POP"].contains("Password"));
}

TEST(InspectKeyring, CheckWithoutABusKeepsTheFilePasswordAndSaysWhyOnce) {
    const TempFolder folder;
    const std::string data = MakeDataFolder(folder);
    const InspectRun check =
        Inspect("DBUS_SESSION_BUS_ADDRESS='unix:path=" + folder.File("no-bus") + "'",
                "check '" + data + "'", true);
    EXPECT_EQ(check.ExitCode, 0) << check.Output;
    EXPECT_EQ(CountOf(check.Output, kKeyringUnavailable), 1u) << check.Output;
    const TIniFile ini(data + "/accounts/acc.qba");
    EXPECT_EQ(ini.ReadString("POP", "PasswordIn", "(none)"), "(none)");
    EXPECT_NE(ini.ReadString("POP", "Password", ""), "");
}

}  // namespace
}  // namespace quobel
