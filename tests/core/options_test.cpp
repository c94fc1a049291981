#include "core/options.h"

#include <gtest/gtest.h>

#include "core/settings_table.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

TEST(Options, NestedOpenCloseShareOneIniObject) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    options.Open();
    TIniFile* first = &options.Ini();
    options.Open();
    EXPECT_EQ(&options.Ini(), first);
    options.Close();
    EXPECT_EQ(&options.Ini(), first);
    EXPECT_EQ(options.OpenCount(), 1);
    options.Close();
    EXPECT_EQ(options.OpenCount(), 0);
}

TEST(Options, EveryWriteIsOnDiskAndSeenByTheNextOpen) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    {
        OptionsScope scope(options);
        scope.Ini().WriteInteger("General", "Interval", 12);
        const TIniFile other(options.FileName());
        EXPECT_EQ(other.ReadInteger("General", "Interval", 5), 12);
    }
    OptionsScope again(options);
    EXPECT_EQ(again.Ini().ReadInteger("General", "Interval", 5), 12);
}

TEST(Options, FontRoundTripKeepsEveryStyle) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    TFontRecord defaults;
    options.ReadFont(settings::kReaderFont, defaults);
    EXPECT_EQ(defaults, TFontRecord{});
    EXPECT_EQ(defaults.Color, 0x80000008u);

    const TFontRecord fonts[] = {
        {"DejaVu Sans", 11, 0x00FF0000u, true, false, false, true},
        {"Mono", 9, 0x80000008u, false, true, true, false},
    };
    for (const TFontRecord& font : fonts) {
        options.WriteFont(settings::kReaderFont, font);
        TFontRecord read;
        options.ReadFont(settings::kReaderFont, read);
        EXPECT_EQ(read, font);
    }
    OptionsScope scope(options);
    EXPECT_TRUE(scope.Ini().ValueExists("Reader.Font", "Style.Striktrough"));
    EXPECT_EQ(scope.Ini().ReadString("Reader.Font", "Color", ""), "-2147483640");
}

TEST(Options, SettingsTableHasTheDefaultsTheSystemApplies) {
    struct Expected {
        const char* section;
        const char* key;
        std::optional<int32_t> value;
    };
    const Expected expected[] = {
        {"General", "Check", 1},
        {"General", "Interval", 5},
        {"General", "Sound", 0},
        {"Reader", "NewWindow", 1},
        {"Bar", "Visible", 1},
        {"Bar", "AutoHide", 0},
        {"Bar", "ButtonWidth", 150},
        {"Bar", "ScrollTime", 5},
        {"Bar", "Edge", 5},
        {"View", "ReaderHeight", 196},
        {"View", "ContactsHeight", 123},
        {"Confirmations", "Delete", 1},
        {"MsgList", "State", std::nullopt},
    };
    for (const Expected& e : expected) {
        bool found = false;
        for (const SettingKey& key : SettingsTable()) {
            if (key.Section == e.section && key.Key == e.key) {
                found = true;
                EXPECT_EQ(key.IntegerDefault, e.value) << e.section << "/" << e.key;
            }
        }
        EXPECT_TRUE(found) << e.section << "/" << e.key;
    }
}

}  // namespace
}  // namespace quobel
