// What a first look at the running program finds, on the real windows: commands without function
// shown unavailable, the first run without an account, the status panel's way to the Tasks
// window and its server column, F1, the check interval, a failed fetch in the reader, and a skin
// that does not load.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <functional>

#include "bar/skin_fixture.h"
#include "core/error.h"
#include "core/ini_file.h"
#include "platform/screen_edge_shell_memory.h"
#include "reader_fixture.h"
#include "retrieval/errors.h"
#include "retrieval/pop_list.h"
#include "ui/common/help_key.h"
#include "ui/common/qt_platform.h"
#include "ui/dialogs/account_dialog.h"
#include "ui/dialogs/options_dialog.h"
#include "ui/dialogs/options_prompts.h"
#include "ui/dialogs/skin_list.h"
#include "ui/mainwindow/main_widgets.h"
#include "ui/mainwindow/status_panel.h"
#include "ui/reader/frm_ext_reader.h"
#include "ui/reader/reader_text_view.h"
#include "ui/tickerbar/bar_owner.h"

namespace quobel::testing {
namespace {

// The running program's windows with one account (ReaderTest), a skin for the bar and a bar
// that docks to a screen in memory.
class FirstLook : public ReaderTest {
  protected:
    FirstLook() {
        test::WriteSoundSkin(folder.File("skins"), "Sound");
        cycle->Bar().ShellFactory = [](QWidget&, std::function<void()>, std::function<void(bool)>) {
            return std::make_unique<TScreenEdgeShellMemory>(800, 600);
        };
    }

    void LoadSkins(const char* chosen) {
        {
            OptionsScope scope(context.Options);
            scope.Ini().WriteString("Bar", "Skin", chosen);
        }
        context.Skins.LoadFromFolder(folder.File("skins"));
    }

    TfrmBar& OpenBar() {
        window->Command(TCommandId::Bar).setChecked(true);
        cycle->Bar().actBarExecute(true);
        if (cycle->Bar().Bar() == nullptr) {
            throw std::runtime_error("the bar did not open");
        }
        return *cycle->Bar().Bar();
    }

