#pragma once

#include "ui/common/command_set.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace quobel {

// The main window's commands, made on the window in the order its menus were designed.
TCommandSet MakeMainWindowCommands(QWidget& window);

// File, View, Message, Tools and Help.
void BuildMainMenuBar(QMenuBar& bar, const TCommandSet& commands);

// The message list's context menu ("mnuList"), a child of the window; Open is its default.
QMenu* BuildMessageListMenu(QWidget& window, const TCommandSet& commands);

}  // namespace quobel
