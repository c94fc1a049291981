#include "ui/tickerbar/bar_menus.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QPoint>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include "accounts/account.h"
#include "store/mail_item.h"
#include "ui/common/do_not_disturb.h"

namespace quobel {

using enum TCommandId;

TBarMenus::TBarMenus(QWidget& bar, TBarHost& host, TOptions& options, TBarCommands commands)
    : bar_(bar),
      host_(host),
      options_(options),
      commands_(std::move(commands)),
      actions_(bar, {BarHide, BarCompose, BarAddressBook, BarDelete, BarMarkRead, BarMarkAllRead,
                     BarAntiSpam, BarCheckAll, BarExit, BarOptions}),
      style_(std::make_unique<TBarMenuStyle>()) {
    Connect();
    CreateMenus();
}

TBarMenus::~TBarMenus() = default;

void TBarMenus::Connect() {
    const auto on = [this](TCommandId id, auto slot) {
        QObject::connect(&actions_[id], &QAction::triggered, &bar_, slot);
    };
    on(BarHide, [this] { commands_.Hide(); });
    on(BarCompose, [this] { host_.ComposeMail(); });
    on(BarDelete, [this] {
        if (TMailItem* item = commands_.StillThere(menuItem_)) {
            host_.DeleteMessage(*item);
            host_.StartNext();
        }
    });
    on(BarMarkRead, [this] {
        if (TMailItem* item = commands_.StillThere(menuItem_)) {
            host_.MarkMessageRead(*item, true);
        }
    });
    on(BarMarkAllRead, [this] { commands_.MarkAllRead(); });
    on(BarCheckAll, [this] { host_.CheckAllAccounts(); });
    on(BarExit, [this] { host_.CloseProgram(); });
    on(BarOptions, [this] { host_.ShowOptions(); });
}

void TBarMenus::CreateMenus() {
    mainMenu_ = std::make_unique<QMenu>();
    mainMenu_->addAction(&actions_[BarCompose]);
    mainMenu_->addAction(&actions_[BarAddressBook]);
    mainMenu_->addSeparator();
    checkNowMenu_ =
        mainMenu_->addMenu(QCoreApplication::translate("BarMenus", "Check email &now..."));
    checkNowMenu_->addAction(&actions_[BarCheckAll]);
    checkNowMenu_->addSeparator();
    mainMenu_->addAction(&actions_[BarOptions]);
    doNotDisturb_ = &AddDoNotDisturbEntry(*mainMenu_, options_);
    mainMenu_->addSeparator();
    mainMenu_->addAction(&actions_[BarHide]);
    mainMenu_->addAction(&actions_[BarExit]);

    buttonMenu_ = std::make_unique<QMenu>();
    buttonMenu_->addAction(&actions_[BarMarkRead]);
    buttonMenu_->addAction(&actions_[BarMarkAllRead]);
    buttonMenu_->addAction(&actions_[BarDelete]);
    buttonMenu_->addAction(&actions_[BarAntiSpam]);

    Restyle();
}

QMenu& TBarMenus::Menu(TBarMenuId id) const {
    switch (id) {
        case TBarMenuId::Main:
            return *mainMenu_;
        case TBarMenuId::CheckNow:
            return *checkNowMenu_;
        case TBarMenuId::Button:
            break;
    }
    return *buttonMenu_;
}

void TBarMenus::Restyle() {
    for (QMenu* menu : {mainMenu_.get(), checkNowMenu_, buttonMenu_.get()}) {
        style_->UseOn(*menu);
    }
}

void TBarMenus::ApplySkin(const TSkinMenu& skin) {
    style_->SetSkin(skin);
    Restyle();
}

void TBarMenus::RebuildCheckMenu() {
    const QList<QAction*> entries = checkNowMenu_->actions();
    for (qsizetype i = 2; i < entries.size(); ++i) {
        checkNowMenu_->removeAction(entries[i]);
        entries[i]->deleteLater();
    }
    for (TAccount* account : host_.Accounts()) {
        QAction* entry = checkNowMenu_->addAction(QString::fromStdString(account->Name));
        QObject::connect(entry, &QAction::triggered, &bar_, [this, account] {
            // The account may have been removed since the menu was built.
            const std::vector<TAccount*> accounts = host_.Accounts();
            if (std::find(accounts.begin(), accounts.end(), account) != accounts.end()) {
                host_.CheckAccount(*account);
            }
        });
    }
}

void TBarMenus::PopupMain(const QPoint& globalPos) {
    mainMenu_->popup(globalPos);
}

void TBarMenus::PopupButton(TMailItem& item, const QPoint& globalPos) {
    menuItem_ = &item;
    buttonMenu_->popup(globalPos);
}

}  // namespace quobel
