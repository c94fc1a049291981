#include "cycle/inbox_queries.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "accounts/account.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {

std::string MessageKeyOf(const TMailItem& item) {
    return item.AccountID + ':' + item.UIDL;
}

TMessageFacts FactsOf(const TMailItem& item) {
    const TAccount* account = item.Account();
    return {MessageKeyOf(item), account != nullptr ? account->Name : std::string(),
            item.CachedData.From, item.CachedData.Subject, IsoDateText(item.CachedData.Date)};
}

std::vector<TMessageFacts> UnreadMessages(TMailBox& box) {
    struct Unread {
        size_t Index;
        TDateTime Date;
    };
    std::vector<Unread> unread;
    for (size_t i = 0; i < box.Items.Count(); ++i) {
        if (!box.Items.IsRead(i)) {
            unread.push_back({i, box.Items.Peek(i).Summary.Date});
        }
    }
    // Newest first; of equal dates, the one filed later.
    std::ranges::sort(unread, [](const Unread& a, const Unread& b) {
        return a.Date != b.Date ? a.Date > b.Date : a.Index > b.Index;
    });
    std::vector<TMessageFacts> facts;
    facts.reserve(unread.size());
    for (const Unread& entry : unread) {
        facts.push_back(FactsOf(box.Items.Items(entry.Index)));
    }
    return facts;
}

TMailItem* FindMessage(TMailBox& box, std::string_view key) {
    const size_t colon = key.find(':');
    if (colon == std::string_view::npos) {
        return nullptr;
    }
    const std::string_view accountID = key.substr(0, colon);
    const std::string_view uidl = key.substr(colon + 1);
    for (size_t i = box.Items.Count(); i-- > 0;) {
        const TMailItemPeek peek = box.Items.Peek(i);
        if (peek.UIDL != uidl) {
            continue;
        }
        TMailItem& item = box.Items.Items(i);
        if (item.AccountID == accountID) {
            return &item;
        }
    }
    return nullptr;
}

std::string IsoDateText(TDateTime date) {
    if (date == 0) {
        return {};
    }
    const DateParts parts = DecodeDateTime(date);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.year, parts.month,
                  parts.day, parts.hour, parts.minute, parts.second);
    return text;
}

}  // namespace quobel
