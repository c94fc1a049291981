#include "ui/mainwindow/tray_icon.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include "ui/common/command_set.h"
#include "ui/common/do_not_disturb.h"
#include "ui/common/icons.h"

namespace quobel {

namespace {

QString UnreadToolTip(int count) {
    if (count <= 0) {
        return TTrayIcon::tr("Quobel 2 \u2014 no unread messages");
    }
    return count == 1 ? TTrayIcon::tr("Quobel 2 \u2014 1 unread message")
                      : TTrayIcon::tr("Quobel 2 \u2014 %1 unread messages").arg(count);
}

}  // namespace

TTrayIcon::TTrayIcon(QWidget& window, const TCommandSet& commands, TOptions& options)
    : QObject(&window) {
    menu_ = new QMenu(&window);
    menu_->setObjectName(QStringLiteral("mnuTray"));
    open_ = menu_->addAction(tr("&Open"));
    open_->setObjectName(QStringLiteral("mnuTrayOpen"));
    menu_->setDefaultAction(open_);
    menu_->addSeparator();
    menu_->addActions({&commands[TCommandId::Synchronize], &commands[TCommandId::Options]});
    doNotDisturb_ = &AddDoNotDisturbEntry(*menu_, options);
    doNotDisturb_->setObjectName(QStringLiteral("mnuTrayDoNotDisturb"));
    menu_->addSeparator();
    menu_->addAction(&commands[TCommandId::CloseProgram]);
    connect(open_, &QAction::triggered, this, [this] {
        if (OnOpen) {
            OnOpen();
        }
    });

    icon_ = new QSystemTrayIcon(TIcons::Application(), &window);
    icon_->setToolTip(UnreadToolTip(0));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    open_->trigger();
                }
            });
}

void TTrayIcon::SetUnreadCount(int count) {
    icon_->setToolTip(UnreadToolTip(count));
}

QString TTrayIcon::ToolTip() const {
    return icon_->toolTip();
}

void TTrayIcon::Show() {
    icon_->show();
}

void TTrayIcon::Hide() {
    icon_->hide();
}

}  // namespace quobel