    // No account at all, as on a first start.
    void ForgetTheAccount() {
        context.Accounts.Remove(*Account);
        Account = nullptr;
        cycle->Controller().BuildAccountsMenu();
    }
};

// Answers the next modal dialog of type T from the event loop.
template <class T>
void AnswerNextDialog(std::function<void(T&)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start();
}

QToolButton* ButtonOf(const QToolBar& bar, const QAction& action) {
    return qobject_cast<QToolButton*>(bar.widgetForAction(const_cast<QAction*>(&action)));
}

QList<QAction*> MenuBarEntries(QMainWindow& window) {
    QList<QAction*> entries;
    for (QAction* top : window.menuBar()->actions()) {
        entries += top->menu()->actions();
    }
    return entries;
}

void ExpectUnavailable(const QAction& action) {
    SCOPED_TRACE(action.objectName().toStdString());
    EXPECT_FALSE(action.isEnabled());
    EXPECT_TRUE(action.toolTip().endsWith(" (not available)")) << action.toolTip().toStdString();
    EXPECT_TRUE(action.statusTip().endsWith(": not available in Quobel"))
        << action.statusTip().toStdString();
}

TEST_F(FirstLook, CommandsWithoutFunctionAreUnavailableWhereverTheyAppear) {
    using enum TCommandId;
    // The main window: still in their places, disabled even when a selection enables the
    // message commands around them.
    window->EnableMessageCommands(true);
    ASSERT_TRUE(window->Command(DeleteSelected).isEnabled());
    const QList<QAction*> menuBar = MenuBarEntries(*window);
    const QList<QAction*> listMenu = ChildNamed<QMenu>(*window, "mnuList")->actions();
    const QToolBar& toolBar = *ChildNamed<QToolBar>(*window, "tbMain");
    struct Case {
        TCommandId id;
        bool inListMenu;
        bool onToolBar;
    };
    const Case cases[] = {
        {SelectSpam, true, false},    {AntiSpamSelected, true, true}, {AddressBook, false, true},
        {SenderAddress, true, false}, {SenderAllow, true, false},
    };
    for (const Case& c : cases) {
        QAction& action = window->Command(c.id);
        ExpectUnavailable(action);
        EXPECT_TRUE(menuBar.contains(&action));
        EXPECT_EQ(listMenu.contains(&action), c.inListMenu);
        if (c.onToolBar) {
            ASSERT_NE(ButtonOf(toolBar, action), nullptr);
            EXPECT_FALSE(ButtonOf(toolBar, action)->isEnabled());
        }
        action.trigger();  // a disabled command does nothing
    }
    ExpectUnavailable(window->Command(ContactsList));
    // Showing and hiding the contacts pane still works.
    EXPECT_TRUE(window->Command(Contacts).isEnabled());
    EXPECT_TRUE(window->Command(MarkRead).isEnabled());

    // A reader window, after it showed a message (which enables its Delete).
    TMailItem& item = AddItem("uid-shown", SimpleMessage("Shown", "Body"), true);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    const QAction& antiSpam = *ChildNamed<QAction>(reader, "actAntispam");
    ExpectUnavailable(antiSpam);
    EXPECT_FALSE(ButtonOf(*ChildNamed<QToolBar>(reader, "tbMain"), antiSpam)->isEnabled());
    EXPECT_TRUE(ChildNamed<QAction>(reader, "actDelete")->isEnabled());
    reader.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The bar's menus.
    LoadSkins("Sound");
    TfrmBar& bar = OpenBar();
    const QAction* addressBook = nullptr;
    for (QAction* entry : bar.Menu(TBarMenuId::Main).actions()) {
        if (entry->objectName() == "actAddressBook") {
            addressBook = entry;
        }
    }
    ASSERT_NE(addressBook, nullptr);
    ExpectUnavailable(*addressBook);
    const QAction* barAntiSpam = nullptr;
    for (QAction* entry : bar.Menu(TBarMenuId::Button).actions()) {
        if (entry->objectName() == "actAntiSpam") {
            barAntiSpam = entry;
        }
    }
    ASSERT_NE(barAntiSpam, nullptr);
    ExpectUnavailable(*barAntiSpam);
}

TEST_F(FirstLook, WithoutAnAccountTheListSaysSoAndItsButtonAddsOne) {
    ForgetTheAccount();
    const QWidget* line = ChildNamed<QWidget>(*window, "pnlFirstRun");
    EXPECT_FALSE(line->isHidden());
    EXPECT_EQ(ChildNamed<QLabel>(*window, "lblFirstRun")->text(),
              "No account yet: add one to start checking mail");
    // It stands in the list's part of the window, above the list.
    EXPECT_TRUE(ChildNamed<QWidget>(*window, "pnlList")->isAncestorOf(line));

    // The check command says the same instead of doing nothing.
    window->SetStatusText(QString());
    window->Command(TCommandId::Synchronize).trigger();
    EXPECT_EQ(window->StatusText(), "No account yet: add one to start checking mail");
    EXPECT_EQ(cycle->Tasks().Count(), 0u);

    // Cancelling the account dialog changes nothing.
    auto* button = ChildNamed<QAbstractButton>(*window, "cmdAddAccount");
    AnswerNextDialog<TfrmAccount>([](TfrmAccount& dialog) { dialog.reject(); });
    button->click();
    EXPECT_EQ(context.Accounts.Count(), 0u);
    EXPECT_FALSE(line->isHidden());

    // OK adds the account, writes its file and takes the line away.
    AnswerNextDialog<TfrmAccount>([](TfrmAccount& dialog) {
        dialog.txtAccount->setText("Home");
        dialog.txtName->setText("Ann");
        dialog.txtEmail->setText("ann@example.org");
        dialog.txtPOPHost->setText("pop.example.org");
        dialog.txtPOPUser->setText("ann");
        dialog.txtSMTPHost->setText("smtp.example.org");
        dialog.cmdOKClick();
    });
    button->click();
    ASSERT_EQ(context.Accounts.Count(), 1u);
    const TAccount& added = context.Accounts.Items(0);
    EXPECT_EQ(added.Name, "Home");
    EXPECT_EQ(added.POP.Host, "pop.example.org");
    EXPECT_TRUE(added.Default);
    EXPECT_TRUE(FileExists(TAccounts::FileNameOf(folder.File("accounts"), added)));
    EXPECT_TRUE(line->isHidden());
    const QList<QAction*> accountsMenu = ChildNamed<QMenu>(*window, "mnuAccounts")->actions();
    ASSERT_EQ(accountsMenu.size(), 1);
    EXPECT_EQ(accountsMenu[0]->text(), "Home");
}

TEST_F(FirstLook, WithAnAccountThereIsNoFirstRunLine) {
    cycle->Controller().BuildAccountsMenu();
    EXPECT_TRUE(ChildNamed<QWidget>(*window, "pnlFirstRun")->isHidden());
}

// A left press on the task panel of the status bar: the queue first, then the error log.
TEST_F(FirstLook, StatusPanelClickOpensTheTasksWindowOnWhatThereIsToSee) {
    window->show();
    auto* panel = ChildNamed<TStatusPanel>(*window, "sbStatus");
    auto* hints = ChildNamed<QLabel>(*window, "sbHint");
    ASSERT_GT(panel->geometry().left(), hints->geometry().left());
    enum class Page { None, Tasks, Errors };
    struct Case {
        const char* name;
        bool queued;
        bool logged;
        Page shown;
    };
    const Case cases[] = {
        {"nothing queued or logged", false, false, Page::None},
        {"an error logged", false, true, Page::Errors},
        {"a task queued", true, false, Page::Tasks},
        {"both", true, true, Page::Tasks},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tasks.hide();
        context.Errors.Clear();
        tasks.ShowTasksPage();
        if (c.queued) {
            cycle->Tasks().Add<TPOPList>(*Account);  // queued, not started
        }
        if (c.logged) {
            cycle->Controller().LogError("Could not connect!", "refused");
            tasks.hide();
            tasks.ShowTasksPage();
        }
        QTest::mouseClick(hints, Qt::LeftButton);  // the first panel: nothing
        EXPECT_FALSE(tasks.isVisible());
        QTest::mouseClick(panel, Qt::LeftButton);
        EXPECT_EQ(tasks.isVisible(), c.shown != Page::None);
        if (c.shown != Page::None) {
            EXPECT_EQ(tasks.pcTasks->currentWidget(),
                      c.shown == Page::Tasks ? tasks.tvTasks : tasks.tvErrors);
        }
        // The queued check runs against a server that hangs up.
        cycle->Tasks().StartNext();
        ASSERT_TRUE(RunTasks());
    }
    tasks.hide();
}

TEST_F(FirstLook, TheTasksWindowNamesTheServerOfAFetch) {
    TMailItem& item = AddItem("uid-host", SimpleMessage("Host", "Body"), false);
    Pane().ShowItem(item);
    ASSERT_EQ(tasks.TaskRowCount(), 1);
    EXPECT_EQ(tasks.tvTasks->topLevelItem(0)->text(1), "mail.example");
    ASSERT_TRUE(RunTasks());
}

TEST_F(FirstLook, F1OpensTheHelpAtTheSectionOfTheFocusedWindow) {
    const THelpKey help(opener, folder.File("Quobel.html"));
    const std::string file = QUrl::fromLocalFile(QString::fromStdString(folder.File("Quobel.html")))
                                 .toString()
                                 .toStdString();
    TMailItem& item = AddItem("uid-help", SimpleMessage("Help", "Body"), true);
    TfrmExtReader& reader = Readers().ShowInReader(item, true);
    LoadSkins("Sound");
    TfrmBar& bar = OpenBar();
    TQtDialogPrompts prompts;
    TfrmAccount account(prompts, window.get());
    QtSoundPlayer sound;
    TSkinListOf<TSkins> skins(context.Skins);
    TfrmOptions options({context.Options, context.Accounts, folder.Path(), skins, prompts, sound},
                        window.get());
    struct Case {
        const char* name;
        QWidget* focus;
        const char* section;
    };
    const Case cases[] = {
        {"main window's list", ChildNamed<QWidget>(*window, "tvMailBox"), "main"},
        {"main window's folders", ChildNamed<QWidget>(*window, "tvBoxList"), "main"},
        {"preview pane", Pane().rtfText, "reader"},
        {"reader window", reader.findChild<TfraReader*>()->rtfText, "readerwindow"},
        {"options", &options, "options"},
        {"account", account.txtAccount, "account"},
        {"Tasks window", tasks.tvErrors, "tasks"},
        {"bar", &bar, "bar"},
    };
    std::string helpText;
    ASSERT_TRUE(ReadWholeFile(std::string(QUOBEL_SOURCE_DIR) + "/help/Quobel.html", helpText));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE(helpText.find(std::string("id=\"") + c.section + "\""), std::string::npos);
        opener.Opened.clear();
        QTest::keyClick(c.focus, Qt::Key_F1);
        ASSERT_EQ(opener.Opened.size(), 1u);
        EXPECT_EQ(opener.Opened[0], file + "#" + c.section);
    }
    // Other keys pass, and without the help key F1 opens nothing.
    opener.Opened.clear();
    QTest::keyClick(tasks.tvErrors, Qt::Key_F2);
    EXPECT_TRUE(opener.Opened.empty());
    reader.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(FirstLook, AnIntervalBelowOneMinuteChecksEveryMinute) {
    struct Case {
        const char* stored;
        int milliseconds;
    };
    for (const Case& c : {Case{"0", 60000}, Case{"-3", 60000}, Case{"2", 120000}}) {
        SCOPED_TRACE(c.stored);
        {
            OptionsScope scope(context.Options);
            scope.Ini().WriteString("General", "Interval", c.stored);
            scope.Ini().WriteBool("General", "Check", false);
        }
        cycle->Start();
        EXPECT_EQ(ChildNamed<QTimer>(*window, "tmrCheck")->interval(), c.milliseconds);
    }
}

// A fetch that fails replaces the waiting text with the error on one line and a link that tries
// again; the failure is also listed in the error log.
TEST_F(FirstLook, AFailedFetchShowsItsErrorAndTryAgain) {
    const std::string message = SimpleMessage("Retry", "second time lucky");
    struct Case {
        const char* uid;
        bool reachable;
        const char* error;
    };
    const Case cases[] = {
        {"uid-broken", true, "Could not retrieve message!"},
        {"uid-unreachable", false, "Connection refused at once"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uid);
        TMailItem& item = AddItem(c.uid, message, false);
        if (c.reachable) {
            // The transfer breaks off after the first line.
            Serve(kLogin + "+OK\r\n1 " + c.uid + "\r\n.\r\n+OK 1 99\r\n+OK\r\nFrom: Mara\r\n");
        } else {
            cycle->Controller().TaskConnector =
                [](const TConnectRequest&) -> std::unique_ptr<TTransport> {
                throw Error("Connection refused\r\nat once");
            };
        }
        Pane().ShowItem(item);
        ASSERT_TRUE(RunTasks());
        QLabel* failure = ChildNamed<QLabel>(Pane(), "lblFetchFailed");
        EXPECT_EQ(Pane().State(), TfraReader::TState::Failed);
        EXPECT_FALSE(failure->isHidden());
        EXPECT_FALSE(Pane().Text().contains(QString::fromUtf8(TfraReader::kWaitingText)));
        EXPECT_TRUE(failure->text().contains(c.error)) << failure->text().toStdString();
        EXPECT_TRUE(failure->text().contains(">Try again</a>"));
        EXPECT_FALSE(failure->text().contains('\n'));
        EXPECT_FALSE(item.Downloaded);
        EXPECT_GE(context.Errors.Count(), 1u);

        // Try again, with a server that answers.
        cycle->Controller().TaskConnector = TMemoryTransport::ConnectorFor(Peer);
        Serve(FetchScript(c.uid, message));
        emit failure->linkActivated(QStringLiteral("retry"));
        ASSERT_TRUE(RunTasks());
        EXPECT_EQ(Pane().State(), TfraReader::TState::Showing);
        EXPECT_TRUE(failure->isHidden());
        EXPECT_EQ(Pane().Text(), QStringLiteral("second time lucky\n"));
        EXPECT_TRUE(item.Downloaded);
    }
}

TEST_F(FirstLook, ASkinThatCannotBeLoadedIsReportedWithTheOneUsedInstead) {
    // "Broken" sorts before "Sound" and has no pictures.
    test::WriteFile(folder.File("skins/Broken/skin.ini"), "[General]\r\n");
    LoadSkins("Sound");
    ASSERT_EQ(context.Skins.Count(), 2);
    TSkin* broken = &context.Skins.Items(0);
    TSkin* sound = &context.Skins.Items(1);
    struct Case {
        const char* chosen;
        TSkin* current;       // null: the stored name matches no skin
        const char* message;  // empty: nothing is reported
    };
    const Case cases[] = {
        {"Sound", sound, ""},
        {"Broken", broken,
         "The skin \"Broken\" could not be loaded; the bar uses the skin \"Sound\" instead"},
        {"Gone", nullptr,
         "The skin \"Gone\" could not be loaded; the bar uses the skin \"Sound\" instead"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        tasks.cmdHideClick();  // empties the log
        context.Skins.SetCurrent(c.current);
        {
            OptionsScope scope(context.Options);
            scope.Ini().WriteString("Bar", "Skin", c.chosen);
        }
        TfrmBar& bar = OpenBar();
        EXPECT_EQ(bar.Skin(), sound);
        if (c.message[0] == '\0') {
            EXPECT_EQ(context.Errors.Count(), 0u);
        } else {
            ASSERT_EQ(context.Errors.Count(), 1u);
            EXPECT_EQ(context.Errors.Items(0).Message, c.message);
            EXPECT_FALSE(context.Errors.Items(0).Details.empty());
            ASSERT_EQ(tasks.ErrorRowCount(), 1);
            EXPECT_EQ(tasks.tvErrors->topLevelItem(0)->text(0), c.message);
        }
        window->Command(TCommandId::Bar).setChecked(false);
        cycle->Bar().actBarExecute(false);
        QCoreApplication::processEvents();
    }
}

}  // namespace
}  // namespace quobel::testing
