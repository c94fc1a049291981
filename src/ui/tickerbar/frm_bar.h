#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bar/app_bar.h"
#include "bar/ticker_layout.h"
#include "ui/tickerbar/bar_box_messages.h"
#include "ui/tickerbar/bar_drag.h"
#include "ui/tickerbar/bar_hit_test.h"
#include "ui/tickerbar/bar_host.h"
#include "ui/tickerbar/bar_menus.h"
#include "ui/tickerbar/bar_painter.h"
#include "ui/tickerbar/bar_scroller.h"
#include "ui/tickerbar/bar_shell_window.h"
#include "ui/x11/desktop_shell.h"

class QAction;
class QMenu;

namespace quobel {

class TMailBox;
class TMailItem;
class TOptions;
class TSkin;

// The ticker bar: a frameless window exactly as high as its skin that shows the Inbox's unread
// messages as a row of buttons, scrolls through them while the pointer is away, and docks to
// the top or bottom edge of the screen (or floats) through its TAppBar. The move bar at its left
// end drags and docks it, the size bar at its right end resizes it. Every pixel and the look of
// its menus come from the skin.
//
// The window owns the Qt events and hands each to the unit for it: TBarPainter composes,
// TBarHitTest knows what is under the pointer, TBarDrag moves and sizes, TBarScroller moves the
// ticker, TBarMenus holds the commands and menus, and TBarShellWindow is the window as its
// TAppBar sees it.
class TfrmBar : public QWidget {
    Q_OBJECT
  public:
    // Makes the desktop's shell for the bar window; the shell reports changes of the work area
    // and another program's window going full screen (true) or leaving it (false).
    using TShellFactory = std::function<std::unique_ptr<TScreenEdgeShell>(
        QWidget& bar, std::function<void()> onWorkAreaChanged,
        std::function<void(bool)> onFullScreenApp)>;
    // This desktop's shell (CreateScreenEdgeShell).
    static TShellFactory DesktopShell();

    // `shellFactory` gives the desktop's shell for this window; without one (it returns
    // nullptr) the bar only floats.
    TfrmBar(TBarHost& host, TOptions& options, const TShellFactory& shellFactory);
    ~TfrmBar() override;

    // --- what the main window calls ----------------------------------------------------------
    TMailBox* MailBox = nullptr;  // the Inbox; nothing is drawn while it is unset
    // Unloads the applied skin, loads `skin` (its failure is passed on, the bar then draws
    // a plain strip), fixes the height, re-reads "Bar"/"AutoHide", "Bar"/"ButtonWidth" and
    // "Bar"/"ScrollTime", docks again and paints.
    void ApplySkin(TSkin* skin);
    // After new mail: a docked, auto-hidden bar comes out and stays out.
    void PopUp();
    // After the last unread message was read: the bar may hide again.
    void PopDown();
    void RebuildCheckMenu();
    // Lays the bar out over the Inbox, composes it off-screen and shows it.
    void FormPaint();
    // The on-hide notification, run when the bar closes (before it is freed).
    std::function<void(TfrmBar& sender)> OnHide;
    // The auto-hide refusal message; a message box unless set.
    std::function<void(const std::string& title, const std::string& text)> OnInformation;

    TSkin* Skin() const { return skin_; }
    TAppBar& AppBar() { return *appBar_; }

    // --- state -------------------------------------------------------------------------------
    int32_t ButtonWidth = 150;
    std::string LastHint;
    // The hint of the hot message button at the last paint; empty when none.
    const std::string& HintText() const { return layout_.Hint; }
    const TBarLayout& Layout() const { return layout_; }
    const QImage& BackBuffer() const { return painter_.BackBuffer(); }
    // The pointer and what is under it.
    TBarHitTest& Pointer() { return pointer_; }
    // Where the shown run of messages begins, and the timers that move it.
    TBarScroller& Scroller() { return scroller_; }
    TBarShellWindow& ShellWindow() { return shellWindow_; }

    // --- the menus and their commands ---------------------------------------------------------
    // One of the bar's commands (the Bar… ones of TCommandId).
    QAction& Command(TCommandId id) const { return menus_.Command(id); }
    QMenu& Menu(TBarMenuId id) const { return menus_.Menu(id); }
    QAction& DoNotDisturbEntry() const { return menus_.DoNotDisturbEntry(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void FormCreate();
    void FormShow();
    void FormClose();
    // Whether the ticker moves once the pointer has been away long enough.
    bool ScrollSwitchedOn();
    void MarkAllRead();
    // The window part under client x: the move bar, the size bar or the client area.
    TBarHit WindowPartAt(int x) const;
    // The Inbox's items as the bar reads them, anew for each paint.
    TBoxBarMessages& Messages();
    // The item if it is still in the Inbox (a task may have removed it meanwhile).
    TMailItem* ValidItem(TMailItem* item) const;
    void UpdateHint(const QPoint& globalPos);
    void MouseUp(Qt::MouseButton button, const QPoint& globalPos, const QPoint& pos);

    TBarHost& host_;
    TOptions& options_;
    TSkin* skin_ = nullptr;
    TBarPainter painter_;
    TBarLayout layout_;
    std::unique_ptr<TBoxBarMessages> messages_;
    TBarHitTest pointer_;
    TBarScroller scroller_;
    TBarMenus menus_;

    TBarShellWindow shellWindow_;
    std::unique_ptr<TScreenEdgeShell> shell_;
    std::unique_ptr<TAppBar> appBar_;
    std::unique_ptr<TBarDrag> drag_;
    bool shown_ = false;  // FormShow ran
};

}  // namespace quobel
