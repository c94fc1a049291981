#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <set>

#include "core/file_util.h"
#include "core/ini_file.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "ui/mainwindow/height_split.h"
#include "ui/mainwindow/list_header.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

class MainWindow : public ::testing::Test, public WindowFixture {
  protected:
    std::string LayoutFile() const { return folder.File("listhdrs.dat"); }
};

void ClickHeader(TfrmMsgList& window, int column, Qt::MouseButton button) {
    QHeaderView* header = ChildNamed<QTreeView>(window, "tvMailBox")->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    if (button == Qt::RightButton) {
        // The right button opens the column menu; close it once it is up.
        QTimer::singleShot(50, [] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
        });
    }
    QTest::mouseClick(header->viewport(), button, {}, at);
}

TEST_F(MainWindow, HeaderClicksSortWithTheLeftButtonOnly) {
    auto window = NewWindow();
    window->show();
    QCoreApplication::processEvents();
    const TMessageListModel& model = window->Messages();
    ASSERT_EQ(model.SortColumn(), kColDate);

    ClickHeader(*window, kColDate, Qt::LeftButton);
    EXPECT_EQ(model.SortColumn(), kColDate);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Descending);

    ClickHeader(*window, kColSubject, Qt::RightButton);
    EXPECT_EQ(model.SortColumn(), kColDate);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Descending);

    ClickHeader(*window, kColSubject, Qt::LeftButton);
    EXPECT_EQ(model.SortColumn(), kColSubject);
    EXPECT_EQ(model.SortDirection(), TSortDirection::Ascending);
    EXPECT_EQ(ChildNamed<QTreeView>(*window, "tvMailBox")->header()->sortIndicatorSection(),
              kColSubject);
}

// Sets the application's font (which the list takes) for the test's time.
class ListFont {
  public:
    explicit ListFont(int pixelSize) : saved_(QApplication::font()) {
        QFont font = saved_;
        font.setPixelSize(pixelSize);
        QApplication::setFont(font);
    }
    ~ListFont() { QApplication::setFont(saved_); }
    ListFont(const ListFont&) = delete;
    ListFont& operator=(const ListFont&) = delete;

  private:
    QFont saved_;
};

TEST_F(MainWindow, FirstRunWritesTheDesignLayout) {
    const ListFont designSize(6);  // small enough for the design widths
    NewWindow().reset();
    const TIniFile ini(LayoutFile());
    EXPECT_EQ(ini.ReadInteger("General", "SortColumn", -2), 5);
    EXPECT_EQ(ini.ReadInteger("General", "SortDirection", -2), 0);
    const int width[] = {-1, -1, -1, 100, 225, 125, 100, 150, 100, -1};
    const int position[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0};
    const int visible[] = {1, 1, 1, 1, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 10; ++i) {
        const std::string section = std::to_string(i);
        EXPECT_EQ(ini.ReadInteger(section, "Width", -1), width[i]) << i;  // image columns: none
        EXPECT_EQ(ini.ReadInteger(section, "Position", -1), position[i]) << i;
        EXPECT_EQ(ini.ReadInteger(section, "Visible", -1), visible[i]) << i;
    }
}

TEST_F(MainWindow, ColumnLayoutSurvivesARestart) {
    TListLayout saved;
    {
        auto window = NewWindow();
        QHeaderView* header = ChildNamed<QTreeView>(*window, "tvMailBox")->header();
        window->ShowColumn(kColSize, false);
        window->ShowColumn(kColAccount, true);
        header->resizeSection(kColSubject, 310);
        header->moveSection(header->visualIndex(kColDate), 1);
        window->HeaderClick(kColFrom, TMouseButton::Left);
        window->HeaderClick(kColFrom, TMouseButton::Left);
        saved = window->Layout();
    }
    EXPECT_EQ(TIniFile(LayoutFile()).ReadInteger("8", "Visible", -1), 0);

    auto window = NewWindow();
    const TListLayout& loaded = window->Layout();
    EXPECT_EQ(loaded.SortColumn, kColFrom);
    EXPECT_EQ(loaded.SortDirection, TSortDirection::Descending);
    EXPECT_EQ(window->Messages().SortDirection(), TSortDirection::Descending);
    ASSERT_EQ(loaded.Columns.size(), saved.Columns.size());
    for (size_t i = 0; i < saved.Columns.size(); ++i) {
        EXPECT_EQ(loaded.Columns[i].Visible, saved.Columns[i].Visible) << i;
        EXPECT_EQ(loaded.Columns[i].Width, saved.Columns[i].Width) << i;
        EXPECT_EQ(loaded.Columns[i].Position, saved.Columns[i].Position) << i;
    }
    EXPECT_EQ(loaded.Columns[kColSubject].Width, 310);
    EXPECT_EQ(loaded.Columns[kColDate].Position, 1);
    EXPECT_TRUE(ChildNamed<QTreeView>(*window, "tvMailBox")->header()->isSectionHidden(kColSize));
}

