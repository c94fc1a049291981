// Drives the X11 screen-edge shell on a real X server with a window manager, for
// x11_shell_under_xvfb.sh:
//   x11_shell_probe dock        docks a 30-pixel strip at the top and checks the work area
//                               shrinks and comes back, and the auto-hide registry between two
//                               windows of this process
//                               (with a window flag change in between, as the bar makes one), and
//                               the full-screen notification for another program's window
//   x11_shell_probe fullscreen  shows a full-screen window; a "normal" line on stdin makes it a
//                               normal one; the end of stdin ends the program
//   x11_shell_probe hold EDGE   claims the auto-hide registration of EDGE (left, top, right,
//                               bottom), prints "held"; a "release" line on stdin gives it up
//                               ("released"); the end of stdin ends the program
//   x11_shell_probe try EDGE    tries to claim EDGE: prints "allowed" (exit 0) or "refused"
//                               (exit 3)
// Any failed check prints "FAIL: ..." and exits with 1.
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <iostream>
#include <string>

#include "platform/screen_edge_shell_memory.h"
#include "ui/x11/desktop_shell.h"
#include "ui/x11/x11_atoms.h"

namespace quobel {
namespace {

constexpr int kFailed = 1;
constexpr int kRefused = 3;
// Generous: the window manager answers a strut change within milliseconds, but the machine is
// shared.
constexpr qint64 kDeadlineMs = 15000;

bool failed = false;

void Check(bool condition, const std::string& what) {
    if (!condition) {
        std::printf("FAIL: %s\n", what.c_str());
        std::fflush(stdout);
        failed = true;
    }
}

// Runs the event loop until `done` holds or the deadline passes.
bool WaitFor(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kDeadlineMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return true;
}

bool ParseEdge(const std::string& text, TAppBarEdge& edge) {
    const std::pair<const char*, TAppBarEdge> names[] = {{"left", TAppBarEdge::abeLeft},
                                                         {"top", TAppBarEdge::abeTop},
                                                         {"right", TAppBarEdge::abeRight},
                                                         {"bottom", TAppBarEdge::abeBottom}};
    for (const auto& [name, value] : names) {
        if (text == name) {
            edge = value;
            return true;
        }
    }
    return false;
}

// A bar-like window: frameless, 30 pixels high, not yet shown.
struct Bar {
    QWidget Window;
    int WorkAreaChanges = 0;
    std::vector<bool> FullScreenApps;
    std::unique_ptr<TScreenEdgeShell> Shell;

