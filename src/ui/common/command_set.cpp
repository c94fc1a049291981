#include "ui/common/command_set.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QStyle>
#include <algorithm>
#include <cassert>

#include "ui/common/command_action.h"
#include "ui/common/icons.h"

namespace quobel {
namespace {

constexpr QStyle::StandardPixmap kNoStyleIcon = QStyle::SP_CustomBase;

struct TCommandEntry {
    TCommandId Id;
    const char* Name;
    const char* Caption;
    const char* Hint;
    QKeyCombination Key = {};  // Qt::Key_unknown: no shortcut
    const char* Icon = "";     // a TIcons::Tool name
    QStyle::StandardPixmap StyleIcon = kNoStyleIcon;
    bool Checkable = false;
};

using enum TCommandId;
constexpr auto CTRL = Qt::CTRL;
constexpr auto ALT = Qt::ALT;
constexpr auto SHIFT = Qt::SHIFT;

const TCommandEntry kCommands[] = {
    {Synchronize, "actSynchronize", QT_TRANSLATE_NOOP("Commands", "&Check mail"),
     QT_TRANSLATE_NOOP("Commands", "Send and receive|Check for new email"), CTRL | Qt::Key_M,
     "check_mail"},
    {DeleteSelected,
     "actDelete",
     QT_TRANSLATE_NOOP("Commands", "&Delete"),
     QT_TRANSLATE_NOOP("Commands", "Delete|Delete the selected messages"),
     {},
     "delete"},
    {Open, "actOpen", QT_TRANSLATE_NOOP("Commands", "&Open"),
     QT_TRANSLATE_NOOP("Commands", "Open|Open the selected message")},
    {MarkRead, "actMarkRead", QT_TRANSLATE_NOOP("Commands", "Mark as &Read"),
     QT_TRANSLATE_NOOP("Commands", "Mark as read|Mark the selected messages as read"),
     CTRL | Qt::Key_B},
    {MarkUnread, "actMarkUnread", QT_TRANSLATE_NOOP("Commands", "Mark as &Unread"),
     QT_TRANSLATE_NOOP("Commands", "Mark as unread|Mark the selected messages as unread"),
     CTRL | Qt::Key_U},
    {SelectAll, "actSelectAll", QT_TRANSLATE_NOOP("Commands", "Select &all"),
     QT_TRANSLATE_NOOP("Commands", "Select all|Select all messages"), CTRL | Qt::Key_A},
    {SelectNone, "actSelectNone", QT_TRANSLATE_NOOP("Commands", "Select &none"),
     QT_TRANSLATE_NOOP("Commands", "Select none|Deselect all messages"), CTRL | Qt::Key_Z},
    {SelectSpam, "actSelectSpam", QT_TRANSLATE_NOOP("Commands", "Select &spam"),
     QT_TRANSLATE_NOOP("Commands", "Select spam|Select all messages marked as spam"),
     CTRL | Qt::Key_X},
    {PreviousRow, "actPrevious", QT_TRANSLATE_NOOP("Commands", "&Previous"),
     QT_TRANSLATE_NOOP("Commands", "Previous|Go to the previous message"), ALT | Qt::Key_Left},
    {NextRow, "actNext", QT_TRANSLATE_NOOP("Commands", "&Next"),
     QT_TRANSLATE_NOOP("Commands", "Next|Go to the next message"), ALT | Qt::Key_Right},
    {Preview,
     "actPreview",
     QT_TRANSLATE_NOOP("Commands", "Message &preview"),
     QT_TRANSLATE_NOOP("Commands", "Message preview|Show or hide the message preview"),
     {},
     "",
     kNoStyleIcon,
     true},
    {Contacts,
     "actContacts",
     QT_TRANSLATE_NOOP("Commands", "&Contacts list"),
     QT_TRANSLATE_NOOP("Commands", "Contacts list|Show or hide the contacts list"),
     {},
     "",
     kNoStyleIcon,
     true},
    {Bar,
     "actBar",
     QT_TRANSLATE_NOOP("Commands", "Quobel &Bar"),
     QT_TRANSLATE_NOOP("Commands", "Quobel Bar|Show the Quobel Bar"),
     {},
     "",
     kNoStyleIcon,
     true},
    {Options,
     "actOptions",
     QT_TRANSLATE_NOOP("Commands", "&Options..."),
     QT_TRANSLATE_NOOP("Commands", "Options|Change the Quobel options"),
     {},
     "options"},
    {Hide, "actHide", QT_TRANSLATE_NOOP("Commands", "&Hide"),
     QT_TRANSLATE_NOOP("Commands", "Hide|Hide Quobel to the system tray"), CTRL | Qt::Key_F4,
     "hide"},
    {CloseProgram, "actClose", QT_TRANSLATE_NOOP("Commands", "&Close"),
     QT_TRANSLATE_NOOP("Commands", "Close|Close Quobel"), ALT | Qt::Key_F4, "close"},
    {ShowTasks, "actShowTasks", QT_TRANSLATE_NOOP("Commands", "&Show tasks"),
     QT_TRANSLATE_NOOP("Commands", "Show tasks|Show the running tasks")},
    {BoxList, "actBoxList", QT_TRANSLATE_NOOP("Commands", "Refresh mailbox list"),
     QT_TRANSLATE_NOOP("Commands", "Refresh mailbox list|Refresh the list of mailboxes")},
    {BoxMessages, "actBoxMessages", QT_TRANSLATE_NOOP("Commands", "List messages in box"),
     QT_TRANSLATE_NOOP("Commands", "List messages|List the messages in the selected mailbox")},
    {HelpContents,
     "actHelpContents",
     QT_TRANSLATE_NOOP("Commands", "&Contents"),
     QT_TRANSLATE_NOOP("Commands", "Contents|Show the contents of the help"),
     {},
     "help"},

    {Compose, "actCompose", QT_TRANSLATE_NOOP("Commands", "&Compose"),
     QT_TRANSLATE_NOOP("Commands", "Compose|Write a new message"), CTRL | Qt::Key_N, "compose"},
    {Reply, "actReply", QT_TRANSLATE_NOOP("Commands", "&Reply"),
     QT_TRANSLATE_NOOP("Commands", "Reply|Reply to the sender"), CTRL | Qt::Key_R, "reply"},
    {ReplyAll, "actReplyAll", QT_TRANSLATE_NOOP("Commands", "Reply to &all"),
     QT_TRANSLATE_NOOP("Commands", "Reply to all|Reply to the sender and all recipients"),
     CTRL | SHIFT | Qt::Key_R, "reply_all"},
    {Forward, "actForward", QT_TRANSLATE_NOOP("Commands", "&Forward"),
     QT_TRANSLATE_NOOP("Commands", "Forward|Forward the message"), CTRL | Qt::Key_F, "forward"},
    {Redirect, "actRedirect", QT_TRANSLATE_NOOP("Commands", "&Redirect"),
     QT_TRANSLATE_NOOP(
         "Commands",
         "Redirect|Not available: the mail program is handed messages to write through a mailto: "
         "link, which cannot ask it to resend a message unchanged"),
     CTRL | Qt::Key_D, "redirect"},
    {AntiSpamSelected, "actAntiSpam", QT_TRANSLATE_NOOP("Commands", "&Anti-spam"),
     QT_TRANSLATE_NOOP("Commands", "Anti-spam|Mark the message as spam"), CTRL | Qt::Key_K,
     "antispam"},
    {AddressBook, "actAddressBook", QT_TRANSLATE_NOOP("Commands", "&Address book"),
     QT_TRANSLATE_NOOP("Commands", "Address book|Open the address book"), CTRL | SHIFT | Qt::Key_B,
     "address_book"},
    {SenderAddress, "actSenderAddress", QT_TRANSLATE_NOOP("Commands", "Add sender to address book"),
     QT_TRANSLATE_NOOP("Commands", "Add sender|Add the sender to the address book")},
    {SenderAllow, "actSenderAllow", QT_TRANSLATE_NOOP("Commands", "Add sender to allow list"),
     QT_TRANSLATE_NOOP("Commands", "Allow sender|Add the sender to the allow list")},
    {ContactsList, "actContactsList", QT_TRANSLATE_NOOP("Commands", "List contacts"),
     QT_TRANSLATE_NOOP("Commands", "List contacts|List the contacts")},

    {DeleteShown, "actDelete", QT_TRANSLATE_NOOP("Commands", "&Delete"),
     QT_TRANSLATE_NOOP("Commands", "Delete|Delete this message"), Qt::Key_Delete, "delete"},
    {FirstMessage, "actFirst", QT_TRANSLATE_NOOP("Commands", "&First message"),
     QT_TRANSLATE_NOOP("Commands", "First message|Open the first message in the list"),
     CTRL | ALT | Qt::Key_Left, "", QStyle::SP_MediaSkipBackward},
    {PreviousMessage, "actPrevious", QT_TRANSLATE_NOOP("Commands", "&Previous message"),
     QT_TRANSLATE_NOOP("Commands", "Previous message|Open the previous message in the list"),
     ALT | Qt::Key_Left, "", QStyle::SP_ArrowBack},
    {NextMessage, "actNext", QT_TRANSLATE_NOOP("Commands", "&Next message"),
     QT_TRANSLATE_NOOP("Commands", "Next message|Open the next message in the list"),
     ALT | Qt::Key_Right, "", QStyle::SP_ArrowForward},
    {LastMessage, "actLast", QT_TRANSLATE_NOOP("Commands", "&Last message"),
     QT_TRANSLATE_NOOP("Commands", "Last message|Open the last message in the list"),
     CTRL | ALT | Qt::Key_Right, "", QStyle::SP_MediaSkipForward},
    {CloseReader, "actClose", QT_TRANSLATE_NOOP("Commands", "&Close"),
     QT_TRANSLATE_NOOP("Commands", "Close|Close this window"), Qt::Key_Escape, "close"},
    {AntiSpamShown,
     "actAntispam",
     QT_TRANSLATE_NOOP("Commands", "&Anti-spam"),
     QT_TRANSLATE_NOOP("Commands", "Anti-spam|Mark the message as spam"),
     {},
     "antispam"},

    {BarCompose, "actCompose", QT_TRANSLATE_NOOP("Commands", "&Compose"),
     QT_TRANSLATE_NOOP("Commands", "Compose|Write a new message"), CTRL | Qt::Key_N},
    {BarAddressBook, "actAddressBook", QT_TRANSLATE_NOOP("Commands", "&Address book"),
     QT_TRANSLATE_NOOP("Commands", "Address book|Open the address book")},
    {BarCheckAll, "actCheckMail", QT_TRANSLATE_NOOP("Commands", "&All accounts..."),
     QT_TRANSLATE_NOOP("Commands", "All accounts|Check every account for new email")},
    {BarOptions, "actOptions", QT_TRANSLATE_NOOP("Commands", "&Options..."),
     QT_TRANSLATE_NOOP("Commands", "Options|Change the Quobel options")},
    {BarHide, "actHide", QT_TRANSLATE_NOOP("Commands", "&Hide"),
     QT_TRANSLATE_NOOP("Commands", "Hide|Close the Quobel Bar"), CTRL | Qt::Key_F4},
    {BarExit, "actExit", QT_TRANSLATE_NOOP("Commands", "E&xit"),
     QT_TRANSLATE_NOOP("Commands", "Exit|Close Quobel"), ALT | Qt::Key_F4},
    {BarMarkRead, "actMarkRead", QT_TRANSLATE_NOOP("Commands", "&Mark as read"),
     QT_TRANSLATE_NOOP("Commands", "Mark as read|Mark this message as read")},
    {BarMarkAllRead, "actMarkAllRead", QT_TRANSLATE_NOOP("Commands", "Mar&k all read"),
     QT_TRANSLATE_NOOP("Commands", "Mark all read|Mark every message as read")},
    {BarDelete, "actDelete", QT_TRANSLATE_NOOP("Commands", "&Delete"),
     QT_TRANSLATE_NOOP("Commands", "Delete|Delete this message")},
    {BarAntiSpam, "actAntiSpam", QT_TRANSLATE_NOOP("Commands", "&Anti-Spam"),
     QT_TRANSLATE_NOOP("Commands", "Anti-Spam|Mark the message as spam")},
};

// Commands this program has no function for. They keep their place in menus and tool bars, so
// that the windows read as designed, but are shown unavailable instead of doing nothing.
constexpr TCommandId kWithoutFunction[] = {
    SelectSpam,   AntiSpamSelected, AddressBook,    SenderAddress, SenderAllow,
    ContactsList, AntiSpamShown,    BarAddressBook, BarAntiSpam,
};

bool HasFunction(TCommandId id) {
    return std::find(std::begin(kWithoutFunction), std::end(kWithoutFunction), id) ==
           std::end(kWithoutFunction);
}

// The hint of a command without function says so in both its texts.
void MarkUnavailable(QAction& action) {
    action.setToolTip(action.toolTip() +
                      QCoreApplication::translate("Commands", " (not available)"));
    action.setStatusTip(action.statusTip() +
                        QCoreApplication::translate("Commands", ": not available in Quobel"));
}

const TCommandEntry& EntryOf(TCommandId id) {
    for (const TCommandEntry& entry : kCommands) {
        if (entry.Id == id) {
            return entry;
        }
    }
    assert(false && "a command without an entry in the table");
    return kCommands[0];
}

QAction* Make(QWidget& owner, const TCommandEntry& entry) {
    const QKeySequence shortcut =
        entry.Key.key() == Qt::Key_unknown ? QKeySequence() : QKeySequence(entry.Key);
    QAction* action =
        MakeCommand(owner, entry.Name, QCoreApplication::translate("Commands", entry.Caption),
                    QCoreApplication::translate("Commands", entry.Hint), shortcut,
                    QString::fromLatin1(entry.Icon));
    if (entry.StyleIcon != kNoStyleIcon) {
        action->setIcon(owner.style()->standardIcon(entry.StyleIcon));
    }
    action->setCheckable(entry.Checkable);
    return action;
}

}  // namespace

TCommandSet::TCommandSet(QWidget& owner, std::initializer_list<TCommandId> ids) {
    // A disabled group keeps its commands disabled whatever a window enables along with the
    // commands that work on a selection.
    QActionGroup* unavailable = nullptr;
    for (const TCommandId id : ids) {
        QAction* action = Make(owner, EntryOf(id));
        actions_[id] = action;
        if (!HasFunction(id)) {
            if (unavailable == nullptr) {
                unavailable = new QActionGroup(&owner);
                unavailable->setObjectName(QStringLiteral("grpUnavailable"));
                unavailable->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
                unavailable->setEnabled(false);
            }
            unavailable->addAction(action);
            MarkUnavailable(*action);
        }
    }
}

QAction& TCommandSet::operator[](TCommandId id) const {
    const auto found = actions_.find(id);
    assert(found != actions_.end() && "a command this window was not made with");
    return *found->second;
}

}  // namespace quobel