// Without a saved layout the design widths grow with the list's font until a full date and time
// and a typical name fit; a saved layout is kept as it was, whatever the font.
TEST_F(MainWindow, DesignWidthsFitTheListsFont) {
    const auto needed = [](const QFont& listFont, const char* text) {
        QFont bold = listFont;
        bold.setBold(true);
        return QFontMetrics(bold).horizontalAdvance(QString::fromLatin1(text));
    };
    int smallDate = 0;
    for (const int pixels : {6, 22}) {
        SCOPED_TRACE(pixels);
        const ListFont size(pixels);
        DeleteFileIfExists(LayoutFile());
        auto window = NewWindow();
        const QTreeView* list = ChildNamed<QTreeView>(*window, "tvMailBox");
        const QHeaderView* header = list->header();
        EXPECT_GE(header->sectionSize(kColDate), needed(list->font(), "12-31-2026 23:59:59"));
        EXPECT_GE(header->sectionSize(kColFrom), needed(list->font(), "Mara Lindqvist") + 16);
        EXPECT_EQ(header->sectionSize(kColHand), 25);  // pictures keep their size
        if (pixels == 6) {
            smallDate = header->sectionSize(kColDate);
            EXPECT_EQ(smallDate, 125);
            EXPECT_EQ(header->sectionSize(kColSubject), 225);
        } else {
            EXPECT_GT(header->sectionSize(kColDate), smallDate);
            // One factor for all: the Subject column keeps its share.
            EXPECT_NEAR(header->sectionSize(kColSubject) * 125.0 / 225.0,
                        header->sectionSize(kColDate), 2.0);
        }
    }
    // A saved layout wins.
    DeleteFileIfExists(LayoutFile());
    {
        const ListFont size(6);
        auto window = NewWindow();
        ChildNamed<QTreeView>(*window, "tvMailBox")->header()->resizeSection(kColDate, 90);
    }
    const ListFont large(22);
    auto window = NewWindow();
    EXPECT_EQ(ChildNamed<QTreeView>(*window, "tvMailBox")->header()->sectionSize(kColDate), 90);
    EXPECT_EQ(window->Layout().Columns[kColSubject].Width, 225);
}

TEST_F(MainWindow, LayoutFileOfAnOlderFormatIsReplaced) {
    WriteFileAtomic(LayoutFile(), "SortColumn=3\r\n");
    {
        auto window = NewWindow();
        const TListLayout& layout = window->Layout();
        const TListLayout design = MessageListDesignLayout();
        EXPECT_EQ(layout.SortColumn, design.SortColumn);
        EXPECT_EQ(layout.Columns[kColHand].Position, 1);
    }
    std::string contents;
    ASSERT_TRUE(ReadWholeFile(LayoutFile(), contents));
    EXPECT_EQ(contents.front(), '[');
}

TEST(HeightSplit, ReaderTakesHalfOfEachChangeCarryingTheOddPixel) {
    THeightSplit split;
    EXPECT_EQ(split.Resize(500), 0);  // the first resize only records the height
    EXPECT_EQ(split.Resize(505), 2);
    EXPECT_EQ(split.Resize(510), 3);
    EXPECT_EQ(split.Resize(507), -1);
    EXPECT_EQ(split.Resize(504), -2);
}

TEST_F(MainWindow, GrowingTheWindowGrowsTheReaderByHalf) {
    auto window = NewWindow();
    window->show();
    QCoreApplication::processEvents();
    const int before = window->ReaderHeight();
    window->resize(window->width(), window->height() + 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ReaderHeight(), before + 2);
    window->resize(window->width(), window->height() + 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->ReaderHeight(), before + 5);
    EXPECT_EQ(ChildNamed<QSplitter>(*window, "spltReader")->sizes().value(1), before + 5);
}

