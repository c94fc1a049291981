// A long run: the check cycle checks a Dovecot account in a loop for a bounded time, through a
// relay that breaks every few checks at a random moment (a close, or a stall the user cancels),
// while bench/soak.sh adds and deletes messages on the server, and the "user" deletes a message
// now and then and drops the rows of messages gone from the server. It prints the resident
// memory, descriptors and threads at the start and every minute, and at the end compares the
// final state with the server's.
//
//   bench_soak FACTS_FILE USER PASSWORD SECONDS FAULT_EVERY QUIET_FILE
//
// After SECONDS it waits until QUIET_FILE exists (the script has stopped changing the mailbox),
// checks once more without faults and exits 0 when every message on the server is known and
// listed once, and no known key lacks its row.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "accounts/accounts.h"
#include "core/digest.h"
#include "core/options.h"
#include "cycle/msg_list_controller.h"
#include "dovecot_facts.h"
#include "platform/event_loop_dispatcher.h"
#include "platform/memory_allocator.h"
#include "platform/sound_player.h"
#include "platform/yes_no_question.h"
#include "retrieval/errors.h"
#include "retrieval/pop_task.h"
#include "retrieval/qbpop3.h"
#include "retrieval/tasks.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/fault_relay.h"
#include "support/server_keys.h"

