#include "ui/x11/desktop_shell.h"

#include <QGuiApplication>
#include <QScreen>

#include "ui/x11/x11_atoms.h"
#include "ui/x11/x11_display.h"
#include "ui/x11/x11_screen_edge_shell.h"
#include "ui/x11/x11_struts.h"

namespace quobel {
namespace {

xcb_connection_t* X11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return nullptr;
    }
    const auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

// The root window of the toolkit's default screen.
xcb_window_t DefaultRoot(xcb_connection_t* connection) {
    const auto* const x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const int number = x11 != nullptr ? X11DefaultScreenNumber(x11->display()) : 0;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < number && it.rem > 1; ++i) {
        xcb_screen_next(&it);
    }
    return it.rem > 0 ? it.data->root : kNoWindow;
}

}  // namespace

std::unique_ptr<TScreenEdgeShell> CreateScreenEdgeShell(QWidget& barWindow,
                                                        std::function<void()> onWorkAreaChanged) {
    return CreateScreenEdgeShellWithFullScreen(barWindow, std::move(onWorkAreaChanged), {});
}

std::unique_ptr<TScreenEdgeShell> CreateScreenEdgeShellWithFullScreen(
    QWidget& barWindow, std::function<void()> onWorkAreaChanged,
    std::function<void(bool)> onFullScreenApp) {
    xcb_connection_t* const connection = X11Connection();
    // Without a window manager that reserves strips for struts the bar can only float.
    if (connection == nullptr || !TX11ScreenEdgeShell::DesktopSupportsStruts(connection)) {
        return nullptr;
    }
    return std::make_unique<TX11ScreenEdgeShell>(
        barWindow, connection, std::move(onWorkAreaChanged), std::move(onFullScreenApp));
}

TRect DesktopWorkArea() {
    const QScreen* const screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return {};
    }
    // Read from the server rather than the toolkit's copy, which catches up with a change only
    // when the change's event has been handled.
    if (xcb_connection_t* const connection = X11Connection()) {
        const TX11Atoms atoms = TX11Atoms::Intern(connection);
        const xcb_window_t root = DefaultRoot(connection);
        const std::vector<uint32_t> desktop =
            ReadProperty32(connection, root, atoms.NetCurrentDesktop, XCB_ATOM_CARDINAL);
        const std::optional<TRect> area = WorkAreaOfDesktop(
            ReadProperty32(connection, root, atoms.NetWorkarea, XCB_ATOM_CARDINAL),
            desktop.empty() ? 0 : desktop[0]);
        if (area) {
            return ScaleRect(*area, 1.0 / screen->devicePixelRatio());
        }
    }
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

}  // namespace quobel
