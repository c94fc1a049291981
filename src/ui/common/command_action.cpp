#include "ui/common/command_action.h"

#include "ui/common/icons.h"

namespace quobel {

QAction* MakeCommand(QWidget& owner, const char* name, const QString& caption, const QString& hint,
                     const QKeySequence& shortcut, const QString& icon) {
    auto* action = new QAction(caption, &owner);
    action->setObjectName(QString::fromLatin1(name));
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    if (!icon.isEmpty()) {
        action->setIcon(TIcons::Tool(icon));
    }
    owner.addAction(action);
    return action;
}

}  // namespace quobel
