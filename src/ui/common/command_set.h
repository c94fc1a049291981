#pragma once

#include <QAction>
#include <QWidget>
#include <initializer_list>
#include <map>

namespace quobel {

// Every command of the program's windows. A command that reads differently in two windows (the
// main list's Delete works on the selection, a reader window's on its one message) is two
// commands.
enum class TCommandId {
    // The main window's mail commands.
    Synchronize,
    DeleteSelected,
    Open,
    MarkRead,
    MarkUnread,
    SelectAll,
    SelectNone,
    SelectSpam,
    PreviousRow,
    NextRow,
    // The main window's view, program and help commands.
    Preview,
    Contacts,
    Bar,
    Options,
    Hide,
    CloseProgram,
    ShowTasks,
    BoxList,
    BoxMessages,
    HelpContents,
    // Present in menus and tool bars, without function in this program.
    Compose,
    Reply,
    ReplyAll,
    Forward,
    Redirect,
    AntiSpamSelected,
    AddressBook,
    SenderAddress,
    SenderAllow,
    ContactsList,
    // A reader window's.
    DeleteShown,
    FirstMessage,
    PreviousMessage,
    NextMessage,
    LastMessage,
    CloseReader,
    AntiSpamShown,
};

// A window's commands, made from the program's one table of commands: each named for lookups and
// tests, its hint "short|long" split into the tool tip and the status-bar text, its shortcut
// active while the window is, its toolbar icon. The window owns the actions (they are its
// children); the set finds them.
class TCommandSet {
  public:
    // Makes the commands on the owner in the order given.
    TCommandSet(QWidget& owner, std::initializer_list<TCommandId> ids);

    // A command of this set (one it was not made with is a programming error).
    QAction& operator[](TCommandId id) const;
    bool Has(TCommandId id) const { return actions_.contains(id); }

  private:
    std::map<TCommandId, QAction*> actions_;
};

}  // namespace quobel
