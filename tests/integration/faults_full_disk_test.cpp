// A disk that fills up during a check and during a save: every failed write is reported, what
// was on disk before stays intact, no known key is left without its row, and once there is
// space again the next check writes everything that was pending. The data folder lives on a
// small tmpfs mounted in a mount namespace of the test's own (root only: skipped elsewhere).
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "accounts/account_file.h"
#include "cycle_fixture.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::Dovecot;
using testing::PutMessage;
using testing::TempFolder;

constexpr size_t kPage = 4096;

// A tmpfs of a given size at a folder, seen by this process and its children only.
class SmallDisk {
  public:
    SmallDisk(const std::string& folder, size_t bytes) : folder_(folder) {
        if (::unshare(CLONE_NEWNS) != 0) {
            problem_ = std::string("cannot make a mount namespace: ") + std::strerror(errno);
            return;
        }
        // Mounts made from here on stay in this namespace.
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("quobel-test", folder.c_str(), "tmpfs", 0, Options(bytes).c_str()) != 0) {
            problem_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    const std::string& Problem() const { return problem_; }

    void Resize(size_t bytes) const {
        ASSERT_EQ(
            ::mount("quobel-test", folder_.c_str(), "tmpfs", MS_REMOUNT, Options(bytes).c_str()), 0)
            << std::strerror(errno);
    }

    size_t FreeBytes() const {
        struct statvfs info {};
        EXPECT_EQ(::statvfs(folder_.c_str(), &info), 0);
        return static_cast<size_t>(info.f_bavail) * info.f_frsize;
    }

  private:
    static std::string Options(size_t bytes) {
        return "size=" + std::to_string(bytes) + ",mode=0700";
    }

    std::string folder_;
    std::string problem_;
    bool mounted_ = false;
};

struct CheckRun {
    int exitCode = -1;
    std::string output;  // the JSON report, when there is one
    std::string errors;  // standard error
};

CheckRun RunCheck(const std::string& data, const std::string& scratch) {
    const std::string errorsFile = scratch + "/check.err";
    const std::string command =
        std::string(QUOBEL_INSPECT_PATH) + " check '" + data + "' 2>'" + errorsFile + "'";
    CheckRun run;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errors(errorsFile);
    std::stringstream text;
    text << errors.rdbuf();
    run.errors = text.str();
    return run;
}

// Everything the report and standard error say went wrong, in one text.
std::string Reported(const CheckRun& run) {
    std::string text = run.errors;
    const auto json = nlohmann::json::parse(run.output, nullptr, false);
    if (!json.is_discarded() && json.contains("errors")) {
        for (const auto& error : json["errors"]) {
            text += error.value("Message", "") + " " + error.value("Details", "") + "\n";
        }
    }
    return text;
}

struct StoreOnDisk {
    std::set<std::string> Known;      // the account's known keys
    std::multiset<std::string> Rows;  // the Inbox rows' keys
};

// Reads the data folder as the program would at its next start.
StoreOnDisk ReadStore(const std::string& data) {
    StoreOnDisk store;
    const std::string accountsFolder = JoinPath(data, "accounts");
    TAccounts accounts(accountsFolder);
    EXPECT_TRUE(accounts.LoadFromFolder(accountsFolder).empty());
    for (size_t i = 0; i < accounts.Count(); ++i) {
        const auto& keys = accounts.Items(i).UIDL.Keys();
        store.Known.insert(keys.begin(), keys.end());
    }
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(JoinPath(data, "mailbox"));
    inbox.ReadOnly = true;
    inbox.EnsureLoaded();  // the table loads
    for (size_t i = 0; i < inbox.Items.Count(); ++i) {
        store.Rows.insert(inbox.Items.Items(i).UIDL);
    }
    return store;
}

// Nothing lost: every known key has exactly one row, and no row is there twice.
void ExpectConsistent(const StoreOnDisk& store) {
    for (const std::string& key : store.Known) {
        EXPECT_EQ(store.Rows.count(key), 1u) << "known key without its row: " << key;
    }
    for (const std::string& key : store.Rows) {
        EXPECT_EQ(store.Rows.count(key), 1u) << "row twice: " << key;
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A message with a header large enough that each one's cached header block counts, whether
// the blocks have files of their own or share the header log.
std::string LongHeaderMessage(int n) {
    return "From: Sender " + std::to_string(n) + " <s" + std::to_string(n) +
           "@example.org>\r\nTo: me@example.org\r\nSubject: message " + std::to_string(n) +
           "\r\nX-Padding: " + std::string(2400, 'p') +
           "\r\nDate: Tue, 01 Dec 2026 10:00:00 +0000\r\n\r\nBody " + std::to_string(n) + "\r\n";
}

class FullDiskTest : public ::testing::Test {
  protected:
    void SetUp() override {
        disk_ = std::make_unique<SmallDisk>(mount_.Path(), 64 * kPage);
        if (!disk_->Problem().empty()) {
            GTEST_SKIP() << "A small disk needs a private mount namespace (root): "
                         << disk_->Problem();
        }
        data_ = mount_.File("data");
        ForceFolders(JoinPath(data_, "accounts"));
        user_ = CreateMailUser("fulldisk", "pw");
        TAccount account;
        account.ID = Md5Hex(user_);
        account.Name = user_;
        account.Synchronize = true;
        account.POP.Host = Dovecot().Host;
        account.POP.Port = Dovecot().Pop3Port;
        account.POP.Username = user_;
        account.POP.Password = "pw";
        SaveAccount(account, TAccounts::FileNameOf(JoinPath(data_, "accounts"), account));
    }

    void Deliver(int from, int to) {
        for (int n = from; n < to; ++n) {
            char id[16];
            std::snprintf(id, sizeof id, "m%05d", n);
            PutMessage(user_, id, LongHeaderMessage(n));
            ++delivered_;
        }
    }

    TempFolder scratch_;
    TempFolder mount_;
    std::unique_ptr<SmallDisk> disk_;
    std::string data_;
    std::string user_;
    size_t delivered_ = 0;  // the messages on the server
};

TEST_F(FullDiskTest, CheckOnAFillingDiskLosesNothingAndFinishesOnceThereIsSpace) {
    // Each header block takes more than half a page: 150 of them cannot fit into 64 pages.
    Deliver(0, 150);
    const CheckRun full = RunCheck(data_, scratch_.Path());
    EXPECT_NE(full.exitCode, 0) << full.output;
    EXPECT_NE(Reported(full).find("Unable to write to"), std::string::npos) << Reported(full);
    ExpectConsistent(ReadStore(data_));

    disk_->Resize(4096 * kPage);
    const CheckRun roomy = RunCheck(data_, scratch_.Path());
    EXPECT_EQ(roomy.exitCode, 0) << Reported(roomy);
    const StoreOnDisk store = ReadStore(data_);
    ExpectConsistent(store);
    EXPECT_EQ(store.Known.size(), delivered_);
    EXPECT_EQ(std::set<std::string>(store.Rows.begin(), store.Rows.end()), store.Known);
}

TEST_F(FullDiskTest, FailedTableSaveKeepsThePreviousTableAndTheKeysWait) {
    disk_->Resize(4096 * kPage);
    Deliver(0, 40);
    ASSERT_EQ(RunCheck(data_, scratch_.Path()).exitCode, 0);
    const std::string table = JoinPath(data_, "mailbox/Inbox/box.dat");
    const std::string before = ReadBytes(table);
    ASSERT_FALSE(before.empty());

    // Room for the new header blocks and the account file, not for a second copy of the table:
    // the check gets as far as saving the table, and that fails. Half as many new rows again
    // are too many for the journal of added rows: the table is written whole.
    constexpr int kNew = 20;
    Deliver(40, 40 + kNew);
    const size_t tablePages = (before.size() + kPage - 1) / kPage;
    // The pages the header log grows by with the new header blocks (each with its record head
    // of about 50 bytes), one for the account file, and half the table.
    const std::string log = JoinPath(data_, "mailbox/Inbox/headers.qbl");
    const size_t logBefore = ReadBytes(log).size();
    size_t logAfter = logBefore;
    for (int n = 40; n < 40 + kNew; ++n) {
        logAfter += LongHeaderMessage(n).find("\r\n\r\n") + 4 + 64;
    }
    const size_t blockPages = (logAfter + kPage - 1) / kPage - (logBefore + kPage - 1) / kPage;
    const size_t leave = (blockPages + 1) * kPage + tablePages / 2 * kPage;
    const size_t free = disk_->FreeBytes();
    ASSERT_GT(free, leave);
    {
        std::ofstream filler(mount_.File("filler"), std::ios::binary);
        filler << std::string(free - leave, 'f');
    }
    const CheckRun full = RunCheck(data_, scratch_.Path());
    EXPECT_NE(full.exitCode, 0) << full.output;
    EXPECT_NE(Reported(full).find("Unable to write to " + table), std::string::npos)
        << Reported(full);
    EXPECT_EQ(ReadBytes(table), before);  // the previous table, whole
    const StoreOnDisk waiting = ReadStore(data_);
    ExpectConsistent(waiting);
    EXPECT_EQ(waiting.Known.size(), 40u);  // the new keys wait for their rows

    ASSERT_EQ(::unlink(mount_.File("filler").c_str()), 0);
    const CheckRun roomy = RunCheck(data_, scratch_.Path());
    EXPECT_EQ(roomy.exitCode, 0) << Reported(roomy);
    const StoreOnDisk store = ReadStore(data_);
    ExpectConsistent(store);
    EXPECT_EQ(store.Known.size(), delivered_);
    EXPECT_EQ(std::set<std::string>(store.Rows.begin(), store.Rows.end()), store.Known);
}

// The program keeps running through a full disk: what could not be written stays pending, the
// check goes on, and once there is room the next check and the exit write everything.
TEST_F(FullDiskTest, ARunningProgramWritesWhatWasPendingOnceThereIsSpace) {
    Deliver(0, 150);
    // The world's data folder is made on the small disk.
    ASSERT_EQ(::setenv("TMPDIR", mount_.Path().c_str(), 1), 0);
    CycleWorld world;
    world.AddAccount(user_, "pw");
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    bool reported = false;
    for (size_t i = 0; i < world.Errors.Count(); ++i) {
        reported = reported ||
                   world.Errors.Items(i).Message.find("Unable to write to") != std::string::npos;
    }
    EXPECT_TRUE(reported);

    disk_->Resize(4096 * kPage);
    world.Controller->actSynchronize();
    ASSERT_TRUE(world.RunUntilIdle());
    // A message whose header could not be written was not filed: it is listed once, now.
    EXPECT_EQ(world.Inbox().Items.Count(), delivered_);
    world.Controller->Shutdown();
    const StoreOnDisk store = ReadStore(world.Data.Path());
    ExpectConsistent(store);
    EXPECT_EQ(store.Known.size(), delivered_);
    EXPECT_EQ(std::set<std::string>(store.Rows.begin(), store.Rows.end()), store.Known);
}

}  // namespace
}  // namespace quobel
