#pragma once

#include <cstdint>
#include <string>

namespace quobel {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Screen rectangle; Right and Bottom are exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool Contains(TPoint p) const {
        return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
    }
    // Keeps the size, moves the top-left corner.
    TRect MovedTo(int32_t left, int32_t top) const {
        return {left, top, left + Width(), top + Height()};
    }
    bool operator==(const TRect&) const = default;
};

// The values are stored in the settings file ("Bar"/"Edge"), so they never change.
enum class TAppBarEdge : int32_t {
    abeLeft = 0,
    abeTop = 1,
    abeRight = 2,
    abeBottom = 3,
    abeUnknown = 4,  // not registered with the shell
    abeFloat = 5,
};

inline bool IsDockedEdge(TAppBarEdge edge) {
    return edge == TAppBarEdge::abeLeft || edge == TAppBarEdge::abeTop ||
           edge == TAppBarEdge::abeRight || edge == TAppBarEdge::abeBottom;
}

// The desktop's side of a screen-edge bar: reserving a strip of the screen for one window the way
// a panel does, and the registry of auto-hidden bars (one per edge). One object serves one window.
// The X11 implementation maps these calls onto EWMH struts, the work area and a root-window
// property per edge; the in-memory one simulates a screen for tests.
class TScreenEdgeShell {
  public:
    virtual ~TScreenEdgeShell() = default;

    // Registers the window as a bar; the shell starts sending notifications.
    virtual void New() = 0;
    // Unregisters it; any reserved space is freed.
    virtual void Remove() = 0;
    // Shrinks `rect` so that a bar on `edge` avoids the panels and other bars.
    virtual void QueryPos(TAppBarEdge edge, TRect& rect) = 0;
    // Reserves `rect` on `edge` (an empty rectangle reserves nothing); the shell may adjust it.
    virtual void SetPos(TAppBarEdge edge, TRect& rect) = 0;
    // Keeps the bars in the right stacking order after activation changes.
    virtual void Activate() = 0;
    // True when this window is the auto-hide bar registered on `edge`.
    virtual bool IsAutoHideBar(TAppBarEdge edge) = 0;
    // Registers (true) or unregisters (false) this window as the auto-hide bar of `edge`;
    // registering fails (false) while another window owns that edge.
    virtual bool SetAutoHideBar(TAppBarEdge edge, bool doRegister) = 0;
    // Tells the shell that the window moved or was resized.
    virtual void WindowPosChanged() = 0;
};

// Shell notifications, delivered to TAppBar::ShellNotify.
enum class TShellNotification : int32_t {
    PosChanged = 1,     // the work area changed
    FullScreenApp = 2,  // a full-screen application opened (parameter != 0) or closed
    WindowArrange = 3,  // windows are being tiled or cascaded (parameter != 0) or done
};

// Screen metrics the bar's geometry rules depend on.
struct TScreenMetrics {
    int32_t ScreenWidth = 0;
    int32_t ScreenHeight = 0;
    int32_t BorderWidth = 1;  // single-line window border
    int32_t BorderHeight = 1;
    int32_t VScrollWidth = 17;  // width of a vertical scroll bar
    int32_t HScrollHeight = 17;
    int32_t DoubleClickWidth = 4;  // the rectangle within which two clicks are a double click
    int32_t DoubleClickHeight = 4;
};

enum class TZOrder { TopMost, Bottom, NotTopMost };

// The window side of a screen-edge bar: what the docking logic needs from the window system.
// The user interface implements it on the bar's window; the in-memory shell implements it too.
class TAppBarWindow {
  public:
    virtual ~TAppBarWindow() = default;

    virtual TScreenMetrics Metrics() = 0;
    // The desktop minus panels and docked bars.
    virtual TRect WorkArea() = 0;
    virtual TRect WindowRect() = 0;
    // Moves and sizes the window without changing its stacking order or activating it.
    virtual void PlaceWindow(const TRect& rect) = 0;
    // Paints the window at once (used between the frames of a slide).
    virtual void PaintNow() = 0;
    virtual void SetZOrder(TZOrder order) = 0;
    // Shows or hides the application's own window that carries its task-bar entry.
    virtual void ShowApplicationWindow(bool show) = 0;
    virtual bool IsActiveWindow() = 0;
    // Pointer position (screen coordinates) of the event being handled.
    virtual TPoint PointerPos() = 0;
    // Whether the desktop shows window contents while dragging (slides are animated only then).
    virtual bool DragFullWindows() = 0;
    // Milliseconds of a monotonic clock.
    virtual int64_t TickCount() = 0;
    // Interval of the auto-hide check timer; 0 stops it.
    virtual void SetAutoHideTimer(int32_t intervalMs) = 0;
    // Asks for one start-of-move and end-of-move pair to be delivered later through the event
    // loop (TAppBar::EnterSizeMove / ExitSizeMove).
    virtual void PostSizeMoveCycle() = 0;
    virtual void ShowInformation(const std::string& title, const std::string& text) = 0;
};

}  // namespace quobel
