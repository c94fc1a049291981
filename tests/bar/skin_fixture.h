#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "bmp_writer.h"
#include "support/temp_folder.h"

namespace quobel::test {

using TTempDir = quobel::testing::TempFolder;

inline void WriteFile(const std::string& path, const std::string& contents) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

// The skin.ini of a small sound skin 20 pixels high: move bar 6, size bar 6, arrows 10,
// drop-down 12, menu button 20, message button 30 with borders 4.
inline std::string SoundSkinIni() {
    return "[Arrows]\r\nMoveBar.Width=6\r\nSizeBar.Width=6\r\nLeftArrow.Width=10\r\n"
           "RightArrow.Width=10\r\nFirstArrow.Width=10\r\nLastArrow.Width=10\r\n"
           "Dropdown.Width=12\r\n[MenuButton]\r\nWidth=20\r\n[Button]\r\nWidth=30\r\n"
           "Border.Left=4\r\nBorder.Right=4\r\nBorder.Top=2\r\nBorder.Bottom=3\r\n"
           "Font.Name=DejaVu Sans\r\nFont.Size=9\r\nFont.Color=255 255 255\r\nFont.Bold=1\r\n"
           "[Error]\r\nWidth=16\r\n"
           "[Menu]\r\nBorder.Color=1 2 3\r\nSeperator.Color=4 5 6\r\nNormal.Color=7 8 9\r\n"
           "Normal.BorderColor=10 11 12\r\nSelected.Color=13 14 15\r\n"
           "Selected.BorderColor=16 17 18\r\nSelected.Font.Italic=1\r\n"
           "Disabled.Font.Color=128 128 128\r\n";
}

// Writes a sound skin into folder/name (bitmaps wide enough for the ini above).
inline std::string WriteSoundSkin(const std::string& folder, const std::string& name,
                                  const std::string& ini = SoundSkinIni()) {
    const std::string path = folder + "/" + name;
    WriteFile(path + "/skin.ini", ini);
    WriteFile(path + "/background.bmp", SolidBmp(8, 20, 0x202020));
    WriteFile(path + "/arrows.bmp", SolidBmp(6 + 6 + 3 * (40 + 12), 20, 0x404040));
    WriteFile(path + "/menubutton.bmp", SolidBmp(60, 20, 0x606060));
    WriteFile(path + "/button.bmp", SolidBmp(90, 20, 0x808080));
    WriteFile(path + "/error.bmp", SolidBmp(16, 20, 0xA0A0A0));
    return path;
}

}  // namespace quobel::test
