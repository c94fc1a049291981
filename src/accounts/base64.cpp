#include "accounts/base64.h"

#include <array>
#include <cstdint>

#include "core/error.h"

namespace quobel {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<uint8_t, 256> MakeDecodeTable() {
    std::array<uint8_t, 256> table{};
    for (auto& value : table) {
        value = 63;
    }
    for (int i = 0; i < 63; ++i) {
        table[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16 |
                               static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8 |
                               static_cast<uint8_t>(bytes[i + 2]);
        text += kAlphabet[group >> 18];
        text += kAlphabet[(group >> 12) & 63];
        text += kAlphabet[(group >> 6) & 63];
        text += kAlphabet[group & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
        if (rest == 2) {
            group |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
        }
        text += kAlphabet[group >> 18];
        text += kAlphabet[(group >> 12) & 63];
        text += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

std::string Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        throw Error(kBase64FormatError);
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        const uint32_t group =
            static_cast<uint32_t>(kDecode[static_cast<uint8_t>(text[i])]) << 18 |
            static_cast<uint32_t>(kDecode[static_cast<uint8_t>(text[i + 1])]) << 12 |
            static_cast<uint32_t>(kDecode[static_cast<uint8_t>(text[i + 2])]) << 6 |
            kDecode[static_cast<uint8_t>(text[i + 3])];
        const bool last = i + 4 == text.size();
        bytes += static_cast<char>(group >> 16);
        if (last && text[i + 2] == '=') {
            break;
        }
        bytes += static_cast<char>((group >> 8) & 0xFF);
        if (last && text[i + 3] == '=') {
            break;
        }
        bytes += static_cast<char>(group & 0xFF);
    }
    return bytes;
}

}  // namespace quobel
