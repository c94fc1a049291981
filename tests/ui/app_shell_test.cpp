#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <atomic>
#include <cstring>

#include "ui/app/single_instance.h"
#include "ui/tasks/frm_tasks.h"
#include "ui_fixture.h"

namespace quobel::testing {
namespace {

QString UniqueName() {
    static int counter = 0;
    return QStringLiteral("quobel-test-%1-%2").arg(::getpid()).arg(++counter);
}

// Runs a later start on its own thread, as a second process would, while this thread serves.
bool SecondStart(const QString& name) {
    std::atomic<bool> first{true};
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> thread(QThread::create([&] {
        TSingleInstance second(name);
        first = second.Acquire();
        done = true;
    }));
    thread->start();
    while (!done) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    thread->wait();
    return first;
}

TEST(SingleInstance, ASecondStartSignalsTheFirstAndEnds) {
    const QString name = UniqueName();
    TSingleInstance first(name);
    int activated = 0;
    QObject::connect(&first, &TSingleInstance::Activated, [&] { ++activated; });
    ASSERT_TRUE(first.Acquire());
    EXPECT_TRUE(first.IsFirst());

    EXPECT_FALSE(SecondStart(name));
    EXPECT_EQ(activated, 1);  // handled before the second start ended
    EXPECT_FALSE(SecondStart(name));
    EXPECT_EQ(activated, 2);

    first.Release();
    EXPECT_TRUE(SecondStart(name));  // nobody runs any more
}

TEST(SingleInstance, TheSocketOfACrashedInstanceIsTakenOver) {
    const QString name = UniqueName();
    const QByteArray path = QDir(QDir::tempPath()).absoluteFilePath(name).toLocal8Bit();
    // A bound socket whose owner went away without removing it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);

    TSingleInstance instance(name);
    EXPECT_TRUE(instance.Acquire());
    EXPECT_TRUE(instance.IsFirst());
    EXPECT_FALSE(SecondStart(name));
}

TEST(SingleInstance, TheSignalRestoresAHiddenMainWindowOnly) {
    WindowFixture fixture;
    auto window = fixture.NewWindow();
    window->TrayAvailable = [] { return true; };
    window->show();
    const QString name = UniqueName();
    TSingleInstance first(name);
    QObject::connect(&first, &TSingleInstance::Activated, window.get(),
                     &TfrmMsgList::SecondInstance);
    ASSERT_TRUE(first.Acquire());

    window->HideToTray();
    ASSERT_FALSE(window->isVisible());
    EXPECT_FALSE(SecondStart(name));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->InTray());

    const QRect bounds = window->geometry();
    EXPECT_FALSE(SecondStart(name));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->geometry(), bounds);
}

TEST(TasksWindow, StartsCollapsedAndRemembersTheDetails) {
    TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    {
        TfrmTasks tasks(options);
        EXPECT_FALSE(tasks.DetailsShown());
        EXPECT_EQ(tasks.cmdDetails->text(), "&Details >>");
        tasks.cmdDetails->click();
        EXPECT_TRUE(tasks.DetailsShown());
        EXPECT_EQ(tasks.cmdDetails->text(), "&Details <<");
    }
    TfrmTasks tasks(options);
    EXPECT_TRUE(tasks.DetailsShown());
}

TEST(TasksWindow, ListsTasksInQueueOrderAndErrorsOldestFirst) {
    TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    TfrmTasks tasks(options);
    tasks.AddTaskRow("Checking for new messages...", "pop.one.example");
    tasks.AddTaskRow("Checking for new messages...", "pop.two.example");
    tasks.DeleteFirstTaskRow();
    ASSERT_EQ(tasks.TaskRowCount(), 1);
    EXPECT_EQ(tasks.tvTasks->topLevelItem(0)->text(1), "pop.two.example");

    tasks.AddErrorRow("later", "10:00:05", 2.0, "details");
    tasks.AddErrorRow("earlier", "09:59:58", 1.0, "details");
    EXPECT_EQ(tasks.tvErrors->topLevelItem(0)->text(0), "earlier");
    bool cleared = false;
    tasks.OnClearErrors = [&] { cleared = true; };
    tasks.cmdHideClick();
    EXPECT_EQ(tasks.ErrorRowCount(), 0);
    EXPECT_TRUE(cleared);
    EXPECT_EQ(tasks.TaskRowCount(), 1);
}

// Showing the error page opens the detail area only when asked to, and never closes it.
TEST(TasksWindow, TheErrorPageOpensTheDetailsWhenAsked) {
    struct Case {
        const char* name;
        bool detailsBefore;
        bool expand;
        bool detailsAfter;
    };
    const Case cases[] = {
        {"collapsed, expand", false, true, true},
        {"collapsed, leave", false, false, false},
        {"expanded, expand", true, true, true},
        {"expanded, leave", true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        TOptions options(folder.File("settings.ini"));
        TfrmTasks tasks(options);
        if (tasks.DetailsShown() != c.detailsBefore) {
            tasks.cmdDetails->click();
        }
        tasks.ShowTasksPage();
        tasks.ShowErrorsPage(c.expand);
        EXPECT_EQ(tasks.pcTasks->currentWidget(), tasks.tvErrors);
        EXPECT_EQ(tasks.DetailsShown(), c.detailsAfter);
        EXPECT_EQ(tasks.cmdDetails->text(), c.detailsAfter ? "&Details <<" : "&Details >>");
    }
}

}  // namespace
}  // namespace quobel::testing
