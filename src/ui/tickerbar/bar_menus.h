#pragma once

#include <functional>
#include <memory>

#include "bar/skin.h"
#include "ui/common/command_set.h"
#include "ui/tickerbar/bar_host.h"
#include "ui/tickerbar/bar_menu_style.h"

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace quobel {

class TMailItem;
class TOptions;

// The bar's pop-up menus.
enum class TBarMenuId {
    Main,      // the menu button's
    CheckNow,  // the main menu's "Check email now" submenu of accounts
    Button,    // a message button's
};

// Owns the bar's commands and pop-up menus: the main menu with its "Check email now" submenu of
// accounts, the message buttons' menu and the message that menu acts on, and the menus' look.
class TBarMenus {
  public:
    // What the commands need of the bar besides the main window.
    struct TBarCommands {
        std::function<void()> Hide;
        std::function<void()> MarkAllRead;
        // The item if it is still in the Inbox (a task may have removed it meanwhile).
        std::function<TMailItem*(TMailItem*)> StillThere;
    };

    // The actions belong to `bar`, which also takes the shortcuts; `host` outlives this.
    TBarMenus(QWidget& bar, TBarHost& host, TOptions& options, TBarCommands commands);
    ~TBarMenus();
    TBarMenus(const TBarMenus&) = delete;
    TBarMenus& operator=(const TBarMenus&) = delete;

    // The skin's colours and fonts for every menu.
    void ApplySkin(const TSkinMenu& skin);
    // One "Check email now" entry per account, after "All accounts" and its separator.
    void RebuildCheckMenu();
    // The main menu with its top left corner at `globalPos`.
    void PopupMain(const QPoint& globalPos);
    // The button menu at `globalPos`; its commands act on `item` wherever the pointer goes.
    void PopupButton(TMailItem& item, const QPoint& globalPos);

    // One of the bar's commands (the Bar… ones of TCommandId).
    QAction& Command(TCommandId id) const { return actions_[id]; }
    QMenu& Menu(TBarMenuId id) const;
    // The main menu's "Do not disturb".
    QAction& DoNotDisturbEntry() const { return *doNotDisturb_; }

  private:
    void Connect();
    void CreateMenus();
    void Restyle();

    QWidget& bar_;
    TBarHost& host_;
    TOptions& options_;
    TBarCommands commands_;
    TCommandSet actions_;
    TMailItem* menuItem_ = nullptr;  // the message whose button menu is open

    // The menus go before their style.
    std::unique_ptr<TBarMenuStyle> style_;
    std::unique_ptr<QMenu> mainMenu_;
    QMenu* checkNowMenu_ = nullptr;    // owned by the main menu
    QAction* doNotDisturb_ = nullptr;  // owned by the main menu
    std::unique_ptr<QMenu> buttonMenu_;
};

}  // namespace quobel
