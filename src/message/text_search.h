#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quobel {

// Positions are 1-based; 0 means "not found". Start positions are at least 1 and patterns are
// never empty. "NoCase" compares ASCII letters without regard to case.
std::size_t FindText(std::string_view text, std::string_view pattern, std::size_t start);
std::size_t FindTextNoCase(std::string_view text, std::string_view pattern, std::size_t start);
std::size_t FindTextBack(std::string_view text, std::string_view pattern);

// Replaces every occurrence, left to right, without overlaps and without searching the
// replacement again.
std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement, bool ignoreCase);

}  // namespace quobel