TEST_F(MainWindow, PreviewAndContactsTogglesAreStored) {
    {
        auto window = NewWindow();
        EXPECT_TRUE(window->Command(TCommandId::Preview).isChecked());
        window->Command(TCommandId::Preview).trigger();
        EXPECT_TRUE(ChildNamed<QWidget>(*window, "pnlReader")->isHidden());
    }
    {
        OptionsScope scope(context.Options);
        EXPECT_FALSE(scope.Ini().ReadBool("View", "Preview", true));
        EXPECT_TRUE(scope.Ini().ReadBool("View", "Contacts", false));
        EXPECT_EQ(scope.Ini().ReadInteger("View", "ReaderHeight", -1), 196);
    }
    auto window = NewWindow();
    EXPECT_FALSE(window->Command(TCommandId::Preview).isChecked());
    EXPECT_TRUE(ChildNamed<QWidget>(*window, "pnlReader")->isHidden());
    EXPECT_FALSE(ChildNamed<QTreeWidget>(*window, "tvContacts")->isHidden());
}

TEST_F(MainWindow, TrayStates) {
    auto window = NewWindow();
    window->TrayAvailable = [] { return true; };
    window->show();
    QCoreApplication::processEvents();

    window->Command(TCommandId::Hide).trigger();
    EXPECT_TRUE(window->InTray());
    EXPECT_FALSE(window->isVisible());
    window->HideToTray();  // already there: nothing
    EXPECT_TRUE(window->InTray());

    window->SecondInstance();  // a later start brings it back
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isVisible());
    window->SecondInstance();  // a shown window stays as it is
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isVisible());

    window->setWindowState(Qt::WindowMinimized);  // minimising hides to the tray
    QTRY_VERIFY_WITH_TIMEOUT(window->InTray(), 2000);
    ChildNamed<QAction>(*window, "mnuTrayOpen")->trigger();
    EXPECT_FALSE(window->InTray());
    EXPECT_FALSE(window->isMinimized());

    // Without a status area the window minimises instead of vanishing.
    window->TrayAvailable = [] { return false; };
    window->Command(TCommandId::Hide).trigger();
    EXPECT_FALSE(window->InTray());
    EXPECT_TRUE(window->isMinimized());
    window->SecondInstance();
    EXPECT_FALSE(window->isMinimized());
}

