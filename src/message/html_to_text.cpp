#include "message/html_to_text.h"

#include <cstdint>
#include <cstring>

#include "message/charset.h"
#include "message/text_search.h"

namespace quobel {

namespace {

// Deletes every "<" ... ">" range; an unclosed "<" leaves the rest as it is.
std::string RemoveTags(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t open = text.find('<', from);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find('>', open);
        if (close == std::string_view::npos) {
            break;
        }
        result.append(text.substr(from, open - from));
        from = close + 1;
    }
    result.append(text.substr(from));
    return result;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c | 0x20) - 'a' + 10;
}

// Length of the reference at text[0] ("&...;") and its UTF-8 text, or 0 when it is not one
// of the decoded forms.
std::size_t DecodeReference(std::string_view text, std::string& out) {
    static constexpr struct {
        std::string_view name;
        std::string_view value;
    } kEntities[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}};
    for (const auto& entity : kEntities) {
        if (text.starts_with(entity.name)) {
            out.append(entity.value);
            return entity.name.size();
        }
    }
    if (text.size() < 4 || text[1] != '#') {
        return 0;
    }
    const bool hex = text[2] == 'x' || text[2] == 'X';
    std::size_t i = hex ? 3 : 2;
    const std::size_t digitsStart = i;
    std::uint32_t value = 0;
    while (i < text.size() && i - digitsStart < 8 &&
           (hex ? IsHex(text[i]) : (text[i] >= '0' && text[i] <= '9'))) {
        value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(HexValue(text[i]));
        ++i;
    }
    if (i == digitsStart || i >= text.size() || text[i] != ';') {
        return 0;
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    AppendUtf8(out, static_cast<char32_t>(value));
    return i + 1;
}

std::string DecodeReferences(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t amp = text.find('&', from);
        if (amp == std::string_view::npos) {
            break;
        }
        result.append(text.substr(from, amp - from));
        const std::size_t length = DecodeReference(text.substr(amp), result);
        if (length == 0) {
            result.push_back('&');
            from = amp + 1;
        } else {
            from = amp + length;
        }
    }
    result.append(text.substr(from));
    return result;
}

}  // namespace

std::string HtmlToText(std::string_view html) {
    std::string_view body = html;
    if (const std::size_t p = FindTextNoCase(body, "<body", 1); p > 0) {
        if (const std::size_t q = FindText(body, ">", p); q > 0) {
            body.remove_prefix(q);
        }
    }
    if (const std::size_t p = FindTextNoCase(body, "</body>", 1); p > 0) {
        body = body.substr(0, p - 1);
    }
    std::string text = ReplaceAll(body, "&nbsp;", " ", false);
    text = ReplaceAll(text, "<br>", "\r\n", true);
    text = ReplaceAll(text, "<br />", "\r\n", true);
    text = ReplaceAll(text, "&copy;", "\u00A9", true);
    text = ReplaceAll(text, "&euro;", "\u20AC", true);
    return DecodeReferences(RemoveTags(text));
}

}  // namespace quobel