    Bar() {
        Window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        Window.setGeometry(100, 100, 400, 30);
        Shell = CreateScreenEdgeShellWithFullScreen(
            Window, [this] { ++WorkAreaChanges; },
            [this](bool open) { FullScreenApps.push_back(open); });
    }
};

// The window's X window as the toolkit has it now: the widget's own id goes stale when the toolkit
// replaces the window on a flag change.
xcb_window_t NativeWindow(QWidget& window) {
    return static_cast<xcb_window_t>(window.windowHandle()->winId());
}

std::vector<uint32_t> WindowProperty(QWidget& window, xcb_atom_t property, xcb_atom_t type) {
    const auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return ReadProperty32(x11->connection(), NativeWindow(window), property, type);
}

int Dock() {
    const auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const TX11Atoms atoms = TX11Atoms::Intern(x11->connection());
    const TRect screen = [] {
        const QRect g = QGuiApplication::primaryScreen()->geometry();
        return TRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }();
    const TRect before = DesktopWorkArea();
    std::printf("work area before: %s\n", RectText(before).c_str());

    Bar bar;
    if (bar.Shell == nullptr) {
        std::printf("FAIL: no shell on X11 with an EWMH window manager\n");
        return kFailed;
    }
    bar.Window.show();
    bar.Shell->New();
    Check(WaitFor([&] { return bar.Window.testAttribute(Qt::WA_Mapped); }), "window mapped");
    const std::vector<uint32_t> type =
        WindowProperty(bar.Window, atoms.NetWmWindowType, XCB_ATOM_ATOM);
    Check(type.size() == 1 && type[0] == atoms.NetWmWindowTypeDock, "dock window type");
    const std::vector<uint32_t> desktop =
        WindowProperty(bar.Window, atoms.NetWmDesktop, XCB_ATOM_CARDINAL);
    Check(desktop.size() == 1 && desktop[0] == 0xFFFFFFFF, "on every desktop");

    // Dock a 30-pixel strip at the top, as the bar does.
    TRect strip = screen;
    bar.Shell->QueryPos(TAppBarEdge::abeTop, strip);
    strip.Bottom = strip.Top + 30;
    bar.Shell->SetPos(TAppBarEdge::abeTop, strip);
    bar.Window.setGeometry(strip.Left, strip.Top, strip.Width(), strip.Height());
    const bool shrank = WaitFor([&] {
        const TRect now = DesktopWorkArea();
        return now.Top == before.Top + 30 && now.Bottom == before.Bottom &&
               now.Left == before.Left && now.Right == before.Right;
    });
    Check(shrank, "work area shrank by 30 at the top, is " + RectText(DesktopWorkArea()));
    Check(WaitFor([&] { return bar.WorkAreaChanges > 0; }), "work-area change reported");

    // The bar changes its window flags for its stacking order; the toolkit then rewrites the
    // window's type and may replace the native window.
    const xcb_window_t before_flags = NativeWindow(bar.Window);
    bar.Window.setWindowFlags(bar.Window.windowFlags() | Qt::WindowStaysOnTopHint);
    bar.Window.show();
    WaitFor([&] { return bar.Window.testAttribute(Qt::WA_Mapped); });
    std::printf("native window %s by the flag change\n",
                NativeWindow(bar.Window) == before_flags ? "kept" : "replaced");
    Check(WaitFor([&] {
              const std::vector<uint32_t> t =
                  WindowProperty(bar.Window, atoms.NetWmWindowType, XCB_ATOM_ATOM);
              return bar.Window.testAttribute(Qt::WA_Mapped) && t.size() == 1 &&
                     t[0] == atoms.NetWmWindowTypeDock;
          }),
          "still a dock after a flag change");
    Check(WaitFor([&] {
              const std::vector<uint32_t> states =
                  WindowProperty(bar.Window, atoms.NetWmState, XCB_ATOM_ATOM);
              const auto has = [&states](xcb_atom_t atom) {
                  return std::find(states.begin(), states.end(), atom) != states.end();
              };
              const std::vector<uint32_t> desktops =
                  WindowProperty(bar.Window, atoms.NetWmDesktop, XCB_ATOM_CARDINAL);
              return has(atoms.NetWmStateAbove) && desktops.size() == 1 &&
                     desktops[0] == 0xFFFFFFFF;
          }),
          "above and on every desktop after a flag change");
    Check(WaitFor([&] { return DesktopWorkArea().Top == before.Top + 30; }),
          "strip still reserved after a flag change, work area " + RectText(DesktopWorkArea()));

    // Another program goes full screen and back.
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {QStringLiteral("fullscreen")});
    Check(other.waitForStarted(), "full-screen program started");
    Check(WaitFor([&] { return !bar.FullScreenApps.empty() && bar.FullScreenApps.back(); }),
          "full-screen application reported");
    other.write("normal\n");
    Check(WaitFor([&] { return !bar.FullScreenApps.empty() && !bar.FullScreenApps.back(); }),
          "end of the full-screen application reported");
    other.closeWriteChannel();
    Check(other.waitForFinished(kDeadlineMs), "full-screen program ended");

    // Asking again, as the bar does when told of the change, must not push it off its own strip.
    TRect again = screen;
    bar.Shell->QueryPos(TAppBarEdge::abeTop, again);
    Check(again.Top == before.Top, "query with the strip held gives top " +
                                       std::to_string(again.Top) + ", expected " +
                                       std::to_string(before.Top));
    // Re-docking on the same strip is quiet: no change, so no endless re-docking.
    const int changes = bar.WorkAreaChanges;
    bar.Shell->SetPos(TAppBarEdge::abeTop, strip);
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    Check(bar.WorkAreaChanges == changes, "re-docking the same strip reports no change");

