#pragma once

#include <cstdint>
#include <string_view>

#include "core/handle.h"

namespace quobel {

// What the message list shows of one mail item. The views point into the item, which outlives
// its row.
struct TMessageRowFields {
    std::string_view From, Subject, DateStr, To, Account, SizeText;
    double Date = 0;
    int64_t Size = 0;
    int32_t Priority = 0;
    bool Attachments = false;
    bool Read = false;
};

// A row of a list stands for one thing kept elsewhere (a message list's row for an item, the
// folder tree's for a mailbox), never owned; the source of the rows turns the key back.
using TRowKey = THandle<struct TListRowKind>;

// The mail items of the listed mailbox as the message list reads them. The list keeps only the
// keys, in its own (sorted) order; everything it shows or sorts by is asked for here.
class TMessageRowSource {
  public:
    virtual ~TMessageRowSource() = default;
    virtual TMessageRowFields Fields(TRowKey key) const = 0;
    // What sorting by the column compares (at least), without making anything the list does not
    // show. The views last as Fields' do.
    virtual TMessageRowFields SortFields(TRowKey key, int /*column*/) const { return Fields(key); }
};

// The message list's columns, by their fixed index.
enum TMessageColumn : int {
    kColHand = 0,
    kColPriority = 1,
    kColAttachment = 2,
    kColFrom = 3,
    kColSubject = 4,
    kColDate = 5,
    kColTo = 6,
    kColAccount = 7,
    kColSize = 8,
    kColKey = 9,
    kMessageColumnCount = 10
};

// Columns that sort by a number rather than a text.
inline bool IsNumberColumn(int column) {
    return column == kColDate || column == kColSize || column == kColPriority ||
           column == kColAttachment;
}

// Negative when a sorts before b in ascending order by the column, positive when after.
int CompareItems(const TMessageRowFields& a, const TMessageRowFields& b, int column);

}  // namespace quobel
