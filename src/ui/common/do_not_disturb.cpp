#include "ui/common/do_not_disturb.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "core/options.h"

namespace quobel {

QAction& AddDoNotDisturbEntry(QMenu& menu, TOptions& options) {
    QAction* entry = menu.addAction(QCoreApplication::translate("DoNotDisturb", "Do not disturb"));
    entry->setObjectName(QStringLiteral("actDoNotDisturb"));
    entry->setCheckable(true);
    // The other menus (tray and bar) may have changed it since.
    QObject::connect(&menu, &QMenu::aboutToShow, entry, [entry, &options] {
        OptionsScope scope(options);
        entry->setChecked(scope.Read(settings::kDoNotDisturb));
    });
    QObject::connect(entry, &QAction::triggered, entry, [&options](bool checked) {
        OptionsScope scope(options);
        scope.Write(settings::kDoNotDisturb, checked);
    });
    {
        OptionsScope scope(options);
        entry->setChecked(scope.Read(settings::kDoNotDisturb));
    }
    return *entry;
}

}  // namespace quobel