// Every command of the main window as it reads: caption, tool tip, status-bar hint, shortcut,
// tool-bar icon, check mark; found by its object name.
TEST_F(MainWindow, CommandsReadAsDesigned) {
    using enum TCommandId;
    struct Case {
        TCommandId id;
        const char* name;
        const char* caption;
        const char* toolTip;
        const char* statusTip;
        QKeySequence shortcut;
        bool icon;
        bool checkable;
    };
    const QKeySequence none;
    const Case cases[] = {
        {Synchronize, "actSynchronize", "&Check mail", "Send and receive", "Check for new email",
         QKeySequence(Qt::CTRL | Qt::Key_M), true, false},
        {DeleteSelected, "actDelete", "&Delete", "Delete", "Delete the selected messages", none,
         true, false},
        {Open, "actOpen", "&Open", "Open", "Open the selected message", none, false, false},
        {MarkRead, "actMarkRead", "Mark as &Read", "Mark as read",
         "Mark the selected messages as read", QKeySequence(Qt::CTRL | Qt::Key_B), false, false},
        {MarkUnread, "actMarkUnread", "Mark as &Unread", "Mark as unread",
         "Mark the selected messages as unread", QKeySequence(Qt::CTRL | Qt::Key_U), false, false},
        {SelectAll, "actSelectAll", "Select &all", "Select all", "Select all messages",
         QKeySequence(Qt::CTRL | Qt::Key_A), false, false},
        {SelectNone, "actSelectNone", "Select &none", "Select none", "Deselect all messages",
         QKeySequence(Qt::CTRL | Qt::Key_Z), false, false},
        {SelectSpam, "actSelectSpam", "Select &spam", "Select spam (not available)",
         "Select all messages marked as spam: not available in Quobel",
         QKeySequence(Qt::CTRL | Qt::Key_X), false, false},
        {PreviousRow, "actPrevious", "&Previous", "Previous", "Go to the previous message",
         QKeySequence(Qt::ALT | Qt::Key_Left), false, false},
        {NextRow, "actNext", "&Next", "Next", "Go to the next message",
         QKeySequence(Qt::ALT | Qt::Key_Right), false, false},
        {Preview, "actPreview", "Message &preview", "Message preview",
         "Show or hide the message preview", none, false, true},
        {Contacts, "actContacts", "&Contacts list", "Contacts list",
         "Show or hide the contacts list", none, false, true},
        {Bar, "actBar", "Quobel &Bar", "Quobel Bar", "Show the Quobel Bar", none, false, true},
        {Options, "actOptions", "&Options...", "Options", "Change the Quobel options", none, true,
         false},
        {Hide, "actHide", "&Hide", "Hide", "Hide Quobel to the system tray",
         QKeySequence(Qt::CTRL | Qt::Key_F4), true, false},
        {CloseProgram, "actClose", "&Close", "Close", "Close Quobel",
         QKeySequence(Qt::ALT | Qt::Key_F4), true, false},
        {ShowTasks, "actShowTasks", "&Show tasks", "Show tasks", "Show the running tasks", none,
         false, false},
        {BoxList, "actBoxList", "Refresh mailbox list", "Refresh mailbox list",
         "Refresh the list of mailboxes", none, false, false},
        {BoxMessages, "actBoxMessages", "List messages in box", "List messages",
         "List the messages in the selected mailbox", none, false, false},
        {HelpContents, "actHelpContents", "&Contents", "Contents", "Show the contents of the help",
         none, true, false},
        {Compose, "actCompose", "&Compose", "Compose", "Write a new message",
         QKeySequence(Qt::CTRL | Qt::Key_N), true, false},
        {Reply, "actReply", "&Reply", "Reply", "Reply to the sender",
         QKeySequence(Qt::CTRL | Qt::Key_R), true, false},
        {ReplyAll, "actReplyAll", "Reply to &all", "Reply to all",
         "Reply to the sender and all recipients", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R),
         true, false},
        {Forward, "actForward", "&Forward", "Forward", "Forward the message",
         QKeySequence(Qt::CTRL | Qt::Key_F), true, false},
        {Redirect, "actRedirect", "&Redirect", "Redirect", kRedirectHint,
         QKeySequence(Qt::CTRL | Qt::Key_D), true, false},
        {AntiSpamSelected, "actAntiSpam", "&Anti-spam", "Anti-spam (not available)",
         "Mark the message as spam: not available in Quobel", QKeySequence(Qt::CTRL | Qt::Key_K),
         true, false},
        {AddressBook, "actAddressBook", "&Address book", "Address book (not available)",
         "Open the address book: not available in Quobel",
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), true, false},
        {SenderAddress, "actSenderAddress", "Add sender to address book",
         "Add sender (not available)",
         "Add the sender to the address book: not available in Quobel", none, false, false},
        {SenderAllow, "actSenderAllow", "Add sender to allow list", "Allow sender (not available)",
         "Add the sender to the allow list: not available in Quobel", none, false, false},
        {ContactsList, "actContactsList", "List contacts", "List contacts (not available)",
         "List the contacts: not available in Quobel", none, false, false},
    };
    auto window = NewWindow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QAction& action = window->Command(c.id);
        EXPECT_EQ(ChildNamed<QAction>(*window, c.name), &action);
        EXPECT_EQ(action.text(), c.caption);
        EXPECT_EQ(action.toolTip(), c.toolTip);
        EXPECT_EQ(action.statusTip(), c.statusTip);
        EXPECT_EQ(action.shortcut(), c.shortcut);
        EXPECT_EQ(!action.icon().isNull(), c.icon);
        EXPECT_EQ(action.isCheckable(), c.checkable);
        // The shortcut works while the window is active: the window holds the command.
        EXPECT_TRUE(window->actions().contains(&action));
    }
}

