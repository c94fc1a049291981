#pragma once

class QAction;
class QMenu;

namespace quobel {

class TOptions;

// "Do not disturb" in a menu: a check mark that shows the setting each time the menu opens and
// writes it when chosen. While it is on, new mail plays no sound and its notifications come
// quietly, as in the quiet hours, until it is turned off. The action belongs to the menu.
QAction& AddDoNotDisturbEntry(QMenu& menu, TOptions& options);

}  // namespace quobel
