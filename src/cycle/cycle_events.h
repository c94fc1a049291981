#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cycle/cycle_event.h"

namespace quobel {

class TAccount;
class TError;
class TMailBox;
class TMailItem;

// What the check cycle and the message operations tell the windows. Each window subscribes to
// what it shows; a run without windows subscribes to nothing, or only to what it reports.
struct TCycleEvents {
    // New messages were filed into the box, in filing order. A list, so that a check can hand
    // over its new mail in batches.
    TCycleEvent<TMailBox&, const std::vector<TMailItem*>&> MailFiled;
    // A check of the account ended having brought these messages (in filing order; never
    // empty): what announcements announce.
    TCycleEvent<TAccount&, const std::vector<TMailItem*>&> MailBrought;
    // An item's read state changed (its row and the counters with it).
    TCycleEvent<TMailItem&> ItemChanged;
    // The item is about to leave its box: it is still valid during the call.
    TCycleEvent<TMailItem&> ItemRemoving;
    // The last item of the box was removed.
    TCycleEvent<TMailBox&> BoxEmptied;
    // The box's unread counter changed.
    TCycleEvent<TMailBox&> UnreadChanged;
    // An error was added to the error log.
    TCycleEvent<const TError&> ErrorLogged;
    // A task reported what it is doing: its account's name, the text and the status kind.
    TCycleEvent<const std::string&, const std::string&, uint8_t> TaskStatus;
    // The running task's progress: maximum first, then position.
    TCycleEvent<int64_t, int64_t> TaskProgress;
    // Tasks the user is waiting for were queued: the queue is worth showing.
    TCycleEvent<> TasksWanted;
    // The accounts for the Check mail menus, in list order (at start and after the options).
    TCycleEvent<const std::vector<TAccount*>&> AccountsListed;
};

// The task status panel's text: "2|Checking for new mail..." (the kind picks the image), or the
// plain text for a kind without image.
std::string StatusPanelText(const std::string& text, uint8_t kind);

}  // namespace quobel
