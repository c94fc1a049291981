#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"

namespace quobel {

class TMailBox;
class TMailItem;
struct TMailItemPeek;

// What scripts and desktop panels ask of the Inbox, by message keys that stay the same across
// runs: "<account id>:<the server's unique id>".
struct TMessageFacts {
    std::string Key;
    std::string AccountName;
    std::string Sender;
    std::string Subject;
    std::string Date;  // ISO 8601, "2026-12-10T17:01:08"
};

std::string MessageKeyOf(const TMailItem& item);
TMessageFacts FactsOf(const TMailItem& item);
// The box's unread messages, newest first; only those items are made.
std::vector<TMessageFacts> UnreadMessages(TMailBox& box);
// The message of that key in the box; null when there is none.
TMailItem* FindMessage(TMailBox& box, std::string_view key);
// "YYYY-MM-DDThh:mm:ss"; empty for a message without date.
std::string IsoDateText(TDateTime date);

}  // namespace quobel