namespace quobel {
namespace {

using Clock = std::chrono::steady_clock;
using testing::FaultPlan;
using testing::FaultRelay;

class Silence : public SoundPlayer {
  public:
    void PlayAsync(const std::string&) override {}
};

// The user says yes to every question (the delete confirmation).
class Yes : public YesNoQuestion {
  public:
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
};

size_t EntriesIn(const char* folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

// What the program's allocations hold now, as opposed to what the allocator keeps from the system
// (resident memory): growth here is a leak, growth of resident memory alone is the allocator's.
size_t HeapInUseKilobytes() {
    const struct mallinfo2 info = ::mallinfo2();
    return (info.uordblks + info.hblkhd) / 1024;
}

long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct Server {
    std::string Host;
    int Port = 0;
    std::string User;
    std::string Password;
};

std::set<std::string> ServerKeys(const Server& server) {
    TQBPOP3 pop;
    pop.Host = server.Host;
    pop.Port = server.Port;
    pop.Username = server.User;
    pop.Password = server.Password;
    pop.Connect();
    std::set<std::string> keys = testing::ServerKeysOf(pop);
    pop.Disconnect();
    return keys;
}

class Soak {
  public:
    Soak(const Server& server, const std::string& data)
        : data_(data), relay_(server.Host, server.Port) {
        std::filesystem::create_directories(data + "/accounts");
        TAccount& account = accounts_.Add(false);
        account.ID = Md5Hex(server.User);
        account.Name = server.User;
        account.Synchronize = true;
        account.POP.Host = server.Host;
        account.POP.Port = relay_.Port();
        account.POP.Username = server.User;
        account.POP.Password = server.Password;
        TMailBox& inbox = boxes_.OpenStore(data + "/mailbox");
        inbox.EnsureLoaded();
        controller_ = std::make_unique<TMsgListController>(
            TMsgListController::Services{accounts_, *tasks_, boxes_, errors_, options_, dispatcher_,
                                         silence_, data + "/accounts"});
        controller_->Inbox = &inbox;
        controller_->Desktop.Question = &yes_;
    }
    ~Soak() {
        controller_->Shutdown();
        controller_.reset();
        tasks_.reset();
    }
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    // One check; with a fault when asked. Returns whether it settled in time.
    bool Check(bool faulty) {
        if (faulty) {
            FaultPlan plan;
            plan.What = random_() % 2 == 0 ? FaultPlan::Kind::Close : FaultPlan::Kind::Stall;
            plan.Where =
                random_() % 2 == 0 ? FaultPlan::Point::ServerByte : FaultPlan::Point::ClientCommand;
            const size_t range = plan.Where == FaultPlan::Point::ServerByte
                                     ? relay_.Last().ServerBytes + 1
                                     : relay_.Last().ClientCommands + 1;
            plan.K = random_() % std::max<size_t>(range, 1);
            relay_.Arm(plan);
            ++faults_;
        } else {
            relay_.Arm(std::nullopt);
        }
        controller_->actSynchronize();
        return Settle();
    }

    // As a user would: deletes one listed message now and then, and the rows of messages that
    // are gone from the server, so that the Inbox stays about as large as the mailbox.
    bool Tidy() {
        relay_.Arm(std::nullopt);
        TMailBox& inbox = *controller_->Inbox;
        const TAccount& account = accounts_.Items(0);
        std::vector<TMailItem*> going;
        for (size_t i = 0; i < inbox.Items.Count(); ++i) {
            TMailItem& item = inbox.Items.Items(i);
            if (!account.UIDL.Contains(item.UIDL)) {
                going.push_back(&item);
            }
        }
        if (inbox.Items.Count() > 0 && random_() % 4 == 0) {
            TMailItem& chosen = inbox.Items.Items(random_() % inbox.Items.Count());
            if (std::find(going.begin(), going.end(), &chosen) == going.end()) {
                going.push_back(&chosen);
            }
        }
        controller_->DeleteMessages(going);
        return Settle();
    }

    // Figures of a quiet moment: a finished task's thread may still be on its way out when its
    // check has settled, so the report waits (up to a second) for the threads of the start. A
    // thread that never ends still shows.
    void Report(double minutes) {
        if (startThreads_ == 0) {
            startThreads_ = EntriesIn("/proc/self/task");
        }
        dispatcher_.RunUntil([&] { return EntriesIn("/proc/self/task") <= startThreads_; },
                             std::chrono::seconds(1));
        const TMailBox& inbox = *controller_->Inbox;
        std::printf(
            "%6.1f min  checks %6zu  faults %5zu  errors %5zu  rss %7ld kB  heap %6zu kB  "
            "fds %3zu  threads %2zu  rows %4zu  known %4zu\n",
            minutes, checks_, faults_, errorsSeen_, ResidentKilobytes(), HeapInUseKilobytes(),
            EntriesIn("/proc/self/fd"), EntriesIn("/proc/self/task"), inbox.Items.Count(),
            accounts_.Items(0).UIDL.Count());
        std::fflush(stdout);
    }

    // Every message on the server known and listed once; no known key without its row.
    bool MatchesServer(const Server& server) {
        const std::set<std::string> onServer = ServerKeys(server);
        const auto& keys = accounts_.Items(0).UIDL.Keys();
        const std::set<std::string> known(keys.begin(), keys.end());
        std::multiset<std::string> rows;
        for (size_t i = 0; i < controller_->Inbox->Items.Count(); ++i) {
            rows.insert(controller_->Inbox->Items.Items(i).UIDL);
        }
        size_t missing = 0;
        size_t doubled = 0;
        for (const std::string& key : onServer) {
            missing += rows.count(key) == 0 ? 1 : 0;
            doubled += rows.count(key) > 1 ? 1 : 0;
        }
        std::printf(
            "final: server %zu messages, known %zu, rows %zu; known differs from server: "
            "%s; server messages without a row: %zu; listed twice: %zu\n",
            onServer.size(), known.size(), rows.size(), known == onServer ? "no" : "YES", missing,
            doubled);
        return known == onServer && missing == 0 && doubled == 0;
    }

    size_t checks_ = 0;

  private:
    bool Settle() {
        const bool settled = dispatcher_.RunUntil(
            [&] { return tasks_->Count() == 0 || relay_.Stalling(); }, std::chrono::minutes(2));
        if (relay_.Stalling()) {
            tasks_->CancelRunning();
        }
        const bool idle =
            dispatcher_.RunUntil([&] { return tasks_->Count() == 0; }, std::chrono::minutes(2));
        ++checks_;
        // The user reads the log and hides it.
        errorsSeen_ += errors_.Count();
        errors_.Clear();
        return settled && idle;
    }

    std::string data_;
    TEventLoopDispatcher dispatcher_;
    TAccounts accounts_{data_ + "/accounts"};
    TOptions options_{data_ + "/settings.ini"};
    TMailBoxes boxes_{&accounts_};
    TErrors errors_;
    Silence silence_;
    Yes yes_;
    std::unique_ptr<TTasks> tasks_ = std::make_unique<TTasks>(dispatcher_);
    std::unique_ptr<TMsgListController> controller_;
    FaultRelay relay_;
    std::mt19937 random_{20261210};
    size_t faults_ = 0;
    size_t errorsSeen_ = 0;
    size_t startThreads_ = 0;
};

}  // namespace
}  // namespace quobel

int main(int argc, char** argv) {
    using namespace quobel;
    // The program it stands for limits its arenas so.
    TuneMemoryAllocator();
    if (argc != 7) {
        std::fprintf(stderr,
                     "usage: bench_soak FACTS_FILE USER PASSWORD SECONDS FAULT_EVERY QUIET_FILE\n");
        return 2;
    }
    auto facts = bench::ReadDovecotFacts(argv[1]);
    const Server server{facts["HOST"], std::stoi(facts["POP3_PORT"]), argv[2], argv[3]};
    const auto length = std::chrono::seconds(std::stoi(argv[4]));
    const size_t faultEvery = std::stoul(argv[5]);
    const std::string quietFile = argv[6];
    char folder[] = "/tmp/quobel_soak_XXXXXX";
    if (::mkdtemp(folder) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    bool ok = true;
    {
        Soak soak(server, folder);
        const auto start = Clock::now();
        soak.Report(0);
        auto nextReport = start + std::chrono::minutes(1);
        size_t round = 0;
        while (Clock::now() - start < length) {
            ++round;
            ok = soak.Check(faultEvery > 0 && round % faultEvery == 0) && ok;
            if (round % 7 == 0) {
                ok = soak.Tidy() && ok;
            }
            if (Clock::now() >= nextReport) {
                soak.Report(std::chrono::duration<double>(Clock::now() - start).count() / 60);
                nextReport += std::chrono::minutes(1);
            }
        }
        while (!std::filesystem::exists(quietFile)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ok = soak.Check(false) && ok;
        soak.Report(std::chrono::duration<double>(Clock::now() - start).count() / 60);
        if (!ok) {
            std::printf("a check did not settle within two minutes\n");
        }
        ok = soak.MatchesServer(server) && ok;
    }
    std::filesystem::remove_all(folder);
    std::printf("%s\n", ok ? "soak: PASS" : "soak: FAIL");
    return ok ? 0 : 1;
}
