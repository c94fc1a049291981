#include "message/text_search.h"

#include <algorithm>
#include <cstring>

namespace quobel {

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

bool EqualNoCase(const char* a, const char* b, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

// 0-based index or npos.
std::size_t FindNoCase(std::string_view text, std::string_view pattern, std::size_t from) {
    if (pattern.empty() || from > text.size() || text.size() - from < pattern.size()) {
        return std::string_view::npos;
    }
    const char first = Upper(pattern[0]);
    const char firstLower = static_cast<char>(first >= 'A' && first <= 'Z' ? first + 32 : first);
    const std::size_t last = text.size() - pattern.size();
    for (std::size_t i = from; i <= last; ++i) {
        const char c = text[i];
        if ((c == first || c == firstLower) &&
            EqualNoCase(text.data() + i + 1, pattern.data() + 1, pattern.size() - 1)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace

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
    const std::size_t index = FindNoCase(text, pattern, start - 1);
    return index == std::string_view::npos ? 0 : index + 1;
}

std::size_t FindTextBack(std::string_view text, std::string_view pattern) {
    if (pattern.empty() || pattern.size() > text.size()) {
        return 0;
    }
    // memrchr on the pattern's first byte keeps the backward scan fast on large messages.
    std::size_t limit = text.size() - pattern.size() + 1;  // candidates are [0, limit)
    while (limit > 0) {
        const void* hit = memrchr(text.data(), pattern[0], limit);
        if (hit == nullptr) {
            return 0;
        }
        const std::size_t index =
            static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
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
            ignoreCase ? FindNoCase(text, pattern, from) : text.find(pattern, from);
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
