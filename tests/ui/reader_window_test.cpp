// Reader windows: navigation through the main list, the shared window, deletion, the caption;
// and the password prompt.
#include <gmock/gmock.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "cycle/msg_list_controller.h"
#include "reader_fixture.h"
#include "ui/reader/password_dialog.h"

namespace quobel::testing {
namespace {

class ReaderWindowTest : public ReaderTest {
  protected:
    // Three messages listed in date order, a, b, c.
    void AddThree() {
        for (const char* name : {"a", "b", "c"}) {
            const std::string date = std::string("Date: Tue, 01 Dec 2026 10:0") +
                                     static_cast<char>('0' + (*name - 'a')) + ":00 +0000\r\n";
            Items.push_back(&AddItem(
                name, "Subject: " + std::string(name) + "\r\n" + date + "\r\nbody " + name + "\r\n",
                true));
        }
        ListInbox();
        ASSERT_EQ(Readers().ListItems(), Items);
    }

    // Deferred deletes of closed windows happen now.
    static void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::vector<TMailItem*> Items;
};

TEST_F(ReaderWindowTest, NavigationWrapsWithABeepAndStaysOnMessagesOfTheList) {
    AddThree();
    TfrmExtReader& reader = Readers().ShowInReader(*Items[1], true);
    int shown = 0;
    const auto previous = reader.Pane().OnMessageShown;
    reader.Pane().OnMessageShown = [&](TfraReader& pane) {
        ++shown;
        previous(pane);
    };
    struct Step {
        QAction* command;
        TMailItem* expected;
        int beeps;
        int shows;
    };
    const Step steps[] = {
        {&reader.Command(TCommandId::NextMessage), Items[2], 0, 1},
        {&reader.Command(TCommandId::NextMessage), Items[0], 1, 1},
        {&reader.Command(TCommandId::PreviousMessage), Items[2], 2, 1},
        {&reader.Command(TCommandId::FirstMessage), Items[0], 2, 1},
        {&reader.Command(TCommandId::FirstMessage), Items[0], 2, 0},  // already shown: no reload
        {&reader.Command(TCommandId::LastMessage), Items[2], 2, 1},
        {&reader.Command(TCommandId::PreviousMessage), Items[1], 2, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.command->objectName().toStdString());
        shown = 0;
        step.command->trigger();
        EXPECT_EQ(reader.ShownItem(), step.expected);
        EXPECT_EQ(Beeps, step.beeps);
        EXPECT_EQ(shown, step.shows);
    }
    EXPECT_TRUE(Items[0]->Read && Items[2]->Read);

    // A message no longer in the list: previous and next do nothing.
    TMailItem& outside = AddItem("outside", "Subject: x\r\n\r\ny\r\n", true);
    reader.ShowItem(outside);
    reader.Command(TCommandId::NextMessage).trigger();
    reader.Command(TCommandId::PreviousMessage).trigger();
    EXPECT_EQ(reader.ShownItem(), &outside);
    EXPECT_EQ(Beeps, 2);
}

TEST_F(ReaderWindowTest, SharedWindowIsReusedUntilItCloses) {
    AddThree();
    WriteSetting("Reader", "NewWindow", false);
    cycle->Controller().OpenMessage(*Items[0]);
    cycle->Controller().OpenMessage(*Items[1]);
    ASSERT_EQ(Readers().Windows().size(), 1u);
    TfrmExtReader* first = Readers().Windows()[0];
    EXPECT_EQ(first->ShownItem(), Items[1]);
    EXPECT_EQ(Readers().SharedWindow(), first);
    first->Command(TCommandId::CloseReader).trigger();
    Settle();
    EXPECT_TRUE(Readers().Windows().empty());
    cycle->Controller().OpenMessage(*Items[2]);
    ASSERT_EQ(Readers().Windows().size(), 1u);
    EXPECT_EQ(Readers().Windows()[0]->ShownItem(), Items[2]);
}

TEST_F(ReaderWindowTest, WindowsOfADeletedMessageAllClose) {
    AddThree();
    WriteSetting("Reader", "NewWindow", true);
    WriteSetting("Confirmations", "Delete", true);
    Items[1]->Online = false;  // removed locally at once
    cycle->Controller().OpenMessage(*Items[1]);
    cycle->Controller().OpenMessage(*Items[1]);
    cycle->Controller().OpenMessage(*Items[2]);
    ASSERT_EQ(Readers().Windows().size(), 3u);
    TfrmExtReader& reader = *Readers().Windows()[0];
    EXPECT_TRUE(reader.Command(TCommandId::DeleteShown).isEnabled());

    Answer = false;
    reader.Command(TCommandId::DeleteShown).trigger();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], DeleteConfirmationText(true));
    EXPECT_EQ(Readers().Windows().size(), 3u);

