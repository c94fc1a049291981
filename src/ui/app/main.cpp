// Quobel's entry: the process-wide objects in their order, one instance per user, the splash,
// the Tasks window and the main window, the event loop, and everything freed in reverse order.
#include <memory>

#include "core/file_util.h"
#include "cycle/startup_load.h"
#include "platform/memory_allocator.h"
#include "ui/app/desktop_bus.h"
#include "ui/app/mail_cycle.h"
#include "ui/app/program_folder.h"
#include "ui/app/quobel_application.h"
#include "ui/app/quobel_context.h"
#include "ui/app/single_instance.h"
#include "ui/app/splash.h"
#include "ui/app/startup_probe.h"
#include "ui/app/translations.h"
#include "ui/common/help_key.h"
#include "ui/common/icons.h"
#include "ui/common/qt_platform.h"
#include "ui/mainwindow/frm_msg_list.h"
#include "ui/tasks/frm_tasks.h"

int main(int argc, char** argv) {
    using namespace quobel;
    TuneMemoryAllocator();
    TQuobelContext context(WithInstalledProgramFolder(TApp::FromEnvironment()));
    // The accounts and the mailboxes are read while Qt starts and the windows are built; the
    // reading writes nothing, so a second instance may start it before it knows to go.
    TStartupLoad startupLoad(context.Accounts, context.MailBoxes, context.App.DataFolder());

    // The program reads no command line: Qt gets the program name only.
    int qtArgc = argc > 0 ? 1 : 0;
    TQuobelApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Quobel"));
    // The desktop ties the windows to the menu entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quobel.Quobel"));
    QApplication::setWindowIcon(TIcons::Application());
    // Before the first window, so that every text is in the desktop's language.
    const TTranslations translations(TranslationsFolderOf(context.App.ProgramFolder()),
                                     DesktopLocale());
    // Closing the main window ends the program, also while the Tasks window is open; hiding
    // to the tray must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    TSingleInstance instance(TSingleInstance::DefaultName());
    if (!instance.Acquire()) {
        return 0;  // the running instance has been asked to show itself
    }

    context.Skins.LoadFromFolder(JoinPath(context.App.ProgramFolder(), "skins"));
    if (context.Skins.Count() == 0) {
        ShowNoSkinsError();
        return 1;
    }

    auto splash = std::make_unique<TfrmSplash>();
    splash->ShowNow();

    QtUrlOpener urlOpener;
    const THelpKey helpKey(urlOpener, JoinPath(context.App.ProgramFolder(), "Quobel.html"));
    int result = 0;
    {
        TfrmTasks tasks(context.Options);
        {
            // Declared before the window so that it goes after it: the window's last act
            // saves through the cycle, and only then do the task threads end.
            std::unique_ptr<TMailCycle> cycle;
            TfrmMsgList msgList(context, tasks, urlOpener);
            cycle = std::make_unique<TMailCycle>(context, msgList, tasks);
            QObject::connect(&instance, &TSingleInstance::Activated, &msgList,
                             &TfrmMsgList::SecondInstance);
            QObject::connect(&msgList, &TfrmMsgList::Closed, &app, &QCoreApplication::quit);
            msgList.UseStartupLoad(startupLoad);
            RunGuarded([&] { msgList.FormCreate(); });
            RunGuarded([&] { cycle->Start(); });
            RunGuarded([&] { cycle->OpenBar(); });
            RunGuarded([&] { msgList.AfterStartup(); });
            // Only the running instance gets here: it alone offers the D-Bus interface. Goes
            // before the window and the cycle.
            std::unique_ptr<TDesktopBus> desktopBus;
            RunGuarded([&] {
                desktopBus =
                    std::make_unique<TDesktopBus>(*cycle, context, QDBusConnection::sessionBus());
            });
            splash.reset();
            WatchFirstPaintIfAsked(msgList);
            msgList.show();
            result = app.exec();
        }  // the main window saves its state here
    }      // then the Tasks window goes
    instance.Release();
    return result;  // the process-wide objects go last, in reverse order of creation
}
