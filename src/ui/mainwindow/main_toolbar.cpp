#include "ui/mainwindow/main_toolbar.h"

#include <QCoreApplication>
#include <QMainWindow>
#include <QToolBar>
#include <QToolButton>

#include "ui/common/command_set.h"

namespace quobel {

QToolBar* BuildMainToolBar(QMainWindow& window, const TCommandSet& c, QMenu& accounts) {
    using enum TCommandId;
    QToolBar* bar = window.addToolBar(QCoreApplication::translate("MainWindow", "Main"));
    bar->setObjectName(QStringLiteral("tbMain"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->addAction(&c[Compose]);
    bar->addSeparator();
    bar->addActions({&c[Reply], &c[ReplyAll], &c[Forward], &c[Redirect]});
    bar->addSeparator();
    bar->addAction(&c[DeleteSelected]);
    bar->addSeparator();
    bar->addAction(&c[AntiSpamSelected]);
    bar->addSeparator();
    auto* check = new QToolButton(bar);
    check->setDefaultAction(&c[Synchronize]);
    check->setMenu(&accounts);
    check->setPopupMode(QToolButton::MenuButtonPopup);
    check->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->addWidget(check);
    bar->addSeparator();
    bar->addAction(&c[AddressBook]);
    bar->addSeparator();
    bar->addAction(&c[Options]);
    return bar;
}

}  // namespace quobel