    Answer = true;
    reader.Command(TCommandId::DeleteShown).trigger();
    Settle();
    ASSERT_EQ(Readers().Windows().size(), 1u);
    EXPECT_EQ(Readers().Windows()[0]->ShownItem(), Items[2]);
    EXPECT_EQ(Inbox->Items.Count(), 2u);
}

TEST_F(ReaderWindowTest, MessageStillOnTheServerClosesItsWindowWhenItsTaskReportsIt) {
    const std::string message = "Subject: on server\r\n\r\nx\r\n";
    TMailItem& item = AddItem("srv", message, true);
    WriteSetting("Confirmations", "Delete", false);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    Serve(kLogin + "+OK\r\n1 srv\r\n.\r\n+OK deleted\r\n");
    reader.Command(TCommandId::DeleteShown).trigger();
    EXPECT_EQ(Readers().Windows().size(), 1u);  // until the task reports it
    EXPECT_TRUE(tasks.isVisible());
    ASSERT_TRUE(RunTasks());
    Settle();
    EXPECT_TRUE(Readers().Windows().empty());
    EXPECT_EQ(Inbox->Items.Count(), 0u);
    EXPECT_THAT(Peer->ClientBytes, ::testing::HasSubstr("DELE 1\r\n"));
}

TEST_F(ReaderWindowTest, CaptionIsTheSubjectOrNoSubject) {
    TMailItem& plain = AddItem("s1",
                               "Subject: Hello there\r\nDate: Tue, 01 Dec 2026 10:00:00 +0000"
                               "\r\n\r\nx\r\n",
                               true);
    TMailItem& empty = AddItem("s2", "From: \"Bo\" <bo@example.org>\r\n\r\ny\r\n", true);
    TfrmExtReader& reader = Readers().ShowInReader(plain, true);
    EXPECT_EQ(reader.windowTitle(), QStringLiteral("Hello there"));
    EXPECT_EQ(ChildNamed<QLineEdit>(reader, "txtSubject")->text(), QStringLiteral("Hello there"));
    EXPECT_EQ(ChildNamed<QLineEdit>(reader, "txtDate")->text(),
              QString::fromStdString(plain.CachedData.DateStr));
    reader.ShowItem(empty);
    EXPECT_EQ(reader.windowTitle(), QStringLiteral("(No subject)"));
    EXPECT_EQ(ChildNamed<QLineEdit>(reader, "txtFrom")->text(), QStringLiteral("Bo"));
    EXPECT_TRUE(empty.Read);

    TfrmExtReader fresh(Readers());
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("(No subject)"));
    EXPECT_FALSE(fresh.Command(TCommandId::DeleteShown).isEnabled());
}

