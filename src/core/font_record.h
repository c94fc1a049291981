#pragma once

#include <cstdint>
#include <string>

namespace quobel {

// The system window-text colour (system colour index 8).
inline constexpr uint32_t kColorWindowText = 0x80000008u;

// A font as the settings store keeps it; the user interface converts it to its own type.
struct TFontRecord {
    std::string Name = "Courier New";
    int32_t Size = 8;  // points
    uint32_t Color = kColorWindowText;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;

    bool operator==(const TFontRecord&) const = default;
};

}  // namespace quobel
