#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace quobel {

class TCommandSet;
class TOptions;

// The main window's icon in the desktop's status area while the window hides in the tray: its
// menu (Open, Check mail, Options, Do not disturb, Close), the double click that opens the window
// again, and the tooltip with the unread count. The menu and the icon are children of the window.
class TTrayIcon : public QObject {
    Q_OBJECT
  public:
    TTrayIcon(QWidget& window, const TCommandSet& commands, TOptions& options);

    void Show();
    void Hide();
    // The menu's "&Open" entry (its default); triggering it runs OnOpen.
    QAction& OpenEntry() const { return *open_; }
    QAction& DoNotDisturbEntry() const { return *doNotDisturb_; }
    // The tooltip tells the Inbox's unread count.
    void SetUnreadCount(int count);
    QString ToolTip() const;

    std::function<void()> OnOpen;

  private:
    QMenu* menu_;
    QAction* open_;
    QAction* doNotDisturb_;
    QSystemTrayIcon* icon_;
};

}  // namespace quobel