// Every command of a reader window as it reads, found by its object name; the compose family reads
// exactly as the main window's, the commands on the shown message as their own.
TEST_F(ReaderWindowTest, CommandsReadAsDesigned) {
    using enum TCommandId;
    struct Case {
        TCommandId id;
        const char* name;
        const char* caption;
        const char* toolTip;
        const char* statusTip;
        QKeySequence shortcut;
    };
    const Case cases[] = {
        {DeleteShown, "actDelete", "&Delete", "Delete", "Delete this message",
         QKeySequence(Qt::Key_Delete)},
        {FirstMessage, "actFirst", "&First message", "First message",
         "Open the first message in the list", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Left)},
        {PreviousMessage, "actPrevious", "&Previous message", "Previous message",
         "Open the previous message in the list", QKeySequence(Qt::ALT | Qt::Key_Left)},
        {NextMessage, "actNext", "&Next message", "Next message",
         "Open the next message in the list", QKeySequence(Qt::ALT | Qt::Key_Right)},
        {LastMessage, "actLast", "&Last message", "Last message",
         "Open the last message in the list", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right)},
        {CloseReader, "actClose", "&Close", "Close", "Close this window",
         QKeySequence(Qt::Key_Escape)},
        {Compose, "actCompose", "&Compose", "Compose", "Write a new message",
         QKeySequence(Qt::CTRL | Qt::Key_N)},
        {Reply, "actReply", "&Reply", "Reply", "Reply to the sender",
         QKeySequence(Qt::CTRL | Qt::Key_R)},
        {ReplyAll, "actReplyAll", "Reply to &all", "Reply to all",
         "Reply to the sender and all recipients", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
        {Forward, "actForward", "&Forward", "Forward", "Forward the message",
         QKeySequence(Qt::CTRL | Qt::Key_F)},
        {Redirect, "actRedirect", "&Redirect", "Redirect", kRedirectHint,
         QKeySequence(Qt::CTRL | Qt::Key_D)},
        {AntiSpamShown, "actAntispam", "&Anti-spam", "Anti-spam (not available)",
         "Mark the message as spam: not available in Quobel", QKeySequence()},
    };
    TMailItem& item = AddItem("c", "Subject: c\r\n\r\nx\r\n", true);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QAction& action = reader.Command(c.id);
        EXPECT_EQ(ChildNamed<QAction>(reader, c.name), &action);
        EXPECT_EQ(action.text(), c.caption);
        EXPECT_EQ(action.toolTip(), c.toolTip);
        EXPECT_EQ(action.statusTip(), c.statusTip);
        EXPECT_EQ(action.shortcut(), c.shortcut);
        EXPECT_FALSE(action.icon().isNull());
        EXPECT_TRUE(reader.actions().contains(&action));
    }
    for (const TCommandId shared : {Compose, Reply, ReplyAll, Forward, Redirect}) {
        const QAction& mine = reader.Command(shared);
        const QAction& main = window->Command(shared);
        EXPECT_NE(&mine, &main);
        EXPECT_EQ(mine.objectName(), main.objectName());
        EXPECT_EQ(mine.text(), main.text());
        EXPECT_EQ(mine.statusTip(), main.statusTip());
        EXPECT_EQ(mine.shortcut(), main.shortcut());
    }
}

TEST_F(ReaderWindowTest, PlacementIsKeptInItsOwnSection) {
    TMailItem& item = AddItem("p", "Subject: p\r\n\r\nx\r\n", true);
    {
        TfrmExtReader& reader = Readers().ShowInReader(item, true);
        reader.setGeometry(40, 50, 500, 380);
        reader.close();
        Settle();
    }
    OptionsScope scope(context.Options);
    EXPECT_EQ(scope.Ini().ReadInteger("Reader", "Width", -1), 500);
}

TEST(PasswordDialogTest, MaskedEditOfLimitedLengthWithOkAndCancel) {
    TPasswordDialog dialog(QStringLiteral("Password protected email"),
                           QStringLiteral("Please enter the password:"), QStringLiteral("old"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Password protected email"));
    EXPECT_EQ(dialog.txtValue->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.txtValue->maxLength(), 255);
    EXPECT_EQ(dialog.txtValue->selectedText(), QStringLiteral("old"));
    EXPECT_TRUE(dialog.cmdOK->isDefault());
    EXPECT_LT(dialog.cmdOK->x(), dialog.cmdCancel->x());
    EXPECT_EQ(dialog.cmdOK->y(), dialog.cmdCancel->y());
    EXPECT_GT(dialog.cmdOK->y(), dialog.txtValue->geometry().bottom());

    // Through the prompt interface: OK stores the text, Cancel leaves the value as it was.
    const auto answer = [](bool ok, const QString& text) {
        QTimer::singleShot(0, [ok, text] {
            auto* shown = qobject_cast<TPasswordDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(shown, nullptr);
            shown->txtValue->setText(text);
            (ok ? shown->cmdOK : shown->cmdCancel)->click();
        });
    };
    QtPasswordQuery query;
    std::string value = "before";
    answer(true, QStringLiteral("sécret"));
    EXPECT_TRUE(query.Query("c", "p", value));
    EXPECT_EQ(value, "sécret");
    answer(false, QStringLiteral("other"));
    EXPECT_FALSE(query.Query("c", "p", value));
    EXPECT_EQ(value, "sécret");
}

}  // namespace
}  // namespace quobel::testing
