#pragma once

#include <QString>
#include <string_view>

namespace quobel {

// A text made below the user interface (core/user_text.h) in the user's language: a marked text
// itself, or a marked pattern recognised in the finished text with its filled-in parts kept as
// they are. Anything else (a server's reply, the system's error text) is shown as it came.
QString ShownText(std::string_view text);

// The same for a text that may also be the user's own words (a notification's summary is a
// message's subject or a count): only the patterns are translated, so that a subject reading
// "Delete" stays as it is.
QString ShownPatternText(std::string_view text);

}  // namespace quobel
