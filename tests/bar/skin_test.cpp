#include "bar/skin.h"

#include <gtest/gtest.h>

#include "bar/skins.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/options.h"
#include "skin_fixture.h"

namespace quobel {
namespace {

using test::SolidBmp;
using test::TTempDir;
using test::WriteFile;
using test::WriteSoundSkin;

std::string LoadError(TSkin& skin) {
    try {
        skin.Load();
    } catch (const Error& error) {
        return error.what();
    }
    return "";
}

TEST(SkinColor, ParsesThreeNumbersModulo256) {
    struct Case {
        const char* text;
        uint32_t color;
    };
    const Case good[] = {
        {"255 0 0", 0x0000FF},   {"256 0 0", 0x000000}, {"0 0 0 9", 0x000000},
        {"255 128 0", 0x0080FF}, {"0 0 255", 0xFF0000}, {"-1 0x10 0", 0x0010FF},
    };
    for (const Case& c : good) {
        EXPECT_EQ(ParseSkinColor(c.text), c.color) << c.text;
    }
    for (const char* bad : {"0  0 0", "a 0 0", "0 0 ", "", "0 0", "255"}) {
        EXPECT_THROW(ParseSkinColor(bad), Error) << "'" << bad << "'";
    }
    try {
        ParseSkinColor("0  0 0");
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "'' is not a valid integer value");
    }
}

TEST(SkinLoad, ReadsEveryValueOfASoundSkin) {
    TTempDir dir;
    TSkin skin("Sound", WriteSoundSkin(dir.Path(), "Sound"));
    skin.Load();
    ASSERT_TRUE(skin.Loaded());
    EXPECT_EQ(skin.Height, 20);
    EXPECT_EQ(skin.Background.Width(), 8);
    EXPECT_EQ(skin.Arrows.MoveBarWidth, 6);
    EXPECT_EQ(skin.Arrows.DropdownWidth, 12);
    EXPECT_EQ(skin.MenuButton.Width, 20);
    EXPECT_EQ(skin.Button.Width, 30);
    EXPECT_EQ(skin.Button.BorderBottom, 3);
    EXPECT_EQ(skin.Button.Font.Name, "DejaVu Sans");
    EXPECT_EQ(skin.Button.Font.Size, 9);
    EXPECT_EQ(skin.Button.Font.Color, 0xFFFFFFu);
    EXPECT_TRUE(skin.Button.Font.Bold);
    EXPECT_EQ(skin.Error.Width, 16);
    EXPECT_EQ(skin.Menu.BorderColor, 0x030201u);
    EXPECT_EQ(skin.Menu.SeparatorColor, 0x060504u);
    EXPECT_EQ(skin.Menu.SelectedBorderColor, 0x121110u);
    EXPECT_TRUE(skin.Menu.SelectedFont.Italic);
    EXPECT_EQ(skin.Menu.DisabledFont.Color, 0x808080u);
    EXPECT_EQ(skin.Menu.DisabledFont.Name, "Tahoma");

    skin.Unload();
    EXPECT_FALSE(skin.Loaded());
    EXPECT_TRUE(skin.Background.Empty());
    EXPECT_EQ(skin.Name, "Sound");
}

TEST(SkinLoad, WithoutMenuSectionMenusAreBlackTahoma) {
    TTempDir dir;
    std::string ini = test::SoundSkinIni();
    ini.erase(ini.find("[Menu]"));
    TSkin skin("NoMenu", WriteSoundSkin(dir.Path(), "NoMenu", ini));
    skin.Load();
    for (const uint32_t color : {skin.Menu.BorderColor, skin.Menu.SeparatorColor,
                                 skin.Menu.NormalColor, skin.Menu.SelectedColor}) {
        EXPECT_EQ(color, 0u);
    }
    for (const TFontRecord* font :
         {&skin.Menu.NormalFont, &skin.Menu.SelectedFont, &skin.Menu.DisabledFont}) {
        EXPECT_EQ(font->Name, "Tahoma");
        EXPECT_EQ(font->Size, 10);
        EXPECT_EQ(font->Color, 0u);
        EXPECT_FALSE(font->Bold || font->Italic || font->Underline || font->StrikeOut);
    }
}

// Each case breaks one thing of a sound skin; the load fails with a text naming it and the skin
// stays unloaded.
TEST(SkinLoad, FailuresNameTheFaultAndLeaveTheSkinUnloaded) {
    struct Case {
        const char* name;
        std::function<void(const std::string&)> breakIt;
        const char* text;  // expected text, or a part of it
    };
    const auto replaceIni = [](const char* from, const char* to) {
        return [from, to](const std::string& path) {
            std::string ini = test::SoundSkinIni();
            ini.replace(ini.find(from), std::string(from).size(), to);
            WriteFile(path + "/skin.ini", ini);
        };
    };
    const Case cases[] = {
        {"no skin.ini", [](const std::string& p) { DeleteFileIfExists(p + "/skin.ini"); },
         "The specified skin does not exist!"},
        {"missing bitmap", [](const std::string& p) { DeleteFileIfExists(p + "/button.bmp"); },
         "Cannot open file"},
        {"unreadable bitmap", [](const std::string& p) { WriteFile(p + "/arrows.bmp", "BMxx"); },
         "Bitmap image is not valid"},
        {"empty colour piece", replaceIni("Normal.Color=7 8 9", "Normal.Color=7  9"),
         "'' is not a valid integer value"},
        {"colour with two pieces", replaceIni("Normal.Color=7 8 9", "Normal.Color=7 8"),
         "three numbers"},
        {"font colour not a number", replaceIni("Font.Color=255 255 255", "Font.Color=white 0 0"),
         "'white' is not a valid integer value"},
        {"background 0 wide",
         [](const std::string& p) { WriteFile(p + "/background.bmp", SolidBmp(0, 20)); },
         "\"background.bmp\" has no pixels"},
        {"button middle 0 wide", replaceIni("Border.Right=4", "Border.Right=26"), "no middle"},
        {"negative width", replaceIni("LeftArrow.Width=10", "LeftArrow.Width=-10"),
         "a width of -10 pixels"},
        {"arrows lower than the background",
         [](const std::string& p) { WriteFile(p + "/arrows.bmp", SolidBmp(168, 19)); },
         "\"arrows.bmp\" is lower"},
        {"menu button strip too narrow",
         [](const std::string& p) { WriteFile(p + "/menubutton.bmp", SolidBmp(59, 20)); },
         "\"menubutton.bmp\" is narrower than the 60 pixels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTempDir dir;
        const std::string path = WriteSoundSkin(dir.Path(), "Broken");
        c.breakIt(path);
        TSkin skin("Broken", path);
        const std::string error = LoadError(skin);
        EXPECT_NE(error.find(c.text), std::string::npos) << error;
        EXPECT_FALSE(skin.Loaded());
        EXPECT_TRUE(skin.Background.Empty());
    }
}

TEST(ShippedSkins, EveryOneLoadsAndTheyLookDifferent) {
    TTempDir dir;
    TOptions options(dir.Path() + "/settings.ini");
    TSkins skins(options);
    skins.LoadFromFolder(std::string(QUOBEL_SOURCE_DIR) + "/skins");
    ASSERT_GE(skins.Count(), 3);
    std::vector<uint32_t> backgrounds;
    bool light = false;
    bool dark = false;
    for (int i = 0; i < skins.Count(); ++i) {
        TSkin& skin = skins.Items(i);
        SCOPED_TRACE(skin.Name);
        ASSERT_NO_THROW(skin.Load());
        const uint32_t pixel = skin.Background.Pixel(0, skin.Height / 2);
        const uint32_t sum = (pixel & 0xFF) + (pixel >> 8 & 0xFF) + (pixel >> 16 & 0xFF);
        light = light || sum > 3 * 160;
        dark = dark || sum < 3 * 96;
        EXPECT_EQ(std::count(backgrounds.begin(), backgrounds.end(), pixel), 0);
        backgrounds.push_back(pixel);
        skin.Unload();
    }
    EXPECT_TRUE(light);
    EXPECT_TRUE(dark);
}

class SkinsTest : public ::testing::Test {
  protected:
    SkinsTest() : options(dir.Path() + "/settings.ini"), skins(options) {}

    std::string SettingsText() {
        std::string text;
        ReadWholeFile(dir.Path() + "/settings.ini", text);
        return text;
    }
    void StoreSkinName(const std::string& name) {
        OptionsScope scope(options);
        scope.Ini().WriteString("Bar", "Skin", name);
    }
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (int i = 0; i < skins.Count(); ++i) {
            names.push_back(skins.Items(i).Name);
        }
        return names;
    }

    TTempDir dir;
    TOptions options;
    TSkins skins;
    std::string folder = dir.Path() + "/skins";
};

TEST_F(SkinsTest, ListsNamesWithoutExtensionAndSelectsTheFirst) {
    WriteSoundSkin(folder, "Sunset");
    WriteSoundSkin(folder, "aurora");
    WriteSoundSkin(folder, "Blue.Steel");
    WriteSoundSkin(folder, ".hidden");
    WriteFile(folder + "/README", "a plain file without an extension");
    WriteFile(folder + "/notes.txt", "not listed");

    skins.LoadFromFolder(folder);
    EXPECT_EQ(Names(), (std::vector<std::string>{"aurora", "README", "Sunset"}));
    ASSERT_NE(skins.Current(), nullptr);
    EXPECT_EQ(skins.Current()->Name, "aurora");
    EXPECT_EQ(skins.Current()->Path, folder + "/aurora");
    EXPECT_EQ(SettingsText(), "");  // nothing written until the user chooses

    EXPECT_EQ(LoadError(skins.Items(1)), "The specified skin does not exist!");
}

TEST_F(SkinsTest, StoredNameMustMatchExactly) {
    WriteSoundSkin(folder, "Sunset");
    WriteSoundSkin(folder, "Aurora");
    StoreSkinName("Sunset");
    skins.LoadFromFolder(folder);
    ASSERT_NE(skins.Current(), nullptr);
    EXPECT_EQ(skins.Current()->Name, "Sunset");

    TSkins other(options);
    StoreSkinName("sunset");
    other.LoadFromFolder(folder);
    EXPECT_EQ(other.Current(), nullptr);
}

TEST_F(SkinsTest, EmptyOrMissingFolderGivesAnEmptyList) {
    skins.LoadFromFolder(folder);
    EXPECT_EQ(skins.Count(), 0);
    EXPECT_EQ(skins.Current(), nullptr);
}

TEST_F(SkinsTest, SetCurrentWritesOnlyAChange) {
    WriteSoundSkin(folder, "Aurora");
    WriteSoundSkin(folder, "Sunset");
    skins.LoadFromFolder(folder);
    skins.SetCurrent(skins.Current());
    EXPECT_EQ(SettingsText(), "");
    skins.SetCurrent(&skins.Items(1));
    EXPECT_EQ(skins.Current()->Name, "Sunset");
    EXPECT_EQ(SettingsText(), "[Bar]\r\nSkin=Sunset\r\n");
}

TEST_F(SkinsTest, FallsBackToTheFirstSkinThatLoads) {
    WriteSoundSkin(folder, "Aurora");
    WriteSoundSkin(folder, "Broken");
    WriteSoundSkin(folder, "Sunset");
    DeleteFileIfExists(folder + "/Aurora/error.bmp");
    DeleteFileIfExists(folder + "/Broken/skin.ini");
    StoreSkinName("Broken");
    skins.LoadFromFolder(folder);

    std::vector<std::string> failures;
    TSkin* loaded = skins.LoadFirstUsable(skins.Current(), &failures);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->Name, "Sunset");
    EXPECT_TRUE(loaded->Loaded());
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0], "Skin \"Broken\": The specified skin does not exist!");
    EXPECT_EQ(failures[1].rfind("Skin \"Aurora\": Cannot open file", 0), 0u);
    EXPECT_EQ(skins.Current()->Name, "Broken");  // the user's choice stays

    DeleteFileIfExists(folder + "/Sunset/skin.ini");
    loaded->Unload();
    EXPECT_EQ(skins.LoadFirstUsable(nullptr), nullptr);
}

}  // namespace
}  // namespace quobel
