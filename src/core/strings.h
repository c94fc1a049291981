#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quobel {

// Byte texts as the protocols and files see them: only the ASCII letters have a case, every other
// byte (UTF-8 sequences included) is compared as it is.

// The value of a hexadecimal digit of either case, or -1.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// --- case ---------------------------------------------------------------------------------------

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
// The same into a buffer the caller keeps, so that a loop over lines allocates once.
void ToLowerAsciiInto(std::string_view text, std::string& out);

// Equal but for the case of ASCII letters.
constexpr bool SameTextAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Negative, zero or positive as a sorts before, with or after b: bytes compared unsigned after
// lowering the ASCII letters, a text before any longer one it begins.
constexpr int CompareTextAscii(std::string_view a, std::string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto y = static_cast<unsigned char>(LowerAscii(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

constexpr bool LessTextAscii(std::string_view a, std::string_view b) {
    return CompareTextAscii(a, b) < 0;
}

constexpr bool StartsWithTextAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// Where the pattern first occurs at or after `from`, but for the case of ASCII letters; npos
// when nowhere. An empty pattern is found at `from` as std::string_view::find finds it.
size_t FindTextAscii(std::string_view text, std::string_view pattern, size_t from = 0);

// --- trims --------------------------------------------------------------------------------------

// A blank within a line: space or tab.
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Blanks, line ends and every other C0 control character: each byte up to ' '.
constexpr bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The same and DEL, the one ASCII control above the blank.
constexpr bool IsBlankOrAsciiControl(char c) {
    return IsBlankOrControl(c) || c == '\x7F';
}

template <typename Trimmed>
constexpr std::string_view TrimLeftIf(std::string_view text, Trimmed trimmed) {
    while (!text.empty() && trimmed(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

template <typename Trimmed>
constexpr std::string_view TrimRightIf(std::string_view text, Trimmed trimmed) {
    while (!text.empty() && trimmed(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Without the bytes `trimmed` picks at both ends.
template <typename Trimmed>
constexpr std::string_view TrimIf(std::string_view text, Trimmed trimmed) {
    return TrimRightIf(TrimLeftIf(text, trimmed), trimmed);
}

// Without the blanks (spaces and tabs) at both ends.
constexpr std::string_view TrimBlanks(std::string_view text) {
    return TrimIf(text, IsBlank);
}

// Without the blanks and control characters (every byte up to ' ') at both ends.
constexpr std::string_view TrimControls(std::string_view text) {
    return TrimIf(text, IsBlankOrControl);
}

}  // namespace quobel
