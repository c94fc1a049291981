#include "ui/mainwindow/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "ui/common/command_set.h"
#include "ui/common/icons.h"

namespace quobel {

TTrayIcon::TTrayIcon(QWidget& window, const TCommandSet& commands) : QObject(&window) {
    menu_ = new QMenu(&window);
    menu_->setObjectName(QStringLiteral("mnuTray"));
    open_ = menu_->addAction(QStringLiteral("&Open"));
    open_->setObjectName(QStringLiteral("mnuTrayOpen"));
    menu_->setDefaultAction(open_);
    menu_->addSeparator();
    menu_->addActions({&commands[TCommandId::Synchronize], &commands[TCommandId::Options]});
    menu_->addSeparator();
    menu_->addAction(&commands[TCommandId::CloseProgram]);
    connect(open_, &QAction::triggered, this, [this] {
        if (OnOpen) {
            OnOpen();
        }
    });

    icon_ = new QSystemTrayIcon(TIcons::Application(), &window);
    icon_->setToolTip(QStringLiteral("Quobel 2"));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    open_->trigger();
                }
            });
}

void TTrayIcon::Show() {
    icon_->show();
}

void TTrayIcon::Hide() {
    icon_->hide();
}

}  // namespace quobel
