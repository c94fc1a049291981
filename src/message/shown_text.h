#pragma once

#include <functional>
#include <string>

#include "message/qb_message.h"

namespace quobel {

// The part the reader shows: a plain-text part as it is, or an HTML part reduced to text.
struct TShownPart {
    int Index = -1;  // -1: no part qualifies
    bool Html = false;
};

TShownPart ChooseShownPart(const TQBMessage& message);

// The charset the shown part's bytes are in: the part's own, or for a message that is not
// multipart the message's.
std::string ShownPartCharset(const TQBMessage& message, const TShownPart& part);

// Applied to the shown text after part choice, charset conversion and HTML reduction (the
// place where an encrypted body is decrypted).
using TShownTextFilter = std::function<std::string(const std::string& text)>;

// The text the reader shows, in UTF-8; empty when no part qualifies.
std::string ShownText(const TQBMessage& message, const TShownTextFilter& filter = {});

}  // namespace quobel
