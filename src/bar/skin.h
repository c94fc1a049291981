#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "bar/bmp_image.h"
#include "core/font_record.h"
#include "core/ini_file.h"
#include "core/user_text.h"

namespace quobel {

struct TSkinArrows {
    TBmpImage Image;  // "arrows.bmp"
    int32_t MoveBarWidth = 0;
    int32_t SizeBarWidth = 0;
    int32_t LeftArrowWidth = 0;
    int32_t RightArrowWidth = 0;
    int32_t FirstArrowWidth = 0;
    int32_t LastArrowWidth = 0;
    int32_t DropdownWidth = 0;
};

struct TSkinMenuButton {
    TBmpImage Image;  // "menubutton.bmp"
    int32_t Width = 0;
};

struct TSkinButton {
    TBmpImage Image;  // "button.bmp"
    int32_t Width = 0;
    int32_t BorderLeft = 0;
    int32_t BorderRight = 0;
    int32_t BorderTop = 0;
    int32_t BorderBottom = 0;
    TFontRecord Font;
};

struct TSkinError {
    TBmpImage Image;  // "error.bmp"
    int32_t Width = 0;
};

struct TSkinMenu {
    uint32_t BorderColor = 0;
    uint32_t SeparatorColor = 0;
    uint32_t NormalColor = 0;
    uint32_t NormalBorderColor = 0;
    uint32_t SelectedColor = 0;
    uint32_t SelectedBorderColor = 0;
    TFontRecord NormalFont;
    TFontRecord SelectedFont;
    TFontRecord DisabledFont;
};

// One skin: a folder with "skin.ini" and five bitmaps. The images and fonts exist only between
// Load and Unload.
class TSkin {
  public:
    TSkin() = default;
    TSkin(std::string name, std::string path) : Name(std::move(name)), Path(std::move(path)) {}

    std::string Name;  // the folder's name
    std::string Path;  // the folder's full path
    int32_t Height = 0;
    TBmpImage Background;  // "background.bmp"
    TSkinArrows Arrows;
    TSkinMenuButton MenuButton;
    TSkinButton Button;
    TSkinError Error;
    TSkinMenu Menu;

    // Reads the folder. Throws Error with the failure's text: "The specified skin does not
    // exist!" without "skin.ini", the image loader's text for a missing or unreadable bitmap, a
    // conversion text for a bad colour, and a text naming the fault for a skin that leaves
    // nothing sound to draw. On failure the skin stays unloaded.
    void Load();
    void Unload();
    bool Loaded() const { return loaded_; }

    // Throws Error when the values and images leave nothing sound to draw: a background without
    // pixels, negative widths, a message button without a middle, images shorter than Height
    // or narrower than the parts cut from them.
    void CheckDrawable() const;

    static constexpr const char* kNoSkinText =
        USER_TEXT("Quobel", "The specified skin does not exist!");

  private:
    bool loaded_ = false;
};

// Colour text of three integers separated by single blanks ("255 128 0"), each taken modulo
// 256, as the value red + green*256 + blue*65536. Pieces after the third are ignored. Throws
// Error for a piece that is not an integer (an empty one included) and for fewer than three.
uint32_t ParseSkinColor(std::string_view text);

// Sets `font` from the six keys prefix + ".Name", ".Size", ".Color", ".Bold", ".Italic",
// ".Underline" of `section` (defaults "Tahoma", 10, "0 0 0", no style).
void ReadSkinFont(const TIniFile& ini, std::string_view section, std::string_view prefix,
                  TFontRecord& font);

}  // namespace quobel
