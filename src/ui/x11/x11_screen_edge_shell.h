#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/screen_edge_shell.h"
#include "ui/x11/x11_atoms.h"
#include "ui/x11/x11_struts.h"

namespace quobel {

// The screen-edge shell on an X11 desktop whose window manager follows EWMH. The window is a dock
// on every desktop; a docked strip is reserved by the window's struts, which the window manager
// subtracts from _NET_WORKAREA; the auto-hide registry is one root-window property per edge that
// holds the owner's window id (an id whose window is gone counts as free). Changes of the work
// area reach `onWorkAreaChanged` through the event loop, once per actual change; when given,
// `onFullScreenApp` hears whether the active window (any but the bar) is full screen (true) or
// no longer is (false).
class TX11ScreenEdgeShell : public QObject,
                            public TScreenEdgeShell,
                            private QAbstractNativeEventFilter {
  public:
    // `window` must outlive nothing here: the shell stops following it once it is gone.
    TX11ScreenEdgeShell(QWidget& window, xcb_connection_t* connection,
                        std::function<void()> onWorkAreaChanged,
                        std::function<void(bool)> onFullScreenApp = {});
    ~TX11ScreenEdgeShell() override;
    TX11ScreenEdgeShell(const TX11ScreenEdgeShell&) = delete;
    TX11ScreenEdgeShell& operator=(const TX11ScreenEdgeShell&) = delete;

    // Whether the window manager reserves strips for struts at all; without that a docked bar
    // would only cover other windows.
    static bool DesktopSupportsStruts(xcb_connection_t* connection);

    void New() override;
    void Remove() override;
    void QueryPos(TAppBarEdge edge, TRect& rect) override;
    void SetPos(TAppBarEdge edge, TRect& rect) override;
    void Activate() override;
    bool IsAutoHideBar(TAppBarEdge edge) override;
    bool SetAutoHideBar(TAppBarEdge edge, bool doRegister) override;
    void WindowPosChanged() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Dock type, every desktop, sticky: read by the window manager when the window is mapped;
    // a mapped window's desktop and state change only on request to the window manager.
    void MarkAsDock(bool askWindowManager);
    // The toolkit's current native window, none before it is created.
    xcb_window_t NativeWindow() const;
    // Moves the markings, strut and auto-hide registrations to a replaced native window.
    void FollowNativeWindow();
    void WriteStrut(const TStrut& strut);
    // In device pixels.
    std::optional<TRect> CurrentWorkArea();
    TRect RootRect();
    TRect WorkAreaForThisBar();
    double Scale() const;
    void WorkAreaMayHaveChanged();
    void ActiveWindowMayHaveChanged();
    // Posts `check` to the event loop unless it is already pending.
    void PostOnce(bool& pending, void (TX11ScreenEdgeShell::*check)());
    bool IsOwnWindow(xcb_window_t window) const;
    xcb_atom_t AutoHideAtom(TAppBarEdge edge) const;

    QPointer<QWidget> window_;
    xcb_connection_t* const connection_;
    const TX11Atoms atoms_;
    xcb_window_t xid_ = kNoWindow;
    xcb_window_t root_ = kNoWindow;
    std::function<void()> onWorkAreaChanged_;
    std::function<void(bool)> onFullScreenApp_;
    bool registered_ = false;
    TStrut strut_;  // as last written
    std::optional<TRect> lastWorkArea_;
    bool workAreaCheckPosted_ = false;
    xcb_window_t activeWindow_ = kNoWindow;  // whose state changes are followed
    bool fullScreen_ = false;
    bool activeCheckPosted_ = false;
    bool followPosted_ = false;
};

}  // namespace quobel
