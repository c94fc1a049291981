#include "desktop_shell.h"

#include <QGuiApplication>
#include <QScreen>

namespace quobel {

std::unique_ptr<TScreenEdgeShell> CreateScreenEdgeShell(
    QWidget& /*barWindow*/, std::function<void()> /*onWorkAreaChanged*/) {
    // Without a shell that reserves screen strips the bar can only float.
    return nullptr;
}

TRect DesktopWorkArea() {
    const QScreen* const screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    const QRect area = screen->availableGeometry();
    return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

}  // namespace quobel
