#include "ui/tickerbar/bar_shell_window.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <utility>

#include "ui/common/lower_texts.h"
#include "ui/x11/desktop_shell.h"

namespace quobel {
namespace {

// Pause between the frames of a slide: the slide blocks for its whole duration, as the docking
// rules allow, without spinning the processor.
constexpr unsigned long kSlideFrameMs = 10;

}  // namespace

TBarShellWindow::TBarShellWindow(QWidget& window, const TInformation& onInformation,
                                 std::function<bool()> dragging)
    : window_(window), onInformation_(onInformation), dragging_(std::move(dragging)) {
    QObject::connect(&autoHide_, &QTimer::timeout, &window_, [this] {
        if (appBar_ != nullptr) {
            appBar_->AutoHideCheck();
        }
    });
}

TScreenMetrics TBarShellWindow::Metrics() {
    TScreenMetrics metrics;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        metrics.ScreenWidth = screen->geometry().width();
        metrics.ScreenHeight = screen->geometry().height();
    }
    const int scrollBar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    metrics.VScrollWidth = scrollBar;
    metrics.HScrollHeight = scrollBar;
    return metrics;
}

TRect TBarShellWindow::WorkArea() {
    return DesktopWorkArea();
}

TRect TBarShellWindow::WindowRect() {
    const QRect r = window_.geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void TBarShellWindow::PlaceWindow(const TRect& rect) {
    // The window system holds a window within its size limits; so does this.
    int32_t width = rect.Width();
    int32_t height = rect.Height();
    if (appBar_ != nullptr) {
        const TSizeLimits limits = appBar_->SizeLimits();
        width = std::max(std::min(width, limits.MaxWidth), limits.MinWidth);
        height = std::max(std::min(height, limits.MaxHeight), limits.MinHeight);
    }
    window_.setGeometry(rect.Left, rect.Top, std::max(width, 1), std::max(height, 1));
}

void TBarShellWindow::PaintNow() {
    window_.repaint();
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        QGuiApplication::sync();
    }
    QThread::msleep(kSlideFrameMs);
}

void TBarShellWindow::SetZOrder(TZOrder order) {
    if (closing_) {
        return;
    }
    Qt::WindowFlags flags =
        window_.windowFlags() & ~(Qt::WindowStaysOnTopHint | Qt::WindowStaysOnBottomHint);
    if (order == TZOrder::TopMost) {
        flags |= Qt::WindowStaysOnTopHint;
    } else if (order == TZOrder::Bottom) {
        flags |= Qt::WindowStaysOnBottomHint;
    }
    if (flags == window_.windowFlags()) {
        return;
    }
    if (QWindow* const handle = window_.windowHandle()) {
        // Changing the flags of an existing window the usual way hides it and may make a new
        // one, which would lose what the desktop shell set on it: tell the window directly.
        window_.overrideWindowFlags(flags);
        handle->setFlags(flags);
    } else {
        window_.setWindowFlags(flags);
    }
}

void TBarShellWindow::ShowApplicationWindow(bool) {
    // No hidden application window carries a task-bar entry here: the main window has its own
    // entry, and the bar, a tool window, never gets one.
}

bool TBarShellWindow::IsActiveWindow() {
    return window_.isActiveWindow();
}

TPoint TBarShellWindow::PointerPos() {
    const QPoint p = QCursor::pos();
    return {p.x(), p.y()};
}

int64_t TBarShellWindow::TickCount() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TBarShellWindow::SetAutoHideTimer(int32_t intervalMs) {
    if (intervalMs > 0) {
        autoHide_.start(intervalMs);
    } else {
        autoHide_.stop();
    }
}

void TBarShellWindow::PostSizeMoveCycle() {
    // Once the window has its real size: the float rectangle takes it.
    QTimer::singleShot(0, &window_, [this] {
        if (appBar_ != nullptr && !dragging_()) {
            appBar_->EnterSizeMove();
            appBar_->ExitSizeMove();
        }
    });
}

void TBarShellWindow::ShowInformation(const std::string& title, const std::string& text) {
    if (onInformation_) {
        onInformation_(title, text);
        return;
    }
    QString shown = ShownText(text);
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox::information(&window_, ShownText(title), shown);
}

}  // namespace quobel