// The menus, the list's context menu, the tool bar and the tray menu place the window's one
// action of each command, never a copy of it.
TEST_F(MainWindow, MenusAndToolBarPlaceTheSameCommands) {
    auto window = NewWindow();
    const auto placed = [](const QList<QAction*>& actions) {
        QList<QAction*> commands;
        for (QAction* action : actions) {
            if (action->objectName().startsWith("act")) {
                commands.push_back(action);
            }
        }
        return commands;
    };
    struct Case {
        const char* where;
        QList<QAction*> actions;
        int expected;
    };
    QList<QAction*> menuBar;
    for (QAction* top : window->menuBar()->actions()) {
        menuBar += top->menu()->actions();
    }
    QList<QAction*> toolBar = ChildNamed<QToolBar>(*window, "tbMain")->actions();
    for (const QToolButton* button :
         ChildNamed<QToolBar>(*window, "tbMain")->findChildren<QToolButton*>()) {
        if (button->menu() == ChildNamed<QMenu>(*window, "mnuAccounts")) {
            toolBar.push_back(button->defaultAction());
        }
    }
    const Case cases[] = {
        {"menu bar", placed(menuBar), 23},
        {"list menu", placed(ChildNamed<QMenu>(*window, "mnuList")->actions()), 14},
        {"tool bar", placed(toolBar), 10},
        {"tray menu", placed(ChildNamed<QMenu>(*window, "mnuTray")->actions()), 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(c.actions.size(), c.expected);
        for (QAction* action : c.actions) {
            const QString name = action->objectName();
            EXPECT_EQ(window->findChildren<QAction*>(name).size(), 1) << name.toStdString();
            EXPECT_EQ(ChildNamed<QAction>(*window, name.toLatin1().constData()), action);
        }
    }
    EXPECT_EQ(ChildNamed<QMenu>(*window, "mnuList")->defaultAction(),
              &window->Command(TCommandId::Open));
}

// What the neighbours are offered reaches the window's real widgets: the preview pane's area and
// header fields, the accounts drop-down of the Check mail button, the Tasks window.
TEST_F(MainWindow, TheReaderPaneAreaIsTheWindowsOwnWidgets) {
    auto window = NewWindow();
    const TReaderPaneArea area = window->ReaderPaneArea();
    const std::pair<QObject*, const char*> cases[] = {
        {area.Host, "pnlReaderHost"},
        {area.Tabs, "tsParts"},
        {area.Attachments, "cmdAttachments"},
    };
    for (const auto& [widget, name] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(widget, ChildNamed<QObject>(*window, name));
    }
    ASSERT_NE(area.Host->layout(), nullptr);
    // The header fields sit in the header panel, in reading order.
    const QWidget* headers = ChildNamed<QWidget>(*window, "pnlHeaders");
    const QLabel* fields[] = {area.From, area.To, area.CC, area.Recipient, area.SourceIP};
    for (const QLabel* field : fields) {
        ASSERT_NE(field, nullptr);
        EXPECT_TRUE(headers->isAncestorOf(field));
    }
    EXPECT_EQ(std::set<const QLabel*>(std::begin(fields), std::end(fields)).size(), 5u);
}

TEST_F(MainWindow, TheAccountsMenuListsTheEntriesGivenLast) {
    auto window = NewWindow();
    std::vector<std::string> chosen;
    const auto entry = [&](const char* name) {
        return TfrmMsgList::TMenuEntry{name, [&chosen, name] { chosen.push_back(name); }};
    };
    QMenu* accounts = ChildNamed<QMenu>(*window, "mnuAccounts");
    struct Case {
        std::vector<TfrmMsgList::TMenuEntry> entries;
        QStringList captions;
    };
    const Case cases[] = {
        {{entry("pop.one"), entry("pop.two")}, {"pop.one", "pop.two"}},
        {{entry("pop.three")}, {"pop.three"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.captions.join(',').toStdString());
        window->SetAccountsMenu(c.entries);
        QStringList captions;
        for (const QAction* action : accounts->actions()) {
            captions.push_back(action->text());
        }
        EXPECT_EQ(captions, c.captions);
        chosen.clear();
        for (QAction* action : accounts->actions()) {
            action->trigger();
        }
        EXPECT_EQ(chosen.size(), static_cast<size_t>(c.captions.size()));
    }
}

// The automatic check runs the Check mail command; a stopped timer never does, and the check at
// start-up happens only when the timer runs.
TEST_F(MainWindow, TheCheckTimerRunsCheckMail) {
    struct Case {
        const char* name;
        bool enabled;
        int checksAtStartUp;
        bool checksLater;
    };
    const Case cases[] = {
        {"enabled", true, 1, true},
        {"disabled", false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto window = NewWindow();
        int checks = 0;
        QObject::connect(&window->Command(TCommandId::Synchronize), &QAction::triggered,
                         [&checks] { ++checks; });
        window->SetCheckTimer(20, c.enabled);
        EXPECT_EQ(window->CheckTimerActive(), c.enabled);
        window->AfterStartup();
        EXPECT_EQ(checks, c.checksAtStartUp);
        QTest::qWait(100);
        EXPECT_EQ(checks > c.checksAtStartUp, c.checksLater);
        window->SetCheckTimer(20, false);
    }
}

TEST_F(MainWindow, ShowTasksOpensTheTaskPage) {
    auto window = NewWindow();
    window->show();
    tasks.ShowErrorsPage();
    window->Command(TCommandId::ShowTasks).trigger();
    EXPECT_TRUE(tasks.isVisible());
    EXPECT_EQ(tasks.pcTasks->currentWidget(), tasks.tvTasks);
    tasks.hide();
}

TEST_F(MainWindow, HintsAndHelp) {
    auto window = NewWindow();
    EXPECT_EQ(window->Command(TCommandId::Synchronize).statusTip(), "Check for new email");
    EXPECT_EQ(window->Command(TCommandId::Synchronize).toolTip(), "Send and receive");
    EXPECT_EQ(window->Command(TCommandId::Hide).statusTip(), "Hide Quobel to the system tray");
    EXPECT_FALSE(window->Command(TCommandId::DeleteSelected).isEnabled());
    EXPECT_EQ(ChildNamed<QMenu>(*window, "mnuTray")->defaultAction(),
              ChildNamed<QAction>(*window, "mnuTrayOpen"));
    window->Command(TCommandId::HelpContents).trigger();
    ASSERT_EQ(opener.Opened.size(), 1u);
    EXPECT_EQ(opener.Opened[0], folder.File("Quobel.html"));
    window->SetStatusText("2|Checking for new mail...");
    EXPECT_EQ(window->StatusText(), "2|Checking for new mail...");
    EXPECT_TRUE(ChildNamed<QLabel>(*window, "sbHint")->text().isEmpty());
    // The long hint of what is under the mouse goes to panel 0, not over the task status.
    QStatusTipEvent tip(window->Command(TCommandId::Hide).statusTip());
    QCoreApplication::sendEvent(window.get(), &tip);
    EXPECT_EQ(ChildNamed<QLabel>(*window, "sbHint")->text(), "Hide Quobel to the system tray");
    EXPECT_EQ(window->StatusText(), "2|Checking for new mail...");
}

}  // namespace
}  // namespace quobel::testing

namespace quobel::testing {
namespace {

TEST_F(MainWindow, PlacementIsKeptInSectionMsgList) {
    {
        auto window = NewWindow();
        window->setGeometry(40, 50, 640, 480);
    }
    {
        OptionsScope scope(context.Options);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "State", -1), 0);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "Width", -1), 640);
        EXPECT_EQ(scope.Ini().ReadInteger("MsgList", "Height", -1), 480);
    }
    auto window = NewWindow();
    EXPECT_EQ(window->geometry(), QRect(40, 50, 640, 480));
}

}  // namespace
}  // namespace quobel::testing

