// "Cancel" in the Tasks window against a server that accepts the connection and then says
// nothing: the running check ends at once, long before the read time-out, the log says
// "Cancelled" once, and the queue goes on. Closing the program does not wait on such a server
// either.
#include <gtest/gtest.h>

#include <poll.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <chrono>

#include "platform/socket_transport.h"
#include "reader_fixture.h"
#include "retrieval/errors.h"
#include "retrieval/qbpop3.h"
#include "support/loopback_listener.h"

namespace quobel::testing {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Far below the read time-out, which a silent server would otherwise cost.
constexpr auto kPromptly = std::chrono::seconds(5);
static_assert(kPromptly < milliseconds(TQBPOP3::kDefaultTimeout) / 10);

class TasksCancelTest : public ReaderTest {
  protected:
    TasksCancelTest() {
        // The fixture's account is served from the script; a second one reaches a server on
        // loopback that accepts and then stays silent.
        Silent = &context.Accounts.Add(true);
        Silent->Name = "Silent account";
        Silent->POP.Host = "silent.example";
        Silent->POP.Username = "u";
        Silent->POP.Password = "p";
        const int port = listener_.Port();
        auto scripted = TMemoryTransport::ConnectorFor(Peer);
        cycle->Controller().TaskConnector = [port, scripted](const TConnectRequest& request) {
            if (request.Host != "silent.example") {
                return scripted(request);
            }
            TConnectRequest loopback = request;
            loopback.Host = "127.0.0.1";
            loopback.Port = port;
            return ConnectSocket(loopback);
        };
    }

    // The silent server has the connection (the kernel accepted it for the listener).
    bool SilentServerConnected() {
        // Without waiting: the task needs this thread to get as far as connecting.
        pollfd pending{listener_.Fd(), POLLIN, 0};
        if (::poll(&pending, 1, 0) != 1) {
            return false;
        }
        const int fd = listener_.Accept();
        if (fd < 0) {
            return false;
        }
        accepted_.push_back(fd);
        return true;
    }

    ~TasksCancelTest() override {
        for (const int fd : accepted_) {
            ::close(fd);
        }
    }

    TAccount* Silent = nullptr;

  private:
    LoopbackListener listener_;
    std::vector<int> accepted_;
};

TEST_F(TasksCancelTest, CancelEndsTheRunningCheckAtOnceAndTheQueueGoesOn) {
    EXPECT_FALSE(tasks.cmdCancel->isEnabled());
    // The scripted server's mailbox is empty.
    Serve(kLogin + "+OK\r\n.\r\n");
    cycle->Controller().CheckAccount(*Silent);
    cycle->Controller().CheckAccount(*Account);
    tasks.ShowTasks();
    ASSERT_EQ(tasks.TaskRowCount(), 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return SilentServerConnected(); }, 10000));
    // It waits for a greeting that never comes.
    QTest::qWait(200);
    ASSERT_EQ(cycle->Tasks().Count(), 2u);
    EXPECT_TRUE(tasks.cmdCancel->isEnabled());
    EXPECT_EQ(tasks.cmdCancel->text(), QStringLiteral("Cancel"));

    const Clock::time_point clicked = Clock::now();
    QTest::mouseClick(tasks.cmdCancel, Qt::LeftButton);
    ASSERT_TRUE(RunTasks());
    EXPECT_LT(Clock::now() - clicked, kPromptly);

    // One entry, in the user's words; the next task ran its whole conversation.
    ASSERT_EQ(context.Errors.Count(), 1u);
    EXPECT_EQ(context.Errors.Items(0).Message, "Cancelled");
    ASSERT_EQ(tasks.ErrorRowCount(), 1);
    EXPECT_EQ(tasks.tvErrors->topLevelItem(0)->text(0), QStringLiteral("Cancelled"));
    EXPECT_NE(Peer->ClientBytes.find("UIDL\r\n"), std::string::npos) << Peer->ClientBytes;
    EXPECT_NE(Peer->ClientBytes.find("QUIT\r\n"), std::string::npos) << Peer->ClientBytes;
    EXPECT_FALSE(tasks.cmdCancel->isEnabled());
    // Nothing was filed and nothing became known for the cancelled account.
    EXPECT_EQ(Silent->UIDL.Keys().size(), 0u);
    EXPECT_EQ(Inbox->Items.Count(), 0u);
}

TEST_F(TasksCancelTest, ClosingTheProgramDoesNotWaitOnASilentServer) {
    cycle->Controller().CheckAccount(*Silent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return SilentServerConnected(); }, 10000));
    ASSERT_EQ(cycle->Tasks().Count(), 1u);

    const Clock::time_point closing = Clock::now();
    window.reset();
    cycle.reset();
    EXPECT_LT(Clock::now() - closing, kPromptly);
}

}  // namespace
}  // namespace quobel::testing
