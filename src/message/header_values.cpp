#include "message/header_values.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "accounts/base64.h"
#include "core/error.h"
#include "core/strings.h"
#include "message/charset.h"
#include "message/text_search.h"

namespace quobel {

namespace {

constexpr std::array<std::int8_t, 256> MakeBase64Values() {
    std::array<std::int8_t, 256> table{};
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        table[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr std::array<std::int8_t, 256> kBase64Values = MakeBase64Values();

void DecodeQ(std::string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '_') {
            out.push_back(' ');
        } else if (c == '=' && i + 2 < text.size()) {
            const int high = HexDigitValue(text[i + 1]);
            const int low = HexDigitValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
            } else {
                out.append(text.substr(i, 3));
            }
            i += 2;
        } else {
            out.push_back(c);
        }
    }
}

// Groups of four characters while four remain (the closing "?=" included, which stands in for
// missing padding); every group gives three bytes, characters outside the alphabet count 0.
// The zero bytes that padding produces are removed with all other NUL bytes.
void DecodeB(std::string_view textWithClose, std::string& out) {
    for (std::size_t i = 0; i + 4 <= textWithClose.size(); i += 4) {
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            v = (v << 6) | static_cast<std::uint32_t>(
                               kBase64Values[static_cast<unsigned char>(textWithClose[i + k])]);
        }
        out.push_back(static_cast<char>(v >> 16));
        out.push_back(static_cast<char>(v >> 8));
        out.push_back(static_cast<char>(v));
    }
}

void RemoveNuls(std::string& text) {
    std::erase(text, '\0');
}

struct EncodedWord {
    std::size_t end = 0;  // index after "?="
    std::string_view charset;
    std::string bytes;
};

enum class WordResult { Decoded, NotAWord, NoMoreWords };

// Parses the encoded word starting at text[a] ("=?"). A missing delimiter means no later word
// can be complete either, which keeps the scan linear on hostile input.
WordResult ParseWord(std::string_view text, std::size_t a, EncodedWord& word) {
    const std::size_t b1 = text.find('?', a + 2);
    if (b1 == std::string_view::npos) {
        return WordResult::NoMoreWords;
    }
    std::string_view charset = text.substr(a + 2, b1 - a - 2);
    if (charset.empty() || charset.find_first_of(" \t\r\n") != std::string_view::npos) {
        return WordResult::NotAWord;
    }
    const std::size_t b2 = text.find('?', b1 + 1);
    if (b2 == std::string_view::npos) {
        return WordResult::NoMoreWords;
    }
    const std::size_t c = text.find("?=", b2 + 1);
    if (c == std::string_view::npos) {
        return WordResult::NoMoreWords;
    }
    // A language suffix (RFC 2231) is not part of the charset name.
    if (const std::size_t star = charset.find('*'); star != std::string_view::npos) {
        charset = charset.substr(0, star);
    }
    word.charset = charset;
    word.end = c + 2;
    word.bytes.clear();
    const char encoding = text[b1 + 1];
    if (encoding == 'Q' || encoding == 'q') {
        DecodeQ(text.substr(b2 + 1, c - b2 - 1), word.bytes);
    } else {
        DecodeB(text.substr(b2 + 1, c + 2 - b2 - 1), word.bytes);
    }
    RemoveNuls(word.bytes);
    return WordResult::Decoded;
}

void AppendPlain(std::string_view plain, std::string& out) {
    out.append(TextToUtf8(plain, ""));
}

}  // namespace

TSplitArray SplitText(std::string_view text, std::string_view separator) {
    TSplitArray result;
    if (separator.empty()) {
        if (!text.empty())
            result.emplace_back(text);
        return result;
    }
    for (;;) {
        const std::size_t p = FindText(text, separator, 1);
        if (p == 0) {
            break;
        }
        result.emplace_back(text.substr(0, p - 1));
        text.remove_prefix(p - 1 + separator.size());
    }
    if (!text.empty()) {
        result.emplace_back(text);
    }
    return result;
}

TQBContact SplitAddress(std::string_view text) {
    TQBContact contact;
    if (const std::size_t quote = text.find('"'); quote != std::string_view::npos) {
        text.remove_prefix(quote + 1);
        if (const std::size_t close = text.find('"'); close != std::string_view::npos) {
            contact.Name.assign(text.substr(0, close));
            text.remove_prefix(close + 1);
        }
    }
    const std::size_t open = text.find('<');
    if (open == std::string_view::npos) {
        contact.Address.assign(text);
        return contact;
    }
    text.remove_prefix(open + 1);
    if (const std::size_t close = text.find('>'); close != std::string_view::npos) {
        contact.Address.assign(text.substr(0, close));
    }
    return contact;
}

std::string DecodeEncodedWords(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;  // start of text not yet copied
    std::size_t search = 0;
    // A run of adjacent words of one charset is converted as a whole, so that a character split
    // across two words survives.
    std::string runBytes;
    std::string_view runCharset;
    bool inRun = false;
    const auto flushRun = [&] {
        if (inRun) {
            out.append(TextToUtf8(runBytes, runCharset));
            runBytes.clear();
            inRun = false;
        }
    };
    EncodedWord word;
    for (;;) {
        const std::size_t a = text.find("=?", search);
        if (a == std::string_view::npos) {
            break;
        }
        const WordResult result = ParseWord(text, a, word);
        if (result == WordResult::NoMoreWords) {
            break;
        }
        if (result == WordResult::NotAWord) {
            search = a + 2;
            continue;
        }
        const std::string_view between = text.substr(from, a - from);
        const bool onlyBlanks = between.find_first_not_of(" \t\r\n") == std::string_view::npos;
        if (inRun && onlyBlanks) {
            // Adjacent encoded words: the white space between them goes.
            if (!SameTextAscii(runCharset, word.charset)) {
                flushRun();
            }
        } else {
            flushRun();
            AppendPlain(between, out);
        }
        if (!inRun) {
            runCharset = word.charset;
            inRun = true;
        }
        runBytes.append(word.bytes);
        from = search = word.end;
    }
    flushRun();
    AppendPlain(text.substr(from), out);
    RemoveNuls(out);
    return out;
}

std::string DecodeHeaderValue(std::string_view value) {
    std::string t = DecodeEncodedWords(value);
    if (!t.starts_with("=?")) {
        return t;
    }
    // Leftover of a malformed leading word: its "=?" and charset go; a US-ASCII word in base64
    // is decoded if it can be.
    t.erase(0, 2);
    const std::size_t q1 = t.find('?');
    if (q1 == std::string::npos) {
        return t;
    }
    const std::string charset = t.substr(0, q1);
    t.erase(0, q1 + 1);
    if (!SameTextAscii(charset, "us-ascii")) {
        return t;
    }
    const std::size_t q2 = t.find('?');
    if (q2 == std::string::npos) {
        return t;
    }
    const std::string encoding = t.substr(0, q2);
    t.erase(0, q2 + 1);
    if (const std::size_t q3 = t.find('?'); q3 != std::string::npos) {
        t.resize(q3);
    }
    if (!encoding.empty() && (encoding[0] == 'B' || encoding[0] == 'b')) {
        try {
            t = TextToUtf8(Base64Decode(t), "");
        } catch (const Error&) {
            // The value keeps its undecoded text.
        }
    }
    return t;
}

}  // namespace quobel
