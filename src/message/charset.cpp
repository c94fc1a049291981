#include "message/charset.h"

#include <cerrno>
#include <cstdint>

#include "core/strings.h"

namespace quobel {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 code points.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// iconv must only ever see a plain charset name (no "//" suffixes from hostile headers).
bool IsPlainCharsetName(std::string_view name) {
    if (name.empty() || name.size() > 40) {
        return false;
    }
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ':';
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

TIconv::TIconv(std::string_view fromCharset)
    : Handle_(IsPlainCharsetName(fromCharset)
                  ? iconv_open("UTF-8", std::string(fromCharset).c_str())
                  : reinterpret_cast<iconv_t>(-1)) {}

TIconv::~TIconv() {
    if (Valid()) {
        iconv_close(Handle_);
    }
}

std::string TIconv::Convert(std::string_view bytes) {
    std::string out;
    out.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t used = 0;
    iconv(Handle_, nullptr, nullptr, nullptr, nullptr);
    for (;;) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t rc = inLeft == 0 ? iconv(Handle_, nullptr, nullptr, &outPtr, &outLeft)
                                           : iconv(Handle_, &in, &inLeft, &outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - out.data());
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) {
                break;
            }
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            // An invalid or truncated sequence: one replacement character, skip one byte.
            out.resize(used);
            out.append("\xEF\xBF\xBD");
            out.resize(out.size() + inLeft * 2 + 16);
            used += 3;
            ++in;
            --inLeft;
            iconv(Handle_, nullptr, nullptr, nullptr, nullptr);
        } else {
            break;
        }
    }
    out.resize(used);
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        // Fast path over ASCII, eight bytes at a time.
        while (i + 8 <= n) {
            std::uint64_t word;
            __builtin_memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL) {
                break;
            }
            i += 8;
        }
        if (i >= n) {
            break;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        char32_t min;
        char32_t value;
        if ((c & 0xE0) == 0xC0) {
            length = 2, min = 0x80, value = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, min = 0x800, value = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, min = 0x10000, value = c & 0x07;
        } else {
            return false;
        }
        if (i + length > n) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) {
                return false;
            }
            value = (value << 6) | (s[i + k] & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0) {
            AppendUtf8(out, kCp1252High[c - 0x80]);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

std::optional<std::string> ConvertCharsetToUtf8(std::string_view bytes, std::string_view charset) {
    if (SameTextAscii(charset, "utf-8") || SameTextAscii(charset, "utf8")) {
        if (IsValidUtf8(bytes)) {
            return std::string(bytes);
        }
    } else if (SameTextAscii(charset, "us-ascii") || SameTextAscii(charset, "ascii")) {
        // Mislabelled 8-bit text is common; it follows the rule for text without a charset.
        if (IsAscii(bytes)) {
            return std::string(bytes);
        }
        return TextToUtf8(bytes, "");
    }
    TIconv converter(charset);
    if (!converter.Valid()) {
        return std::nullopt;
    }
    return converter.Convert(bytes);
}

std::string TextToUtf8(std::string_view bytes, std::string_view charset) {
    if (!charset.empty()) {
        if (std::optional<std::string> converted = ConvertCharsetToUtf8(bytes, charset)) {
            return std::move(*converted);
        }
    }
    if (IsValidUtf8(bytes)) {
        return std::string(bytes);
    }
    return Windows1252ToUtf8(bytes);
}

}  // namespace quobel
