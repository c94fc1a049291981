// A pipelined check against a scripted server, wired to the real windows offscreen: its new mail
// fills the listed Inbox while the check is still running, in batches, and is announced once.
#include <gmock/gmock.h>

#include <QLabel>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/memory_transport.h"
#include "reader_fixture.h"

namespace quobel::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// A scripted server that stops answering at a given byte of its script until the test lets it
// go on: the check is caught in the middle.
struct Gate {
    std::mutex Mutex;
    std::condition_variable Opened;
    size_t At = 0;
    bool Open = false;

    void Release() {
        const std::lock_guard lock(Mutex);
        Open = true;
        Opened.notify_all();
    }
};

class GatedTransport : public TTransport {
  public:
    GatedTransport(std::shared_ptr<TMemoryPeer> peer, std::shared_ptr<Gate> gate)
        : peer_(peer), inner_(peer), gate_(std::move(gate)) {}

    void Write(std::string_view bytes) override { inner_.Write(bytes); }
    size_t Read(char* buffer, size_t capacity) override {
        std::unique_lock lock(gate_->Mutex);
        if (peer_->Delivered < gate_->At) {
            capacity = std::min(capacity, gate_->At - peer_->Delivered);
        } else {
            gate_->Opened.wait(lock, [&] { return gate_->Open; });
        }
        return inner_.Read(buffer, capacity);
    }
    void StartTls(const TTlsTrust& trust) override { inner_.StartTls(trust); }
    void Close() noexcept override { inner_.Close(); }

  private:
    std::shared_ptr<TMemoryPeer> peer_;
    TMemoryTransport inner_;
    std::shared_ptr<Gate> gate_;
};

// A session with PIPELINING offered and the messages uid-1..uid-N, whose server stops before
// the message after `gateAfter` until the gate opens.
std::string PipelinedSession(int messages, int gateAfter, Gate& gate) {
    std::string server = "+OK hello\r\n+OK\r\nPIPELINING\r\n.\r\n+OK\r\n+OK in\r\n+OK\r\n";
    for (int n = 1; n <= messages; ++n) {
        server += std::to_string(n) + " uid-" + std::to_string(n) + "\r\n";
    }
    server += ".\r\n";
    for (int n = 1; n <= messages; ++n) {
        const std::string number = std::to_string(n);
        server += "+OK " + number + " 100\r\n+OK\r\nSubject: message " + number +
                  "\r\nFrom: ann@example.org\r\n\r\n.\r\n";
        if (n == gateAfter) {
            gate.At = server.size();
        }
    }
    return server;
}

using PipelinedCheckWindowTest = ReaderTest;

TEST_F(PipelinedCheckWindowTest, NewMailFillsTheListedInboxWhileTheCheckRuns) {
    Account->Synchronize = true;
    ListInbox();
    const int rowsBefore = window->Messages().rowCount();
    constexpr int kMessages = 12;
    constexpr int kBeforeGate = 5;
    auto gate = std::make_shared<Gate>();
    Serve(PipelinedSession(kMessages, kBeforeGate, *gate));
    cycle->Controller().TaskConnector = [peer = Peer, gate](const TConnectRequest&) {
        ++peer->Connects;
        return std::make_unique<GatedTransport>(peer, gate);
    };
    std::vector<size_t> announced;
    const TSubscription brought = cycle->Controller().Events.MailBrought.Subscribe(
        [&](TAccount&, const std::vector<TMailItem*>& items) {
            announced.push_back(items.size());
        });
    cycle->Controller().actSynchronize();

    // The server holds back the rest: what arrived is listed while the check waits for it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->Messages().rowCount() == rowsBefore + kBeforeGate; }, 20000));
    EXPECT_EQ(cycle->Tasks().Count(), 1u);
    EXPECT_EQ(Inbox->Unread, kBeforeGate);
    EXPECT_TRUE(announced.empty());
    gate->Release();
    ASSERT_TRUE(RunTasks());

    EXPECT_THAT(Peer->ClientBytes, HasSubstr("UIDL\r\nLIST 1\r\nTOP 1 0\r\nLIST 2\r\nTOP 2 0\r\n"));
    EXPECT_EQ(window->Messages().rowCount(), rowsBefore + kMessages);
    EXPECT_EQ(Inbox->Unread, kMessages);
    ASSERT_EQ(Inbox->Items.Count(), static_cast<size_t>(kMessages));
    for (int n = 1; n <= kMessages; ++n) {
        const TMailItem& item = Inbox->Items.Items(static_cast<size_t>(n - 1));
        EXPECT_EQ(item.UIDL, Md5Hex("uid-" + std::to_string(n)));
        EXPECT_EQ(item.CachedData.Subject, "message " + std::to_string(n));
        EXPECT_GE(window->Messages().RowOf(RowKeyOf(TMailItems::KeyOf(item))), 0);
        std::string block;
        item.ReadCacheFile(block);
        EXPECT_THAT(block, StartsWith("Subject: message " + std::to_string(n) + "\r\n"));
    }
    EXPECT_EQ(Account->UIDL.Count(), static_cast<size_t>(kMessages));
    // Announced once, with every message of the check.
    EXPECT_EQ(announced, std::vector<size_t>{kMessages});
}

