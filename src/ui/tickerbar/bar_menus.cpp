#include "ui/tickerbar/bar_menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPoint>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

#include "accounts/account.h"
#include "store/mail_item.h"

namespace quobel {

TBarMenus::TBarMenus(QWidget& bar, TBarHost& host, TBarCommands commands)
    : bar_(bar),
      host_(host),
      commands_(std::move(commands)),
      style_(std::make_unique<TBarMenuStyle>()) {
    CreateActions();
    CreateMenus();
}

TBarMenus::~TBarMenus() = default;

QAction* TBarMenus::MakeAction(const QString& caption, const QKeySequence& shortcut) {
    QAction* const action = MakeAction(caption);
    action->setShortcut(shortcut);
    bar_.addAction(action);
    return action;
}

QAction* TBarMenus::MakeAction(const QString& caption) {
    return new QAction(caption, &bar_);
}

void TBarMenus::CreateActions() {
    actHide = MakeAction(QStringLiteral("&Hide"), QKeySequence(Qt::CTRL | Qt::Key_F4));
    actCompose = MakeAction(QStringLiteral("&Compose"), QKeySequence(Qt::CTRL | Qt::Key_N));
    actAddressBook = MakeAction(QStringLiteral("&Address book"));
    actDelete = MakeAction(QStringLiteral("&Delete"));
    actMarkRead = MakeAction(QStringLiteral("&Mark as read"));
    actMarkAllRead = MakeAction(QStringLiteral("Mar&k all read"));
    actAntiSpam = MakeAction(QStringLiteral("&Anti-Spam"));
    actCheckMail = MakeAction(QStringLiteral("&All accounts..."));
    actExit = MakeAction(QStringLiteral("E&xit"), QKeySequence(Qt::ALT | Qt::Key_F4));
    mnuMainOptions = MakeAction(QStringLiteral("&Options..."));

    QObject::connect(actHide, &QAction::triggered, &bar_, [this] { commands_.Hide(); });
    QObject::connect(actDelete, &QAction::triggered, &bar_, [this] {
        if (TMailItem* item = commands_.StillThere(menuItem_)) {
            host_.DeleteMessage(*item);
            host_.StartNext();
        }
    });
    QObject::connect(actMarkRead, &QAction::triggered, &bar_, [this] {
        if (TMailItem* item = commands_.StillThere(menuItem_)) {
            host_.MarkMessageRead(*item, true);
        }
    });
    QObject::connect(actMarkAllRead, &QAction::triggered, &bar_,
                     [this] { commands_.MarkAllRead(); });
    QObject::connect(actCheckMail, &QAction::triggered, &bar_,
                     [this] { host_.CheckAllAccounts(); });
    QObject::connect(actExit, &QAction::triggered, &bar_, [this] { host_.CloseProgram(); });
    QObject::connect(mnuMainOptions, &QAction::triggered, &bar_, [this] { host_.ShowOptions(); });
}

void TBarMenus::CreateMenus() {
    mainMenu_ = std::make_unique<QMenu>();
    mnuMain = mainMenu_.get();
    mnuMain->addAction(actCompose);
    mnuMain->addAction(actAddressBook);
    mnuMain->addSeparator();
    mnuMainCheckNow = mnuMain->addMenu(QStringLiteral("Check email &now..."));
    mnuMainCheckNow->addAction(actCheckMail);
    mnuMainCheckNow->addSeparator();
    mnuMain->addAction(mnuMainOptions);
    mnuMain->addSeparator();
    mnuMain->addAction(actHide);
    mnuMain->addAction(actExit);

    buttonMenu_ = std::make_unique<QMenu>();
    mnuButton = buttonMenu_.get();
    mnuButton->addAction(actMarkRead);
    mnuButton->addAction(actMarkAllRead);
    mnuButton->addAction(actDelete);
    mnuButton->addAction(actAntiSpam);

    Restyle();
}

void TBarMenus::Restyle() {
    for (QMenu* menu : {mnuMain, mnuMainCheckNow, mnuButton}) {
        style_->UseOn(*menu);
    }
}

void TBarMenus::ApplySkin(const TSkinMenu& skin) {
    style_->SetSkin(skin);
    Restyle();
}

void TBarMenus::RebuildCheckMenu() {
    const QList<QAction*> entries = mnuMainCheckNow->actions();
    for (qsizetype i = 2; i < entries.size(); ++i) {
        mnuMainCheckNow->removeAction(entries[i]);
        entries[i]->deleteLater();
    }
    for (TAccount* account : host_.Accounts()) {
        QAction* entry = mnuMainCheckNow->addAction(QString::fromStdString(account->Name));
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
    mnuMain->popup(globalPos);
}

void TBarMenus::PopupButton(TMailItem& item, const QPoint& globalPos) {
    menuItem_ = &item;
    mnuButton->popup(globalPos);
}

}  // namespace quobel
