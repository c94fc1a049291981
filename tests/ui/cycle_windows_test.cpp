// The check cycle's events and requests wired to the real windows: the main window's list, the
// folder counters, the reader pane, the Tasks window and its rows, offscreen.
#include <QAction>
#include <QTreeWidget>

#include "reader_fixture.h"
#include "retrieval/errors.h"
#include "retrieval/pop_list.h"
#include "ui/mainwindow/mail_rows.h"
#include "ui/tasks/frm_tasks.h"
#include "ui/tickerbar/bar_owner.h"

namespace quobel::testing {
namespace {

using CycleWindowsTest = ReaderTest;

TEST_F(CycleWindowsTest, NewMailGetsARowOnlyWhenItsBoxIsListed) {
    struct Case {
        const char* name;
        bool inboxListed;
    };
    for (const Case c : {Case{"Inbox listed", true}, Case{"another box listed", false}}) {
        SCOPED_TRACE(c.name);
        TMailBox& archive = context.MailBoxes.Add();
        archive.Name = "Archive";
        archive.Path = folder.File(std::string("mailbox/Archive") + (c.inboxListed ? "1" : "2"));
        archive.WriteSettings();
        archive.EnsureLoaded();
        window->CurrentBox = c.inboxListed ? Inbox : &archive;
        window->Command(TCommandId::BoxMessages).trigger();
        const int rowsBefore = window->Messages().rowCount();
        const int unreadBefore = Inbox->Unread;

        TPOPList& check = cycle->Tasks().Add<TPOPList>(*Account);
        check.HeaderLines = SplitLines("Subject: fresh\r\nFrom: ann@example.org\r\n");
        cycle->Controller().TaskNewMessage(check, Md5Hex(std::string("new") + c.name), 100);

        EXPECT_EQ(Inbox->Unread, unreadBefore + 1);
        TMailItem& filed = Inbox->Items.Items(Inbox->Items.Count() - 1);
        EXPECT_EQ(filed.Account(), Account);
        const int row = window->Messages().RowOf(RowKeyOf(TMailItems::KeyOf(filed)));
        EXPECT_EQ(window->Messages().rowCount(), rowsBefore + (c.inboxListed ? 1 : 0));
        EXPECT_EQ(row >= 0, c.inboxListed);
        cycle->Tasks().TerminateTasks();
    }
}

TEST_F(CycleWindowsTest, EveryWayOfReadingKeepsTheCountersRight) {
    enum class Way { MarkReadCommand, MarkUnreadCommand, OpenCommand, Bar, Reader };
    struct Case {
        const char* name;
        Way way;
        bool startRead;
        bool read;
    };
    const Case cases[] = {
        {"Mark as read", Way::MarkReadCommand, false, true},
        {"Mark as read, already read", Way::MarkReadCommand, true, true},
        {"Mark as unread", Way::MarkUnreadCommand, true, false},
        {"Mark as unread, already unread", Way::MarkUnreadCommand, false, false},
        {"Open", Way::OpenCommand, false, true},
        {"the bar's Mark as read", Way::Bar, false, true},
        {"a reader window shows it", Way::Reader, false, true},
    };
    WriteSetting("Reader", "NewWindow", false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMailItem& item =
            AddItem(std::string("uid-") + c.name, SimpleMessage("Counted", "Body"), true);
        if (c.startRead) {
            cycle->Controller().SetRead(item, true);
        }
        ListInbox();
        window->FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
        const int unreadBefore = Inbox->Unread;

        switch (c.way) {
            case Way::MarkReadCommand:
                window->Command(TCommandId::MarkRead).trigger();
                break;
            case Way::MarkUnreadCommand:
                window->Command(TCommandId::MarkUnread).trigger();
                break;
            case Way::OpenCommand:
                window->Command(TCommandId::Open).trigger();
                break;
            case Way::Bar:
                cycle->Bar().MarkMessageRead(item, true);
                break;
            case Way::Reader:
                Readers().MarkMessageRead(item);
                break;
        }

        EXPECT_EQ(item.Read, c.read);
        const int delta = c.startRead == c.read ? 0 : (c.read ? -1 : +1);
        EXPECT_EQ(Inbox->Unread, unreadBefore + delta);
        int unreadRows = 0;
        for (size_t i = 0; i < Inbox->Items.Count(); ++i) {
            unreadRows += Inbox->Items.IsRead(i) ? 0 : 1;
        }
        EXPECT_EQ(Inbox->Unread, unreadRows);
    }
}

TEST_F(CycleWindowsTest, DeletingTheLastMessageEmptiesTheListAndThePane) {
    WriteSetting("Confirmations", "Delete", false);
    TMailItem& item = AddItem("uid-last", SimpleMessage("Last", "Body"), true);
    item.Online = false;  // kept here only: it goes at once
    ListInbox();
    window->FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
    Pane().ShowItem(item);
    ASSERT_EQ(Pane().Item(), &item);

    window->Command(TCommandId::DeleteSelected).trigger();

    EXPECT_EQ(Inbox->Items.Count(), 0u);
    EXPECT_EQ(window->Messages().rowCount(), 0);
    EXPECT_EQ(Pane().Item(), nullptr);
    EXPECT_FALSE(window->Command(TCommandId::MarkRead).isEnabled());
    EXPECT_EQ(Inbox->Unread, 0);
}

TEST_F(CycleWindowsTest, AMessageWhoseAccountWasRemovedFetchesNothingAndGoesLocally) {
    WriteSetting("Confirmations", "Delete", false);
    TMailItem& item = AddItem("uid-orphan", SimpleMessage("Orphan", "Body"), false);
    ListInbox();
    context.Accounts.Remove(*Account);
    Account = nullptr;

    Pane().ShowItem(item);
    EXPECT_EQ(Pane().State(), TfraReader::TState::Failed);
    EXPECT_EQ(cycle->Tasks().Count(), 0u);

    window->FocusRow(RowKeyOf(TMailItems::KeyOf(item)));
    window->Command(TCommandId::DeleteSelected).trigger();
    EXPECT_EQ(cycle->Tasks().Count(), 0u);
    EXPECT_EQ(Inbox->Items.Count(), 0u);
    EXPECT_EQ(window->Messages().rowCount(), 0);
}

TEST_F(CycleWindowsTest, TheTasksWindowListsWhatTheQueueHoldsAndItsErrors) {
    WriteSetting("Confirmations", "Delete", false);
    TMailItem& first = AddItem("uid-a", SimpleMessage("A", "Body"), true);
    TMailItem& second = AddItem("uid-b", SimpleMessage("B", "Body"), true);
    ListInbox();
    cycle->Controller().DeleteMessage(first);
    cycle->Controller().DeleteMessage(second);
    ASSERT_EQ(tasks.TaskRowCount(), 2);
    EXPECT_EQ(tasks.tvTasks->topLevelItem(1)->text(1), QStringLiteral("mail.example"));
    EXPECT_FALSE(tasks.isVisible());

    // The server refuses: each delete is listed as an error and leaves the queue.
    Serve("-ERR busy\r\n");
    cycle->Tasks().StartNext();
    ASSERT_TRUE(RunTasks());
    EXPECT_EQ(tasks.TaskRowCount(), 0);
    EXPECT_EQ(tasks.ErrorRowCount(), static_cast<int>(context.Errors.Count()));
    EXPECT_GE(tasks.ErrorRowCount(), 1);
    EXPECT_TRUE(tasks.isVisible());  // errors keep it up
    EXPECT_EQ(Inbox->Items.Count(), 2u);
}

}  // namespace
}  // namespace quobel::testing
