#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace quobel {

// One iconv conversion descriptor, closed on destruction.
class TIconv {
  public:
    // Opens a conversion to UTF-8; Valid() is false for a charset iconv does not know.
    explicit TIconv(std::string_view fromCharset);
    ~TIconv();
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    bool Valid() const { return Handle_ != reinterpret_cast<iconv_t>(-1); }
    // Converts all bytes; a byte that cannot be converted becomes U+FFFD. Requires Valid().
    std::string Convert(std::string_view bytes);

  private:
    iconv_t Handle_;
};

bool IsValidUtf8(std::string_view bytes);
std::string Windows1252ToUtf8(std::string_view bytes);
void AppendUtf8(std::string& out, char32_t codePoint);

// Converts from a named charset; no value when the charset is unknown.
std::optional<std::string> ConvertCharsetToUtf8(std::string_view bytes, std::string_view charset);

// Text of a part or header for display: from its charset when known; otherwise valid UTF-8
// stays and anything else is read as Windows-1252.
std::string TextToUtf8(std::string_view bytes, std::string_view charset);

}  // namespace quobel
