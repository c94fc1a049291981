#include "message/encryption_state.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>

#include "accounts/base64.h"

namespace quobel {
namespace {

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// White space in the sense of a trim: blanks and every control character.
std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsValidUtf8(std::string_view text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<uint8_t>(text[i]);
        size_t length = 0;
        uint32_t point = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            point = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            point = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            point = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size()) {
            return false;
        }
        for (size_t j = 1; j < length; ++j) {
            const auto next = static_cast<uint8_t>(text[i + j]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            point = (point << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && point < 0x800) || (length == 4 && point < 0x10000);
        if (overlong || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
            return false;
        }
        i += length;
    }
    return true;
}

// Code points of Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 value.
constexpr std::array<uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// Decrypted bytes carry no charset: like any such body text they stay as they are when they
// are valid UTF-8 and are read as Windows-1252 otherwise.
std::string BodyBytesToUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const auto byte = static_cast<uint8_t>(c);
        AppendUtf8(out, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    }
    return out;
}

}  // namespace

TEncryptionState::TEncryptionState(const TdmEncryption& ciphers, PasswordQuery* query)
    : ciphers_(ciphers), query_(query) {}

TEncryptionState::~TEncryptionState() {
    WipeBytes(Password.data(), Password.size());
}

void TEncryptionState::TestHeader(const std::vector<std::string>& headerLines) {
    Encrypted = false;
    Cipher = nullptr;
    const auto header = std::ranges::find_if(headerLines, [](const std::string& line) {
        return line.size() >= kEncryptionHeader.size() &&
               SameText(std::string_view(line).substr(0, kEncryptionHeader.size()),
                        kEncryptionHeader);
    });
    if (header == headerLines.end()) {
        return;
    }
    // The line is trimmed before the name is cut off, so blanks after the colon beyond the
    // first one stay part of the value.
    const std::string_view line = Trim(*header);
    const std::string_view value =
        line.size() > kEncryptionHeader.size() ? line.substr(kEncryptionHeader.size()) : "";
    if (value.empty() || SameText(value, "PGP")) {
        return;
    }
    Encrypted = true;
    Cipher = ciphers_.FindCipher(value);
}

std::string TEncryptionState::DecryptText(const std::string& text) {
    if (Cipher == nullptr || PasswordRefused) {
        return text;
    }
    if (Password.empty()) {
        if (query_ == nullptr || !query_->Query(kPasswordCaption, kPasswordPrompt, Password)) {
            WipeBytes(Password.data(), Password.size());
            Password.clear();
        }
    }
    if (Password.empty()) {
        PasswordRefused = true;
        return text;
    }
    try {
        const std::string cipherText = Base64Decode(Trim(text));
        return BodyBytesToUtf8(Cipher->Decrypt(Password, cipherText));
    } catch (const std::exception&) {
        // Not Base64, a key the cipher rejects, ...: the body is shown as it came.
        return text;
    }
}

}  // namespace quobel
