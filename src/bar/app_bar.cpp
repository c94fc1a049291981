#include "bar/app_bar.h"
#include "core/user_text.h"

#include <algorithm>
#include <cstdlib>

namespace quobel {
namespace {

constexpr TAppBarEdge kDockedEdges[] = {TAppBarEdge::abeLeft, TAppBarEdge::abeTop,
                                        TAppBarEdge::abeRight, TAppBarEdge::abeBottom};

// One frame of a slide: the value at t of a linear move from `from` to `to` over `total` ms.
int32_t SlideStep(int32_t from, int32_t to, int64_t t, int64_t total) {
    return static_cast<int32_t>(from - t * (static_cast<int64_t>(from) - to) / total);
}

}  // namespace

TAppBar::TAppBar(TScreenEdgeShell& shell, TAppBarWindow& window) : shell_(shell), window_(window) {
    const TScreenMetrics metrics = window_.Metrics();
    MaxWidth = metrics.ScreenWidth;
    MaxHeight = metrics.ScreenHeight;
    MaxVertDockSize = metrics.ScreenWidth / 2;
    MaxHorzDockSize = metrics.ScreenHeight / 2;
}

TAppBarEdge TAppBar::Edge() const {
    return dragEdge_ != TAppBarEdge::abeUnknown ? dragEdge_ : edge_;
}

void TAppBar::SetSlideTime(int32_t ms) {
    slideTime_ = ms;
    window_.SetAutoHideTimer(ms);
}

bool TAppBar::AutoHideApplies() const {
    return AutoHide && IsDockedEdge(Edge());
}

TRect TAppBar::FloatPlacement() const {
    // Before the first drag ends the float rectangle may have no size yet; the window system
    // would hold the window at its size limits, so the placement does the same.
    const auto limit = [](int32_t value, int32_t low, int32_t high) {
        return std::max(std::min(value, high), low);
    };
    const int32_t width = limit(FloatRight - FloatLeft, MinWidth, MaxWidth);
    const int32_t height = limit(FloatBottom - FloatTop, MinHeight, MaxHeight);
    return {FloatLeft, FloatTop, FloatLeft + width, FloatTop + height};
}

void TAppBar::SetEdge(TAppBarEdge edge) {
    for (const TAppBarEdge docked : kDockedEdges) {
        if (shell_.IsAutoHideBar(docked)) {
            shell_.SetAutoHideBar(docked, false);
        }
    }
    edge_ = edge;
    if (edge == TAppBarEdge::abeUnknown) {
        shell_.Remove();
    } else if (edge == TAppBarEdge::abeFloat) {
        TRect none;
        shell_.SetPos(edge, none);
        window_.PlaceWindow(FloatPlacement());
    } else if (IsDockedEdge(edge)) {
        if (AutoHide && !shell_.SetAutoHideBar(edge, true)) {
            AutoHide = false;
            AutoHideRefused();
        }
        TRect rect = DockRect(edge, window_.WindowRect());
        if (AutoHide) {
            TRect none;
            shell_.SetPos(edge, none);
        } else {
            shell_.SetPos(edge, rect);
        }
        SlideWindow(AutoHidePosition(rect, autoHideShown_));
    }

    if (AlwaysOnTop) {
        window_.SetZOrder(fullScreenAppOpen_ ? TZOrder::Bottom : TZOrder::TopMost);
    } else {
        window_.SetZOrder(TZOrder::NotTopMost);
    }
    shell_.Activate();

    switch (TaskEntry) {
        case TAppBarTaskEntry::abtShow:
            window_.ShowApplicationWindow(true);
            break;
        case TAppBarTaskEntry::abtHide:
            window_.ShowApplicationWindow(false);
            break;
        case TAppBarTaskEntry::abtFloatDependent:
            if (IsDockedEdge(edge)) {
                window_.ShowApplicationWindow(false);
            } else if (edge == TAppBarEdge::abeFloat) {
                window_.ShowApplicationWindow(true);
            }
            break;
    }
}

void TAppBar::ReapplyEdge() {
    SetEdge(edge_);
}

void TAppBar::Created() {
    window_.SetAutoHideTimer(slideTime_);
    const TRect rect = window_.WindowRect();
    FloatLeft = rect.Left;
    FloatTop = rect.Top;
    shell_.New();
    ReapplyEdge();
    window_.PostSizeMoveCycle();
}

void TAppBar::Destroying() {
    window_.SetAutoHideTimer(0);
    SetEdge(TAppBarEdge::abeUnknown);
}

TRect TAppBar::DockRect(TAppBarEdge edge, const TRect& rect) {
    if (!IsDockedEdge(edge)) {
        return rect;
    }
    const TScreenMetrics metrics = window_.Metrics();
    TRect dock{0, 0, metrics.ScreenWidth, metrics.ScreenHeight};
    if (!AutoHide) {
        shell_.QueryPos(edge, dock);
    }
    switch (edge) {
        case TAppBarEdge::abeLeft:
            dock.Right = dock.Left + VertDockSize;
            break;
        case TAppBarEdge::abeTop:
            dock.Bottom = dock.Top + HorzDockSize;
            break;
        case TAppBarEdge::abeRight:
            dock.Left = dock.Right - VertDockSize;
            break;
        default:
            dock.Top = dock.Bottom - HorzDockSize;
            break;
    }
    return dock;
}

TRect TAppBar::AutoHidePosition(const TRect& rect, bool shown) {
    if (!AutoHideApplies()) {
        return rect;
    }
    const TScreenMetrics m = window_.Metrics();
    const int32_t width = rect.Width();
    const int32_t height = rect.Height();
    switch (Edge()) {
        case TAppBarEdge::abeLeft:
            return rect.MovedTo(shown ? 0 : 2 * m.BorderWidth - width, 0);
        case TAppBarEdge::abeTop:
            return rect.MovedTo(0, shown ? 0 : 2 * m.BorderHeight - height);
        case TAppBarEdge::abeRight:
            return rect.MovedTo(shown ? m.ScreenWidth - width : m.ScreenWidth - 2 * m.BorderWidth,
                                0);
        default:
            return rect.MovedTo(
                0, shown ? m.ScreenHeight - height : m.ScreenHeight - 2 * m.BorderHeight);
    }
}

void TAppBar::ShowAutoHideBar(bool show) {
    if (Stick && !show) {
        return;
    }
    TRect rect = window_.WindowRect();
    autoHideShown_ = true;
    if (AutoHideApplies()) {
        rect = AutoHidePosition(rect, show);
        autoHideShown_ = show;
        SlideWindow(rect);
    }
}

void TAppBar::SlideWindow(const TRect& target) {
    const TRect start = window_.WindowRect();
    if (SlideEffect && window_.DragFullWindows() && start != target && slideTime_ > 0) {
        const int64_t total = slideTime_;
        const int64_t begin = window_.TickCount();
        for (int64_t now = window_.TickCount(); now < begin + total; now = window_.TickCount()) {
            const int64_t t = std::max<int64_t>(now - begin, 0);
            const int32_t left = SlideStep(start.Left, target.Left, t, total);
            const int32_t top = SlideStep(start.Top, target.Top, t, total);
            const int32_t width = SlideStep(start.Width(), target.Width(), t, total);
            const int32_t height = SlideStep(start.Height(), target.Height(), t, total);
            window_.PlaceWindow({left, top, left + width, top + height});
            window_.PaintNow();
        }
    }
    window_.PlaceWindow(target);
}

void TAppBar::AutoHideCheck() {
    if (window_.IsActiveWindow()) {
        return;
    }
    const TScreenMetrics m = window_.Metrics();
    const TRect r = window_.WindowRect();
    const TRect grown{r.Left - 2 * m.DoubleClickWidth, r.Top - 2 * m.DoubleClickHeight,
                      r.Right + 2 * m.DoubleClickWidth, r.Bottom + 2 * m.DoubleClickHeight};
    if (!grown.Contains(window_.PointerPos())) {
        ShowAutoHideBar(false);
    }
}

void TAppBar::ShellNotify(int32_t code, int32_t param) {
    switch (code) {
        case static_cast<int32_t>(TShellNotification::PosChanged):
            PositionChanged();
            break;
        case static_cast<int32_t>(TShellNotification::FullScreenApp):
            FullScreenApp(param != 0);
            break;
        case static_cast<int32_t>(TShellNotification::WindowArrange):
            WindowArrange(param != 0);
            break;
        default:
            break;
    }
}

void TAppBar::AutoHideRefused() {
    window_.ShowInformation(USER_TEXT("Quobel", "Error"), kAutoHideRefusedText);
}

void TAppBar::FullScreenApp(bool open) {
    fullScreenAppOpen_ = open;
    ReapplyEdge();
}

void TAppBar::PositionChanged() {
    if (IsDockedEdge(edge_) && !AutoHide) {
        ReapplyEdge();
    }
}

void TAppBar::WindowArrange(bool /*starting*/) {}

void TAppBar::NonClientMouseMove() {
    ShowAutoHideBar(true);
}

void TAppBar::ActivationChanged(bool active) {
    if (!active) {
        ShowAutoHideBar(false);
    }
    shell_.Activate();
}

void TAppBar::WindowPositionChanged() {
    shell_.WindowPosChanged();
}

void TAppBar::EnterSizeMove() {
    dragEdge_ = edge_;
}

TAppBarEdge TAppBar::ProposedEdge(TPoint p, bool ctrlDown) {
    const bool allowFloat = Flags.Has(TAppBarFlag::abfAllowFloat);
    if (ctrlDown && allowFloat) {
        return TAppBarEdge::abeFloat;
    }
    const TScreenMetrics m = window_.Metrics();
    if (allowFloat) {
        const TRect wa = window_.WorkArea();
        const TRect inner{wa.Left + m.VScrollWidth, wa.Top + m.HScrollHeight,
                          wa.Right - m.VScrollWidth, wa.Bottom - m.HScrollHeight};
        if (inner.Contains(p) || !Flags.AllowsAnyDockedEdge()) {
            return TAppBarEdge::abeFloat;
        }
    }
    // The screen is cut along its diagonals.
    const int64_t dx = static_cast<int64_t>(p.X) - m.ScreenWidth / 2;
    const int64_t dy = static_cast<int64_t>(p.Y) - m.ScreenHeight / 2;
    TAppBarEdge candidate;
    if (std::llabs(dy) * m.ScreenWidth <= std::llabs(dx) * m.ScreenHeight) {
        candidate = dx >= 0 ? TAppBarEdge::abeRight : TAppBarEdge::abeLeft;
    } else {
        candidate = dy >= 0 ? TAppBarEdge::abeBottom : TAppBarEdge::abeTop;
    }
    if (!Flags.AllowsEdge(candidate)) {
        return allowFloat ? TAppBarEdge::abeFloat : edge_;
    }
    return candidate;
}

void TAppBar::Moving(TPoint pointer, bool ctrlDown, TRect& proposed) {
    const TAppBarEdge edge = ProposedEdge(pointer, ctrlDown);
    if (dragEdge_ != TAppBarEdge::abeFloat && edge == TAppBarEdge::abeFloat) {
        const TRect floating = FloatPlacement();
        const int32_t left = pointer.X - floating.Width() / 2;
        proposed = TRect{left, pointer.Y, left + floating.Width(), pointer.Y + floating.Height()};
    }
    dragEdge_ = edge;
    if (IsDockedEdge(edge)) {
        proposed = DockRect(edge, proposed);
    }
}

void TAppBar::ExitSizeMove() {
    TRect rect = window_.WindowRect();
    if (rect.Left < 0) {
        window_.PlaceWindow(rect.MovedTo(0, rect.Top));
    }
    const TAppBarEdge proposed = Edge();
    dragEdge_ = TAppBarEdge::abeUnknown;
    rect = window_.WindowRect();

    if (proposed == edge_) {
        if (proposed == TAppBarEdge::abeTop || proposed == TAppBarEdge::abeBottom) {
            HorzDockSize = rect.Height();
        } else if (proposed == TAppBarEdge::abeLeft || proposed == TAppBarEdge::abeRight) {
            VertDockSize = rect.Width();
        }
    }
    if (proposed == TAppBarEdge::abeFloat) {
        if (edge_ == TAppBarEdge::abeFloat) {
            FloatLeft = rect.Left;
            FloatTop = rect.Top;
            FloatRight = rect.Right;
            FloatBottom = rect.Bottom;
        } else {
            // A strip as wide or as high as the desktop is a docked size, not a floating one.
            const int32_t oldWidth = FloatRight - FloatLeft;
            const int32_t oldHeight = FloatBottom - FloatTop;
            const TRect workArea = window_.WorkArea();
            const bool spans =
                rect.Width() >= workArea.Width() || rect.Height() >= workArea.Height();
            FloatLeft = rect.Left;
            FloatTop = rect.Top;
            FloatRight = rect.Left + (spans ? oldWidth : rect.Width());
            FloatBottom = rect.Top + (spans ? oldHeight : rect.Height());
        }
    }
    SetEdge(proposed);
}

void TAppBar::Sizing(TSizingSide side, TRect& proposed) const {
    const bool floating = edge_ == TAppBarEdge::abeFloat;
    const int32_t minWidth = floating ? MinWidth : MinVertDockSize;
    const int32_t minHeight = floating ? MinHeight : MinHorzDockSize;
    const auto stepped = [](int32_t low, int32_t high, int32_t minimum, int32_t inc) {
        if (inc == 0) {
            return high - low;
        }
        const int64_t span = static_cast<int64_t>(high) + inc / 2 - low - minimum;
        return static_cast<int32_t>(minimum + static_cast<int64_t>(inc) * (span / inc));
    };
    const int32_t width = stepped(proposed.Left, proposed.Right, minWidth, HorzSizeInc);
    const int32_t height = stepped(proposed.Top, proposed.Bottom, minHeight, VertSizeInc);

    const bool left = side == TSizingSide::Left || side == TSizingSide::TopLeft ||
                      side == TSizingSide::BottomLeft;
    const bool right = side == TSizingSide::Right || side == TSizingSide::TopRight ||
                       side == TSizingSide::BottomRight;
    const bool top =
        side == TSizingSide::Top || side == TSizingSide::TopLeft || side == TSizingSide::TopRight;
    const bool bottom = side == TSizingSide::Bottom || side == TSizingSide::BottomLeft ||
                        side == TSizingSide::BottomRight;
    if (left) {
        proposed.Left = proposed.Right - width;
    }
    if (right) {
        proposed.Right = proposed.Left + width;
    }
    if (top) {
        proposed.Top = proposed.Bottom - height;
    }
    if (bottom) {
        proposed.Bottom = proposed.Top + height;
    }
}

TSizeLimits TAppBar::SizeLimits() const {
    const TAppBarEdge edge = Edge();
    if (edge == TAppBarEdge::abeFloat) {
        return {MinWidth, MinHeight, MaxWidth, MaxHeight};
    }
    const TScreenMetrics m = window_.Metrics();
    TSizeLimits limits{MinVertDockSize, MinHorzDockSize, m.ScreenWidth, m.ScreenHeight};
    if (edge == TAppBarEdge::abeLeft || edge == TAppBarEdge::abeRight) {
        limits.MaxWidth = MaxVertDockSize;
    } else if (edge == TAppBarEdge::abeTop || edge == TAppBarEdge::abeBottom) {
        limits.MaxHeight = MaxHorzDockSize;
    }
    return limits;
}

}  // namespace quobel
