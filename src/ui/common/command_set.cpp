#include "ui/common/command_set.h"

#include <QActionGroup>
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
    {Synchronize, "actSynchronize", "&Check mail", "Send and receive|Check for new email",
     CTRL | Qt::Key_M, "check_mail"},
    {DeleteSelected, "actDelete", "&Delete", "Delete|Delete the selected messages", {}, "delete"},
    {Open, "actOpen", "&Open", "Open|Open the selected message"},
    {MarkRead, "actMarkRead", "Mark as &Read", "Mark as read|Mark the selected messages as read",
     CTRL | Qt::Key_B},
    {MarkUnread, "actMarkUnread", "Mark as &Unread",
     "Mark as unread|Mark the selected messages as unread", CTRL | Qt::Key_U},
    {SelectAll, "actSelectAll", "Select &all", "Select all|Select all messages", CTRL | Qt::Key_A},
    {SelectNone, "actSelectNone", "Select &none", "Select none|Deselect all messages",
     CTRL | Qt::Key_Z},
    {SelectSpam, "actSelectSpam", "Select &spam", "Select spam|Select all messages marked as spam",
     CTRL | Qt::Key_X},
    {PreviousRow, "actPrevious", "&Previous", "Previous|Go to the previous message",
     ALT | Qt::Key_Left},
    {NextRow, "actNext", "&Next", "Next|Go to the next message", ALT | Qt::Key_Right},
    {Preview,
     "actPreview",
     "Message &preview",
     "Message preview|Show or hide the message preview",
     {},
     "",
     kNoStyleIcon,
     true},
    {Contacts,
     "actContacts",
     "&Contacts list",
     "Contacts list|Show or hide the contacts list",
     {},
     "",
     kNoStyleIcon,
     true},
    {Bar, "actBar", "Quobel &Bar", "Quobel Bar|Show the Quobel Bar", {}, "", kNoStyleIcon, true},
    {Options, "actOptions", "&Options...", "Options|Change the Quobel options", {}, "options"},
    {Hide, "actHide", "&Hide", "Hide|Hide Quobel to the system tray", CTRL | Qt::Key_F4, "hide"},
    {CloseProgram, "actClose", "&Close", "Close|Close Quobel", ALT | Qt::Key_F4, "close"},
    {ShowTasks, "actShowTasks", "&Show tasks", "Show tasks|Show the running tasks"},
    {BoxList, "actBoxList", "Refresh mailbox list",
     "Refresh mailbox list|Refresh the list of mailboxes"},
    {BoxMessages, "actBoxMessages", "List messages in box",
     "List messages|List the messages in the selected mailbox"},
    {HelpContents,
     "actHelpContents",
     "&Contents",
     "Contents|Show the contents of the help",
     {},
     "help"},

    {Compose, "actCompose", "&Compose", "Compose|Write a new message", CTRL | Qt::Key_N, "compose"},
    {Reply, "actReply", "&Reply", "Reply|Reply to the sender", CTRL | Qt::Key_R, "reply"},
    {ReplyAll, "actReplyAll", "Reply to &all",
     "Reply to all|Reply to the sender and all recipients", CTRL | SHIFT | Qt::Key_R, "reply_all"},
    {Forward, "actForward", "&Forward", "Forward|Forward the message", CTRL | Qt::Key_F, "forward"},
    {Redirect, "actRedirect", "&Redirect",
     "Redirect|Not available: the mail program is handed messages to write through a mailto: "
     "link, which cannot ask it to resend a message unchanged",
     CTRL | Qt::Key_D, "redirect"},
    {AntiSpamSelected, "actAntiSpam", "&Anti-spam", "Anti-spam|Mark the message as spam",
     CTRL | Qt::Key_K, "antispam"},
    {AddressBook, "actAddressBook", "&Address book", "Address book|Open the address book",
     CTRL | SHIFT | Qt::Key_B, "address_book"},
    {SenderAddress, "actSenderAddress", "Add sender to address book",
     "Add sender|Add the sender to the address book"},
    {SenderAllow, "actSenderAllow", "Add sender to allow list",
     "Allow sender|Add the sender to the allow list"},
    {ContactsList, "actContactsList", "List contacts", "List contacts|List the contacts"},

    {DeleteShown, "actDelete", "&Delete", "Delete|Delete this message", Qt::Key_Delete, "delete"},
    {FirstMessage, "actFirst", "&First message", "First message|Open the first message in the list",
     CTRL | ALT | Qt::Key_Left, "", QStyle::SP_MediaSkipBackward},
    {PreviousMessage, "actPrevious", "&Previous message",
     "Previous message|Open the previous message in the list", ALT | Qt::Key_Left, "",
     QStyle::SP_ArrowBack},
    {NextMessage, "actNext", "&Next message", "Next message|Open the next message in the list",
     ALT | Qt::Key_Right, "", QStyle::SP_ArrowForward},
    {LastMessage, "actLast", "&Last message", "Last message|Open the last message in the list",
     CTRL | ALT | Qt::Key_Right, "", QStyle::SP_MediaSkipForward},
    {CloseReader, "actClose", "&Close", "Close|Close this window", Qt::Key_Escape, "close"},
    {AntiSpamShown,
     "actAntispam",
     "&Anti-spam",
     "Anti-spam|Mark the message as spam",
     {},
     "antispam"},

    {BarCompose, "actCompose", "&Compose", "Compose|Write a new message", CTRL | Qt::Key_N},
    {BarAddressBook, "actAddressBook", "&Address book", "Address book|Open the address book"},
    {BarCheckAll, "actCheckMail", "&All accounts...",
     "All accounts|Check every account for new email"},
    {BarOptions, "actOptions", "&Options...", "Options|Change the Quobel options"},
    {BarHide, "actHide", "&Hide", "Hide|Close the Quobel Bar", CTRL | Qt::Key_F4},
    {BarExit, "actExit", "E&xit", "Exit|Close Quobel", ALT | Qt::Key_F4},
    {BarMarkRead, "actMarkRead", "&Mark as read", "Mark as read|Mark this message as read"},
    {BarMarkAllRead, "actMarkAllRead", "Mar&k all read",
     "Mark all read|Mark every message as read"},
    {BarDelete, "actDelete", "&Delete", "Delete|Delete this message"},
    {BarAntiSpam, "actAntiSpam", "&Anti-Spam", "Anti-Spam|Mark the message as spam"},
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
    action.setToolTip(action.toolTip() + QStringLiteral(" (not available)"));
    action.setStatusTip(action.statusTip() + QStringLiteral(": not available in Quobel"));
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
        MakeCommand(owner, entry.Name, QString::fromUtf8(entry.Caption),
                    QString::fromUtf8(entry.Hint), shortcut, QString::fromLatin1(entry.Icon));
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
