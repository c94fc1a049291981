#include "bar/skin.h"

#include "core/error.h"
#include "core/file_util.h"

namespace quobel {
namespace {

int32_t ColorPiece(std::string_view piece) {
    int32_t value = 0;
    if (!ParseIniInteger(piece, value)) {
        throw Error("'" + std::string(piece) + "' is not a valid integer value");
    }
    return value & 0xFF;
}

std::string Key(std::string_view prefix, std::string_view ending) {
    std::string key(prefix);
    key += ending;
    return key;
}

}  // namespace

uint32_t ParseSkinColor(std::string_view text) {
    std::string_view pieces[3];
    size_t count = 0;
    std::string_view rest = text;
    while (count < 3) {
        const size_t blank = rest.find(' ');
        pieces[count++] = rest.substr(0, blank);
        if (blank == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(blank + 1);
    }
    if (count < 3) {
        // Two numbers give no colour at all; reading on would take an undefined third one.
        throw Error("'" + std::string(text) +
                    "' is not a valid skin colour: three numbers separated by blanks are needed");
    }
    const uint32_t red = static_cast<uint32_t>(ColorPiece(pieces[0]));
    const uint32_t green = static_cast<uint32_t>(ColorPiece(pieces[1]));
    const uint32_t blue = static_cast<uint32_t>(ColorPiece(pieces[2]));
    return red | green << 8 | blue << 16;
}

void ReadSkinFont(const TIniFile& ini, std::string_view section, std::string_view prefix,
                  TFontRecord& font) {
    font.Name = ini.ReadString(section, Key(prefix, ".Name"), "Tahoma");
    font.Size = ini.ReadInteger(section, Key(prefix, ".Size"), 10);
    font.Color = ParseSkinColor(ini.ReadString(section, Key(prefix, ".Color"), "0 0 0"));
    font.Bold = ini.ReadBool(section, Key(prefix, ".Bold"), false);
    font.Italic = ini.ReadBool(section, Key(prefix, ".Italic"), false);
    font.Underline = ini.ReadBool(section, Key(prefix, ".Underline"), false);
    font.StrikeOut = false;
}

void TSkin::Load() {
    // Everything is read into a copy first, so a failure leaves this skin unloaded and whole.
    TSkin next(Name, Path);
    const std::string iniPath = JoinPath(Path, "skin.ini");
    if (!FileExists(iniPath)) {
        throw quobel::Error(kNoSkinText);
    }
    const TIniFile ini(iniPath);
    const auto bitmap = [this](const char* file) {
        return TBmpImage::LoadFromFile(JoinPath(Path, file));
    };

    next.Background = bitmap("background.bmp");
    next.Height = next.Background.Height();

    next.Arrows.Image = bitmap("arrows.bmp");
    next.Arrows.MoveBarWidth = ini.ReadInteger("Arrows", "MoveBar.Width", 0);
    next.Arrows.SizeBarWidth = ini.ReadInteger("Arrows", "SizeBar.Width", 0);
    next.Arrows.LeftArrowWidth = ini.ReadInteger("Arrows", "LeftArrow.Width", 0);
    next.Arrows.RightArrowWidth = ini.ReadInteger("Arrows", "RightArrow.Width", 0);
    next.Arrows.FirstArrowWidth = ini.ReadInteger("Arrows", "FirstArrow.Width", 0);
    next.Arrows.LastArrowWidth = ini.ReadInteger("Arrows", "LastArrow.Width", 0);
    next.Arrows.DropdownWidth = ini.ReadInteger("Arrows", "Dropdown.Width", 0);

    next.MenuButton.Image = bitmap("menubutton.bmp");
    next.MenuButton.Width = ini.ReadInteger("MenuButton", "Width", 0);

    next.Button.Image = bitmap("button.bmp");
    next.Button.Width = ini.ReadInteger("Button", "Width", 0);
    next.Button.BorderLeft = ini.ReadInteger("Button", "Border.Left", 0);
    next.Button.BorderRight = ini.ReadInteger("Button", "Border.Right", 0);
    next.Button.BorderTop = ini.ReadInteger("Button", "Border.Top", 0);
    next.Button.BorderBottom = ini.ReadInteger("Button", "Border.Bottom", 0);
    ReadSkinFont(ini, "Button", "Font", next.Button.Font);

    next.Error.Image = bitmap("error.bmp");
    next.Error.Width = ini.ReadInteger("Error", "Width", 0);

    next.Menu.BorderColor = ParseSkinColor(ini.ReadString("Menu", "Border.Color", "0 0 0"));
    next.Menu.SeparatorColor = ParseSkinColor(ini.ReadString("Menu", "Seperator.Color", "0 0 0"));
    next.Menu.NormalColor = ParseSkinColor(ini.ReadString("Menu", "Normal.Color", "0 0 0"));
    next.Menu.NormalBorderColor =
        ParseSkinColor(ini.ReadString("Menu", "Normal.BorderColor", "0 0 0"));
    next.Menu.SelectedColor = ParseSkinColor(ini.ReadString("Menu", "Selected.Color", "0 0 0"));
    next.Menu.SelectedBorderColor =
        ParseSkinColor(ini.ReadString("Menu", "Selected.BorderColor", "0 0 0"));
    ReadSkinFont(ini, "Menu", "Normal.Font", next.Menu.NormalFont);
    ReadSkinFont(ini, "Menu", "Selected.Font", next.Menu.SelectedFont);
    ReadSkinFont(ini, "Menu", "Disabled.Font", next.Menu.DisabledFont);

    next.CheckDrawable();
    next.loaded_ = true;
    *this = std::move(next);
}

void TSkin::Unload() {
    TSkin empty(std::move(Name), std::move(Path));
    *this = std::move(empty);
}

void TSkin::CheckDrawable() const {
    const auto reject = [this](const std::string& why) {
        throw quobel::Error("The skin \"" + Name + "\" cannot be drawn: " + why + ".");
    };
    if (Background.Width() <= 0 || Height <= 0) {
        reject("\"background.bmp\" has no pixels");
    }
    const TSkinArrows& a = Arrows;
    const int32_t widths[] = {a.MoveBarWidth,     a.SizeBarWidth,     a.LeftArrowWidth,
                              a.RightArrowWidth,  a.FirstArrowWidth,  a.LastArrowWidth,
                              a.DropdownWidth,    MenuButton.Width,   Button.Width,
                              Button.BorderLeft,  Button.BorderRight, Button.BorderTop,
                              Button.BorderBottom};
    for (const int32_t width : widths) {
        if (width < 0 || width > TBmpImage::kMaxSide) {
            reject("a width of " + std::to_string(width) + " pixels");
        }
    }
    if (Button.Width - Button.BorderLeft - Button.BorderRight <= 0) {
        reject("the message button has no middle between its borders");
    }
    const auto fits = [&](const TBmpImage& image, const char* file, int64_t width) {
        if (image.Height() < Height) {
            reject("\"" + std::string(file) + "\" is lower than \"background.bmp\"");
        }
        if (image.Width() < width) {
            reject("\"" + std::string(file) + "\" is narrower than the " + std::to_string(width) +
                   " pixels its parts need");
        }
    };
    fits(a.Image, "arrows.bmp",
         int64_t{a.MoveBarWidth} + a.SizeBarWidth +
             3 * (int64_t{a.LeftArrowWidth} + a.RightArrowWidth + a.FirstArrowWidth +
                  a.LastArrowWidth + a.DropdownWidth));
    fits(MenuButton.Image, "menubutton.bmp", 3 * int64_t{MenuButton.Width});
    fits(Button.Image, "button.bmp", 3 * int64_t{Button.Width});
}

}  // namespace quobel
