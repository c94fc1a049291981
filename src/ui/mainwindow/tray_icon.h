#pragma once

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

namespace quobel {

class TCommandSet;

// The main window's icon in the desktop's status area while the window hides in the tray: its
// menu (Open, Check mail, Options, Close) and the double click that opens the window again. The
// menu and the icon are children of the window.
class TTrayIcon : public QObject {
    Q_OBJECT
  public:
    TTrayIcon(QWidget& window, const TCommandSet& commands);

    void Show();
    void Hide();
    // The menu's "&Open" entry (its default); triggering it runs OnOpen.
    QAction& OpenEntry() const { return *open_; }

    std::function<void()> OnOpen;

  private:
    QMenu* menu_;
    QAction* open_;
    QSystemTrayIcon* icon_;
};

}  // namespace quobel
