// quobel-inspect check killed (SIGKILL) at random moments of a long first check and of its
// progress saves: afterwards every known key has its row, no row is there twice, the table loads
// and every row's header block reads; a later check completes with exactly one row per message
// on the server. The moments are drawn from a seed that is printed (QUOBEL_KILL_SEED repeats a
// run).
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "accounts/account_file.h"
#include "cycle_fixture.h"
#include "support/run_inspect.h"
#include "support/server_keys.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::Dovecot;
using testing::PutMessage;
using testing::RunInspect;
using testing::SampleMessage;
using testing::TempFolder;

// Starts `quobel-inspect check` on the folder with its output thrown away.
pid_t StartCheck(const std::string& folder, const std::string& saveEvery) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(QUOBEL_INSPECT_PATH, QUOBEL_INSPECT_PATH, "check", "--save-every",
                saveEvery.c_str(), folder.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return child;
}

// What a killed check left on disk, read as the program reads it at its next start.
struct Saved {
    bool loads = false;
    std::multiset<std::string> rows;  // the keys of the Inbox rows
    std::set<std::string> known;      // the account file's keys
    size_t unreadable = 0;            // rows whose header block cannot be read
};

Saved ReadSaved(const std::string& folder, const std::string& accountFile) {
    Saved saved;
    TAccounts accounts(folder + "/accounts");
    TMailBox inbox(&accounts);
    inbox.ReadOnly = true;
    try {
        if (FileExists(folder + "/mailbox/Inbox/box.dat")) {
            inbox.LoadTable(folder + "/mailbox/Inbox");
        }
        saved.loads = true;
    } catch (const std::exception& failure) {
        ADD_FAILURE() << "the table does not load: " << failure.what();
    }
    for (size_t i = 0; i < inbox.Items.Count(); ++i) {
        const TMailItem& item = inbox.Items.Items(i);
        saved.rows.insert(item.UIDL);
        std::string bytes;
        saved.unreadable += item.TryReadCacheFile(bytes) ? 0 : 1;
    }
    TAccount stored;
    LoadAccount(stored, accountFile);
    const std::vector<std::string> keys = stored.UIDL.Keys();
    saved.known.insert(keys.begin(), keys.end());
    return saved;
}

uint32_t Seed() {
    if (const char* given = std::getenv("QUOBEL_KILL_SEED")) {
        return static_cast<uint32_t>(std::strtoul(given, nullptr, 10));
    }
    return std::random_device()();
}

TEST(KilledCheckTest, AKilledCheckNeverLeavesAKnownKeyWithoutItsRowAndTheNextOneCompletes) {
    const std::string user = CreateMailUser("kill", "pw");
    constexpr size_t kMessages = 3000;
    for (size_t n = 1; n <= kMessages; ++n) {
        PutMessage(user, "k" + std::to_string(n), SampleMessage(static_cast<int>(n)));
    }
    std::set<std::string> onServer;
    {
        TQBPOP3 pop;
        testing::Configure(pop, user, "pw");
        pop.Connect();
        onServer = testing::ServerKeysOf(pop);
        pop.Disconnect();
    }
    ASSERT_EQ(onServer.size(), kMessages);

    const TempFolder data;
    TAccount account;
    account.ID = Md5Hex(user);
    account.Name = user;
    account.Synchronize = true;
    account.POP.Host = Dovecot().Host;
    account.POP.Port = Dovecot().Pop3Port;
    account.POP.Username = user;
    account.POP.Password = "pw";
    const std::string accountFile = TAccounts::FileNameOf(data.File("accounts"), account);
    const auto startAfresh = [&] {
        std::filesystem::remove_all(data.File("mailbox"));
        ForceFolders(data.File("accounts"));
        SaveAccount(account, accountFile);
    };
    startAfresh();

    const uint32_t seed = Seed();
    std::cout << "kill test seed: " << seed << " (QUOBEL_KILL_SEED=" << seed << " repeats it)\n";
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // The kills fall anywhere in a first check of this size, or shortly after it: how long one
    // takes is measured first.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunInspect({"check", data.Path()}).exitCode, 0);
    const auto firstCheck = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    startAfresh();
    std::uniform_int_distribution<int> moment(
        5, std::max(50, static_cast<int>(firstCheck.count() * 6 / 5)));
    size_t killedWithProgress = 0;
    for (int round = 0; round < 30; ++round) {
        const int after = moment(random);
        // Every other round saves after every batch, so that kills fall into saves often.
        const std::string saveEvery = round % 2 == 0 ? "0" : "40";
        SCOPED_TRACE("round " + std::to_string(round) + ", killed after " + std::to_string(after) +
                     " ms, saving every " + saveEvery + " ms");
        const pid_t child = StartCheck(data.Path(), saveEvery);
        ASSERT_GT(child, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(after));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const Saved saved = ReadSaved(data.Path(), accountFile);
        ASSERT_TRUE(saved.loads);
        for (const std::string& key : saved.known) {
            ASSERT_TRUE(saved.rows.contains(key)) << "a known key without its row";
        }
        const std::set<std::string> distinct(saved.rows.begin(), saved.rows.end());
        ASSERT_EQ(distinct.size(), saved.rows.size()) << "a message filed twice";
        // A kill loses no written bytes: every saved row has its header block.
        EXPECT_EQ(saved.unreadable, 0u);
        const bool partial = !saved.rows.empty() && saved.rows.size() < kMessages;
        killedWithProgress += partial ? 1 : 0;
        if (saved.rows.size() == kMessages && saved.known.size() == kMessages) {
            startAfresh();  // the next kill falls into a first check again
        }
    }
    // Some kills fell into the middle of a check, after some of its progress was saved.
    EXPECT_GT(killedWithProgress, 0u);

    const auto result = RunInspect({"check", data.Path()});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const Saved saved = ReadSaved(data.Path(), accountFile);
    EXPECT_EQ(std::set<std::string>(saved.rows.begin(), saved.rows.end()), onServer);
    EXPECT_EQ(saved.rows.size(), kMessages);
    EXPECT_EQ(saved.known, onServer);
    EXPECT_EQ(saved.unreadable, 0u);
}

}  // namespace
}  // namespace quobel
