#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "message/qb_message.h"

namespace quobel {

using TSplitArray = std::vector<std::string>;

// Splits at every occurrence of the separator; a non-empty remainder is the last element.
TSplitArray SplitText(std::string_view text, std::string_view separator);

// Quoted display name and the address between angle brackets (or the whole text); nothing is
// trimmed.
TQBContact SplitAddress(std::string_view text);

// Decodes RFC 2047 encoded words of any charset to UTF-8, joining adjacent words; text outside
// encoded words that is not valid UTF-8 is read as Windows-1252. NUL bytes are removed.
std::string DecodeEncodedWords(std::string_view text);

// A header value for display: encoded words decoded, then the leftover of a leading malformed
// word handled as the message model always did.
std::string DecodeHeaderValue(std::string_view value);

}  // namespace quobel