namespace quobel::testing {
namespace {

TEST_F(MainWindow, StartUpCreatesAndListsTheInbox) {
    {
        TMailBoxes boxes;
        TMailBox& inbox = boxes.OpenStore(folder.File("mailbox"));
        inbox.EnsureLoaded();
        for (const char* subject : {"First", "Second"}) {
            TMailItem& item = inbox.Items.Add();
            item.CachedData.Subject = subject;
            item.CachedData.Date = subject[0] == 'F' ? 2.0 : 1.0;
            item.Folder = inbox.Path;
            item.UIDL = subject;
            item.Cache = subject;
            item.Changed();
        }
        inbox.SaveTable();
    }
    TfrmMsgList window(context, tasks, opener);
    window.FormCreate();
    ASSERT_EQ(window.Folders().Count(), 1);
    ASSERT_NE(window.CurrentBox, nullptr);
    EXPECT_EQ(window.CurrentBox->Name, "Inbox");
    EXPECT_EQ(ChildNamed<QLabel>(window, "lblBoxName")->text(), "Inbox");
    ASSERT_EQ(window.Messages().Count(), 2);
    // Sorted by date ascending, the newest (last) row is focused.
    EXPECT_EQ(window.Messages().data(window.Messages().index(0, kColSubject), Qt::DisplayRole),
              "Second");
    EXPECT_EQ(window.FocusedRow(), RowKeyOf(window.CurrentBox->Items.KeyAt(0)));
}

TEST_F(MainWindow, AFreshDataFolderGetsAnInbox) {
    NewWindow().reset();
    EXPECT_TRUE(FileExists(folder.File("mailbox/Inbox/box.bsf")));
    EXPECT_TRUE(FolderExists(folder.File("accounts")));
}

}  // namespace
}  // namespace quobel::testing