// The Inbox has a table file, so a check's new rows go to its journal after each batch. A new
// message marked read in the window while its row waits there is saved read: the save writes the
// table whole instead of keeping the journal's earlier copy of the row.
TEST_F(PipelinedCheckWindowTest, AMessageMarkedReadWhileItsRowIsJournalledIsSavedRead) {
    Account->Synchronize = true;
    for (int n = 0; n < 60; ++n) {
        AddItem("old-" + std::to_string(n), SimpleMessage("Old", "Body"), false).Changed();
    }
    Inbox->SaveTable();
    ListInbox();
    auto gate = std::make_shared<Gate>();
    Serve(PipelinedSession(3, 2, *gate));
    cycle->Controller().TaskConnector = [peer = Peer, gate](const TConnectRequest&) {
        ++peer->Connects;
        return std::make_unique<GatedTransport>(peer, gate);
    };
    cycle->Controller().actSynchronize();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->Messages().rowCount() == 62; }, 20000));
    const std::string journal = JoinPath(Inbox->Path, TRowJournal::kFileName);
    EXPECT_TRUE(FileExists(journal));  // the first rows were written ahead of the save

    TMailItem* first = nullptr;
    for (size_t i = 0; i < Inbox->Items.Count(); ++i) {
        if (Inbox->Items.Items(i).UIDL == Md5Hex("uid-1")) {
            first = &Inbox->Items.Items(i);
        }
    }
    ASSERT_NE(first, nullptr);
    window->FocusRow(RowKeyOf(TMailItems::KeyOf(*first)));
    window->Command(TCommandId::MarkRead).trigger();
    ASSERT_TRUE(first->Read);
    gate->Release();
    ASSERT_TRUE(RunTasks());

    EXPECT_FALSE(FileExists(journal));
    TMailBox saved(&context.Accounts);
    saved.Path = Inbox->Path;
    saved.EnsureLoaded();
    ASSERT_EQ(saved.Items.Count(), 63u);
    for (size_t i = 0; i < saved.Items.Count(); ++i) {
        const TMailItem& item = saved.Items.Items(i);
        SCOPED_TRACE(item.CachedData.Subject);
        EXPECT_EQ(item.Read, item.UIDL == Md5Hex("uid-1"));
    }
}

// The server allows a login only every 900 seconds: until then the account is left out of every
// check, and the Tasks window says when it may run.
TEST_F(PipelinedCheckWindowTest, ALoginDelayHoldsTheAccountAndTheTasksWindowSaysUntilWhen) {
    const std::string session =
        "+OK hello\r\n+OK\r\nLOGIN-DELAY 900\r\n.\r\n+OK\r\n+OK in\r\n+OK\r\n.\r\n+OK bye\r\n";
    Account->Synchronize = true;
    Serve(session);
    auto now = std::chrono::system_clock::now();
    cycle->Controller().Clock = [&] { return now; };
    cycle->Controller().actSynchronize();
    ASSERT_TRUE(RunTasks());
    ASSERT_EQ(Peer->Connects, 1);

    const std::string until = NextCheckText(now + std::chrono::seconds(900));
    for (const int seconds : {1, 899}) {
        SCOPED_TRACE(seconds);
        now += std::chrono::seconds(seconds == 1 ? 1 : 898);
        cycle->Controller().actSynchronize();
        EXPECT_EQ(cycle->Tasks().Count(), 0u);
        cycle->Controller().CheckAccount(*Account);
        EXPECT_EQ(cycle->Tasks().Count(), 0u);
        EXPECT_EQ(Peer->Connects, 1);
        EXPECT_EQ(tasks.lblStatus->text().toStdString(), until);
    }
    now += std::chrono::seconds(2);
    Serve(session);
    cycle->Controller().actSynchronize();
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(Peer->Connects, 2);
}

}  // namespace
}  // namespace quobel::testing
