#include "json_text.h"

#include <array>
#include <cstdint>

namespace quobel::inspect {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at the start of `text` (RFC 3629), or 0.
size_t SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr std::array<char, 16> kHex = {'0', '1', '2', '3', '4', '5', '6', '7',
                                                  '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    out += '"';
    size_t i = 0;
    while (i < text.size()) {
        size_t plain = i;
        while (plain < text.size()) {
            const auto c = static_cast<uint8_t>(text[plain]);
            if (c < 0x20 || c >= 0x80 || c == '"' || c == '\\') {
                break;
            }
            ++plain;
        }
        out.append(text.substr(i, plain - i));
        i = plain;
        if (i == text.size()) {
            break;
        }
        const auto c = static_cast<uint8_t>(text[i]);
        if (c >= 0x80) {
            const size_t length = SequenceLength(text.substr(i));
            out.append(length > 0 ? text.substr(i, length) : kReplacement);
            i += length > 0 ? length : 1;
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                out += "\\u00";
                out += kHex[c >> 4];
                out += kHex[c & 0xF];
        }
        ++i;
    }
    out += '"';
}

}  // namespace quobel::inspect
