#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/mail_item.h"

namespace quobel {

// What a new message's row needs, parsed from its header block on the thread that received it,
// so that filing it costs the user-interface thread no parsing.
struct TParsedHeader {
    std::string Key;
    int64_t Size = -1;  // as the server listed it; -1 when unknown
    TCachedData CachedData;
    std::string FromAddr;
    std::vector<std::string> Recipients;
    std::vector<std::string> CCList;
    // The header block as its cache file keeps it.
    std::string Source;
};

// Parses the header lines (each to be followed by CR LF) as TMailItem::LoadFromHeaderLines
// does. Safe on any thread.
TParsedHeader ParseHeaderBlock(std::string key, int64_t size,
                               const std::vector<std::string>& lines);

}  // namespace quobel
