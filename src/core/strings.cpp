#include "core/strings.h"

namespace quobel {

std::string ToLowerAscii(std::string_view text) {
    std::string lower;
    ToLowerAsciiInto(text, lower);
    return lower;
}

std::string ToUpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperAscii(c);
    }
    return upper;
}

void ToLowerAsciiInto(std::string_view text, std::string& out) {
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out[i] = LowerAscii(text[i]);
    }
}

size_t FindTextAscii(std::string_view text, std::string_view pattern, size_t from) {
    if (from > text.size() || text.size() - from < pattern.size()) {
        return std::string_view::npos;
    }
    if (pattern.empty()) {
        return from;
    }
    // Most places fail on the first byte: test it in both cases before comparing the rest.
    const char lower = LowerAscii(pattern.front());
    const char upper = UpperAscii(pattern.front());
    const std::string_view rest = pattern.substr(1);
    const size_t last = text.size() - pattern.size();
    for (size_t i = from; i <= last; ++i) {
        const char c = text[i];
        if ((c == lower || c == upper) && SameTextAscii(text.substr(i + 1, rest.size()), rest)) {
            return i;
        }
    }
    return std::string_view::npos;
}

}  // namespace quobel
