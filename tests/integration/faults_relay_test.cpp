// The connection breaks at every moment of a check, of the fetch of a message for a reader and of
// a delete: a relay between the program and Dovecot closes it, or holds it silent until the user
// cancels, after each byte the server sends and after each command the program sends. After
// every fault the error log has one entry, no item and no known key is lost, the data folder
// loads and agrees with itself, no thread or descriptor is left behind, and the next check ends
// where a check without faults ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "accounts/account_file.h"
#include "cycle_fixture.h"
#include "retrieval/pop_task.h"
#include "support/fault_relay.h"
#include "support/server_keys.h"

namespace quobel {
namespace {

using testing::CreateMailUser;
using testing::CycleWorld;
using testing::Dovecot;
using testing::FaultPlan;
using testing::FaultRelay;
using testing::PutMessage;
using testing::RelayedConversation;

using Clock = std::chrono::steady_clock;

constexpr int kMessages = 3;
constexpr int kFetched = 1;  // the item fetched or deleted: the second one

std::string MessageId(int n) {
    return "f" + std::to_string(n);
}

std::string Message(int n) {
    return "From: s" + std::to_string(n) + "@example.org\r\nSubject: m" + std::to_string(n) +
           "\r\n\r\nBody " + std::to_string(n) + "\r\n";
}

size_t EntriesIn(const char* folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

struct ProcessCounts {
    size_t Descriptors = 0;
    size_t Threads = 0;
    bool operator==(const ProcessCounts&) const = default;
};

ProcessCounts Counts() {
    return {EntriesIn("/proc/self/fd"), EntriesIn("/proc/self/task")};
}

// A thread that has just returned may take a moment to leave the process; `settle` lets the
// program free what it frees lazily.
void ExpectCountsReturnTo(const ProcessCounts& before, const std::function<void()>& settle = {}) {
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
    ProcessCounts now = Counts();
    while (!(now == before) && Clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (settle) {
            settle();
        }
        now = Counts();
    }
    EXPECT_EQ(now.Descriptors, before.Descriptors) << "descriptors left behind";
    EXPECT_EQ(now.Threads, before.Threads) << "threads left behind";
}

// The keys of the messages on the server, as the program names them.
std::set<std::string> ServerKeys(const std::string& user) {
    TQBPOP3 pop;
    testing::Configure(pop, user, "pw");
    pop.Connect();
    std::set<std::string> keys = testing::ServerKeysOf(pop);
    pop.Disconnect();
    return keys;
}

struct StoreState {
    std::set<std::string> Known;      // the account's known keys
    std::multiset<std::string> Rows;  // the Inbox rows' keys
};

StoreState InMemory(CycleWorld& world) {
    StoreState state;
    const auto& keys = world.Accounts.Items(0).UIDL.Keys();
    state.Known.insert(keys.begin(), keys.end());
    for (size_t i = 0; i < world.Inbox().Items.Count(); ++i) {
        state.Rows.insert(world.Inbox().Items.Items(i).UIDL);
    }
    return state;
}

// The data folder as the program would read it at its next start.
StoreState OnDisk(CycleWorld& world) {
    StoreState state;
    TAccounts accounts(world.AccountsFolder);
    EXPECT_TRUE(accounts.LoadFromFolder(world.AccountsFolder).empty());
    for (size_t i = 0; i < accounts.Count(); ++i) {
        const auto& keys = accounts.Items(i).UIDL.Keys();
        state.Known.insert(keys.begin(), keys.end());
    }
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(world.Data.File("mailbox"));
    inbox.ReadOnly = true;
    inbox.EnsureLoaded();
    for (size_t i = 0; i < inbox.Items.Count(); ++i) {
        state.Rows.insert(inbox.Items.Items(i).UIDL);
    }
    return state;
}

// Every known key has its one row, and no row is there twice.
void ExpectConsistent(const StoreState& state, const char* where) {
    SCOPED_TRACE(where);
    for (const std::string& key : state.Known) {
        EXPECT_EQ(state.Rows.count(key), 1u) << "known key without its row: " << key;
    }
    for (const std::string& key : state.Rows) {
        EXPECT_EQ(state.Rows.count(key), 1u) << "row twice: " << key;
    }
}

bool Includes(const std::set<std::string>& big, const std::set<std::string>& small) {
    return std::includes(big.begin(), big.end(), small.begin(), small.end());
}

std::set<std::string> Unique(const std::multiset<std::string>& rows) {
    return {rows.begin(), rows.end()};
}

enum class Operation { Check, Fetch, Delete };

// Whether the program must notice the fault. A connection broken right after the last byte the
// program needs, before its "QUIT", may or may not be noticed, but never more than once.
enum class Felt { Yes, No, Maybe };

const char* NameOf(Operation operation) {
    switch (operation) {
        case Operation::Check:
            return "check";
        case Operation::Fetch:
            return "fetch";
        case Operation::Delete:
            return "delete";
    }
    return "";
}

std::string Describe(const std::optional<FaultPlan>& plan) {
    if (!plan) {
        return "no fault";
    }
    return std::string(plan->What == FaultPlan::Kind::Close ? "close" : "stall") + " after " +
           (plan->Where == FaultPlan::Point::ServerByte ? "server byte " : "client command ") +
           std::to_string(plan->K);
}

size_t ByteStride() {
    const char* text = std::getenv("QUOBEL_FAULT_BYTE_STRIDE");
    const int stride = text != nullptr ? std::atoi(text) : 7;
    return stride > 0 ? static_cast<size_t>(stride) : 1;
}

size_t NextByte(size_t k, size_t needed) {
    const size_t next = k + ByteStride();
    return next >= needed - 1 && k < needed - 1 ? needed - 1
                                                : std::min(next, k == needed ? k + 1 : needed);
}

class RelaySweep : public ::testing::Test {
  protected:
    // One run of the operation, with the fault, and the check after it. Returns what the
    // connection carried (the whole conversation when there was no fault).
    RelayedConversation Run(Operation operation, const std::optional<FaultPlan>& plan, Felt felt) {
        SCOPED_TRACE(std::string(NameOf(operation)) + ", " + Describe(plan));
        // A delete changes the mailbox: each run has one of its own.
        if (operation == Operation::Delete || user_.empty()) {
            user_ = CreateMailUser("relay", "pw");
            for (int n = 0; n < kMessages; ++n) {
                PutMessage(user_, MessageId(n), Message(n));
            }
        }
        const ProcessCounts outside = Counts();
        RelayedConversation carried;
        {
            CycleWorld world;
            world.WriteSetting("Confirmations", "Delete", "0");
            TAccount& account = world.AddAccount(user_, "pw");
            if (operation != Operation::Check) {
                // What a check left: the messages' headers, their keys known.
                world.Controller->actSynchronize();
                EXPECT_TRUE(world.RunUntilIdle());
                EXPECT_EQ(world.Inbox().Items.Count(), static_cast<size_t>(kMessages));
            }
            account.POP.Host = "127.0.0.1";
            account.POP.Port = relay_.Port();
            const StoreState before = InMemory(world);
            const size_t errorsBefore = world.Errors.Count();
            // The queue keeps its last task (and its session's descriptor) until it is next
            // started: let it go, here and before each count below.
            const auto reap = [&] { world.Tasks->StartNext(); };
            // The world itself runs no thread: the seeding check's has ended once the count is
            // back to what it was outside.
            const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
            while (Counts().Threads != outside.Threads && Clock::now() < limit) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            reap();
            const ProcessCounts inside = Counts();

            relay_.Arm(plan);
            TMailItem* target = nullptr;
            std::string headerOnly;
            switch (operation) {
                case Operation::Check:
                    world.Controller->actSynchronize();
                    break;
                case Operation::Fetch:
                    target = &world.Inbox().Items.Items(kFetched);
                    EXPECT_TRUE(target->TryReadCacheFile(headerOnly));
                    world.Controller->FetchMessage(*target, [](TMailItem&, bool) {});
                    break;
                case Operation::Delete:
                    world.Desktop.Selected = {&world.Inbox().Items.Items(kFetched)};
                    world.Controller->actDelete();
                    break;
            }
            // A silent connection is the user's to cancel.
            EXPECT_TRUE(world.Dispatcher.RunUntil(
                [&] { return world.Tasks->Count() == 0 || relay_.Stalling(); },
                std::chrono::minutes(1)));
            if (relay_.Stalling()) {
                world.Tasks->CancelRunning();
            }
            EXPECT_TRUE(world.RunUntilIdle());
            EXPECT_TRUE(
                world.Dispatcher.RunUntil([&] { return relay_.Idle(); }, std::chrono::seconds(10)));
            carried = relay_.Last();

            // One clear entry when the fault reached the program, none when it came too late.
            const size_t logged = world.Errors.Count() - errorsBefore;
            std::string entries;
            for (size_t i = errorsBefore; i < world.Errors.Count(); ++i) {
                entries +=
                    world.Errors.Items(i).Message + " (" + world.Errors.Items(i).Details + ")\n";
            }
            if (felt == Felt::Maybe) {
                EXPECT_LE(logged, 1u) << entries;
            } else {
                EXPECT_EQ(logged, felt == Felt::Yes ? 1u : 0u) << entries;
            }
            for (size_t i = errorsBefore; i < world.Errors.Count(); ++i) {
                EXPECT_FALSE(world.Errors.Items(i).Message.empty());
                EXPECT_FALSE(world.Errors.Items(i).Details.empty());
            }
            // Nothing lost, nothing half-written.
            const StoreState after = InMemory(world);
            ExpectConsistent(after, "in memory");
            ExpectConsistent(OnDisk(world), "on disk");
            if (operation == Operation::Check) {
                EXPECT_EQ(Unique(after.Rows), after.Known);
            } else {
                std::set<std::string> kept = before.Known;
                if (operation == Operation::Delete) {
                    kept.erase(Md5Hex(MessageId(kFetched)));
                }
                EXPECT_TRUE(Includes(after.Known, kept));
                EXPECT_TRUE(Includes(Unique(after.Rows), kept));
            }
            if (target != nullptr) {
                std::string cached;
                EXPECT_TRUE(target->TryReadCacheFile(cached));
                if (target->Downloaded) {
                    EXPECT_NE(cached.find("Body " + std::to_string(kFetched)), std::string::npos);
                } else {
                    EXPECT_EQ(cached, headerOnly);
                }
            }
            ExpectCountsReturnTo(inside, reap);

            // The next check ends where a check without faults ends: the server's messages,
            // each known and listed once.
            relay_.Arm(std::nullopt);
            const size_t errorsBeforeCheck = world.Errors.Count();
            world.Controller->actSynchronize();
            EXPECT_TRUE(world.RunUntilIdle());
            EXPECT_EQ(world.Errors.Count(), errorsBeforeCheck);
            const StoreState settled = InMemory(world);
            ExpectConsistent(settled, "after the next check");
            const std::set<std::string> onServer = ServerKeys(user_);
            EXPECT_EQ(settled.Known, onServer);
            EXPECT_EQ(Unique(settled.Rows), onServer);
            EXPECT_TRUE(
                world.Dispatcher.RunUntil([&] { return relay_.Idle(); }, std::chrono::seconds(10)));
            ExpectCountsReturnTo(inside, reap);
        }
        ExpectCountsReturnTo(outside);
        return carried;
    }

    // Every fault over the operation's conversation, as a run without faults carries it.
    void Sweep(Operation operation) {
        const RelayedConversation whole = Run(operation, std::nullopt, Felt::No);
        ASSERT_GT(whole.ClientCommands, 2u);
        // What the program needs: everything before its "QUIT", whose reply it does not read.
        const size_t needed = whole.ServerBytesBeforeLastCommand;
        for (const auto what : {FaultPlan::Kind::Close, FaultPlan::Kind::Stall}) {
            // Every byte when QUOBEL_FAULT_BYTE_STRIDE=1; by default every seventh (a prime, so
            // the faults fall at every place of the lines) and the last two, which keeps the
            // sweep within the sanitizer stage's time.
            for (size_t k = 0; k <= needed; k = NextByte(k, needed)) {
                Run(operation, FaultPlan{what, FaultPlan::Point::ServerByte, k},
                    k < needed ? Felt::Yes : Felt::Maybe);
                if (HasFailure()) {
                    return;  // one broken case tells enough
                }
            }
            for (size_t k = 1; k <= whole.ClientCommands; ++k) {
                Run(operation, FaultPlan{what, FaultPlan::Point::ClientCommand, k},
                    k < whole.ClientCommands ? Felt::Yes : Felt::Maybe);
                if (HasFailure()) {
                    return;
                }
            }
        }
    }

    FaultRelay relay_{Dovecot().Host, Dovecot().Pop3Port};
    std::string user_;
};

TEST_F(RelaySweep, EveryFaultInACheckLosesNothing) {
    Sweep(Operation::Check);
}

TEST_F(RelaySweep, EveryFaultInTheFetchForAReaderLosesNothing) {
    Sweep(Operation::Fetch);
}

TEST_F(RelaySweep, EveryFaultInADeleteLosesNothing) {
    Sweep(Operation::Delete);
}

}  // namespace
}  // namespace quobel