    // Undock: an empty rectangle gives the space back.
    TRect none;
    bar.Shell->SetPos(TAppBarEdge::abeFloat, none);
    Check(WaitFor([&] { return DesktopWorkArea() == before; }),
          "work area restored after undocking, is " + RectText(DesktopWorkArea()));

    // The auto-hide registry between two windows.
    Bar second;
    Check(bar.Shell->SetAutoHideBar(TAppBarEdge::abeTop, true), "first window claims the top");
    Check(bar.Shell->IsAutoHideBar(TAppBarEdge::abeTop), "first window holds the top");
    Check(!second.Shell->SetAutoHideBar(TAppBarEdge::abeTop, true), "second window refused");
    Check(!second.Shell->IsAutoHideBar(TAppBarEdge::abeTop), "second window does not hold it");
    Check(second.Shell->SetAutoHideBar(TAppBarEdge::abeLeft, true), "another edge is free");
    Check(bar.Shell->SetAutoHideBar(TAppBarEdge::abeTop, false), "first window lets go");
    Check(!bar.Shell->IsAutoHideBar(TAppBarEdge::abeTop), "first window no longer holds it");
    Check(second.Shell->SetAutoHideBar(TAppBarEdge::abeTop, true), "second window now allowed");

    // Removal frees the strip and the registrations.
    bar.Shell->SetPos(TAppBarEdge::abeTop, strip);
    Check(WaitFor([&] { return DesktopWorkArea().Top == before.Top + 30; }), "docked again");
    bar.Shell->Remove();
    second.Shell->Remove();
    Check(WaitFor([&] { return DesktopWorkArea() == before; }),
          "work area restored after removal, is " + RectText(DesktopWorkArea()));
    Check(!second.Shell->IsAutoHideBar(TAppBarEdge::abeTop), "removal ends the top claim");
    Check(bar.Shell->SetAutoHideBar(TAppBarEdge::abeLeft, true), "removal ends the left claim");
    bar.Shell->Remove();

    if (!failed) {
        std::printf("dock: ok\n");
    }
    return failed ? kFailed : 0;
}

int FullScreen() {
    QWidget window;
    window.setWindowTitle(QStringLiteral("full screen"));
    window.showFullScreen();
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &window, [&window, &input] {
        std::string line;
        if (!std::getline(std::cin, line)) {
            input.setEnabled(false);
            QCoreApplication::quit();
        } else if (line == "normal") {
            window.showNormal();
        }
    });
    return QCoreApplication::exec();
}

int Hold(TAppBarEdge edge) {
    Bar bar;
    if (bar.Shell == nullptr || !bar.Shell->SetAutoHideBar(edge, true)) {
        std::printf("FAIL: could not claim the edge\n");
        return kFailed;
    }
    std::printf("held\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "release") {
            bar.Shell->SetAutoHideBar(edge, false);
            std::printf("released\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

int Try(TAppBarEdge edge) {
    Bar bar;
    if (bar.Shell == nullptr) {
        std::printf("FAIL: no shell\n");
        return kFailed;
    }
    const bool allowed = bar.Shell->SetAutoHideBar(edge, true);
    std::printf(allowed ? "allowed\n" : "refused\n");
    return allowed ? 0 : kRefused;
}

}  // namespace
}  // namespace quobel

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::printf("FAIL: needs the xcb platform\n");
        return quobel::kFailed;
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    quobel::TAppBarEdge edge = quobel::TAppBarEdge::abeUnknown;
    if (mode == "dock") {
        return quobel::Dock();
    }
    if (mode == "fullscreen") {
        return quobel::FullScreen();
    }
    if ((mode == "hold" || mode == "try") && argc > 2 && quobel::ParseEdge(argv[2], edge)) {
        return mode == "hold" ? quobel::Hold(edge) : quobel::Try(edge);
    }
    std::fprintf(stderr, "usage: x11_shell_probe dock | hold EDGE | try EDGE\n");
    return 2;
}
