#include "ui/mainwindow/main_menus.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace quobel {
namespace {

using enum TCommandId;

// The entries the Message menu and the list's context menu share.
void AddMessageEntries(QMenu& menu, const TCommandSet& c) {
    menu.addAction(&c[Open]);
    menu.addSeparator();
    menu.addActions({&c[Reply], &c[ReplyAll], &c[Forward], &c[Redirect]});
    menu.addSeparator();
    menu.addActions({&c[DeleteSelected], &c[AntiSpamSelected]});
    menu.addSeparator();
    menu.addActions({&c[MarkRead], &c[MarkUnread]});
    menu.addSeparator();
}

}  // namespace

TCommandSet MakeMainWindowCommands(QWidget& window) {
    TCommandSet commands(
        window,
        {Synchronize, DeleteSelected,   Open,        MarkRead,      MarkUnread,  SelectAll,
         SelectNone,  SelectSpam,       PreviousRow, NextRow,       Preview,     Contacts,
         Bar,         Options,          Hide,        CloseProgram,  ShowTasks,   BoxList,
         BoxMessages, HelpContents,     Compose,     Reply,         ReplyAll,    Forward,
         Redirect,    AntiSpamSelected, AddressBook, SenderAddress, SenderAllow, ContactsList});
    // Redirect for good: a mailto: URI cannot ask the mail program to resend a message.
    for (const TCommandId id : {DeleteSelected, MarkRead, MarkUnread, Redirect}) {
        commands[id].setEnabled(false);
    }
    return commands;
}

void BuildMainMenuBar(QMenuBar& bar, const TCommandSet& c) {
    QMenu* file = bar.addMenu(QCoreApplication::translate("MainWindow", "&File"));
    file->addAction(&c[Compose]);
    file->addSeparator();
    file->addActions({&c[Hide], &c[CloseProgram]});

    QMenu* view = bar.addMenu(QCoreApplication::translate("MainWindow", "&View"));
    view->addActions({&c[Preview], &c[Contacts], &c[Bar]});
    view->addSeparator();
    view->addActions({&c[SelectAll], &c[SelectNone], &c[SelectSpam]});

    QMenu* message = bar.addMenu(QCoreApplication::translate("MainWindow", "&Message"));
    AddMessageEntries(*message, c);
    message->addActions({&c[SenderAllow], &c[SenderAddress]});

    QMenu* tools = bar.addMenu(QCoreApplication::translate("MainWindow", "&Tools"));
    tools->addAction(&c[AddressBook]);
    tools->addSeparator();
    tools->addAction(&c[Options]);

    QMenu* help = bar.addMenu(QCoreApplication::translate("MainWindow", "&Help"));
    help->addAction(&c[HelpContents]);
}

QMenu* BuildMessageListMenu(QWidget& window, const TCommandSet& c) {
    auto* menu = new QMenu(&window);
    menu->setObjectName(QStringLiteral("mnuList"));
    AddMessageEntries(*menu, c);
    menu->addActions({&c[SelectAll], &c[SelectNone], &c[SelectSpam]});
    menu->addSeparator();
    menu->addActions({&c[SenderAllow], &c[SenderAddress]});
    menu->setDefaultAction(&c[Open]);
    return menu;
}

}  // namespace quobel
