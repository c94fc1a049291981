#include "ui/common/qt_placed_window.h"

namespace quobel {

WindowPlacement QtPlacedWindow::Placement() const {
    WindowPlacement placement;
    // A minimised or maximised window reports the bounds it returns to.
    const QRect bounds = window_.isMaximized() || window_.isMinimized() ? window_.normalGeometry()
                                                                        : window_.geometry();
    placement.Left = bounds.left();
    placement.Top = bounds.top();
    placement.Width = bounds.width();
    placement.Height = bounds.height();
    placement.State = window_.isMinimized() ? 1 : (window_.isMaximized() ? 2 : 0);
    return placement;
}

void QtPlacedWindow::SetPlacement(const WindowPlacement& placement) {
    window_.setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    Qt::WindowStates state = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (placement.State == 1) {
        state |= Qt::WindowMinimized;
    } else if (placement.State == 2) {
        state |= Qt::WindowMaximized;
    }
    window_.setWindowState(state);
}

}  // namespace quobel
