#pragma once

#include <QAction>
#include <QKeySequence>
#include <QString>
#include <QWidget>

namespace quobel {

// A window's command: named for lookups and tests, its hint "short|long" split into the tool
// tip and the status-bar text, its shortcut active while the window is, an optional toolbar icon
// (a name of TIcons::Tool). The window owns it.
QAction* MakeCommand(QWidget& owner, const char* name, const QString& caption, const QString& hint,
                     const QKeySequence& shortcut = {}, const QString& icon = {});

}  // namespace quobel
