#include "message/text_search.h"

#include <algorithm>
#include <cstring>

#include "core/strings.h"

namespace quobel {

namespace {}  // namespace

std::size_t FindText(std::string_view text, std::string_view pattern, std::size_t start) {
    if (start < 1 || pattern.empty()) {
        return 0;
    }
    const std::size_t index = text.find(pattern, start - 1);
    return index == std::string_view::npos ? 0 : index + 1;
}

std::size_t FindTextNoCase(std::string_view text, std::string_view pattern, std::size_t start) {
    if (start < 1 || pattern.empty()) {
        return 0;
    }
    const std::size_t index = FindTextAscii(text, pattern, start - 1);
    return index == std::string_view::npos ? 0 : index + 1;
}

std::size_t FindTextBack(std::string_view text, std::string_view pattern) {
    if (pattern.empty() || pattern.size() > text.size()) {
        return 0;
    }
    // memrchr on a byte of the pattern that is rare in mail text (not a line break or blank)
    // keeps the backward scan fast on large messages.
    std::size_t key = 0;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (pattern[k] != '\r' && pattern[k] != '\n' && pattern[k] != ' ') {
            key = k;
            break;
        }
    }
    // Candidate starts are [0, limit); the key byte of a candidate at i sits at i + key.
    std::size_t limit = text.size() - pattern.size() + 1;
    while (limit > 0) {
        const void* hit = memrchr(text.data() + key, pattern[key], limit);
        if (hit == nullptr) {
            return 0;
        }
        const std::size_t index =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) - key;
        if (std::memcmp(text.data() + index, pattern.data(), pattern.size()) == 0) {
            return index + 1;
        }
        limit = index;
    }
    return 0;
}

std::string ReplaceAll(std::string_view text, std::string_view pattern,
                       std::string_view replacement, bool ignoreCase) {
    std::string result;
    if (pattern.empty()) {
        return std::string(text);
    }
    result.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t index =
            ignoreCase ? FindTextAscii(text, pattern, from) : text.find(pattern, from);
        if (index == std::string_view::npos) {
            break;
        }
        result.append(text.substr(from, index - from));
        result.append(replacement);
        from = index + pattern.size();
    }
    result.append(text.substr(from));
    return result;
}

}  // namespace quobel
