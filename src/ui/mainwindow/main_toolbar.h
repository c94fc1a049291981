#pragma once

class QMainWindow;
class QMenu;
class QToolBar;

namespace quobel {

class TCommandSet;

// The main window's tool bar ("tbMain"), captions under the icons; Check mail is a split button
// whose drop-down is the accounts menu.
QToolBar* BuildMainToolBar(QMainWindow& window, const TCommandSet& commands, QMenu& accounts);

}  // namespace quobel
