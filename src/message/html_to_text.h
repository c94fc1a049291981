#pragma once

#include <string>
#include <string_view>

namespace quobel {

// Reduces HTML (UTF-8) to plain text: keeps the body, turns line-break tags into CR LF, deletes
// every tag and decodes a few entities and numeric character references. No other parsing.
std::string HtmlToText(std::string_view html);

}  // namespace quobel
