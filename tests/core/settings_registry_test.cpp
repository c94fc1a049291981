#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "core/options.h"
#include "core/settings_table.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

// A read or write of an INI file whose section is a string literal: settings are read through
// the registry's key objects instead.
const std::regex kLiteralSectionCall(R"re(\b(Read|Write)(String|Integer|Bool|Font)\s*\(\s*")re");

// Files that read or write INI files other than the settings file (account, skin and mailbox
// files), and the registry itself.
bool ReadsOtherIniFiles(const std::string& relative) {
    const char* const others[] = {
        "src/accounts/",        "src/retrieval/",     "src/store/",
        "src/bar/skin.cpp",     "src/core/ini_file.", "src/core/settings_table.",
        "src/core/options.cpp",
    };
    for (const char* other : others) {
        if (relative.starts_with(other)) {
            return true;
        }
    }
    return false;
}

std::regex LiteralKeyPattern(const SettingKey& key) {
    // "Section", "Key" with any spacing; the names hold letters, digits and dots only.
    const auto escape = [](std::string_view name) {
        return std::regex_replace(std::string(name), std::regex(R"(\.)"), R"(\.)");
    };
    if (key.Key.empty()) {
        return std::regex("\"" + escape(key.Section) + "\"");
    }
    return std::regex("\"" + escape(key.Section) + "\"\\s*,\\s*\"" + escape(key.Key) + "\"",
                      std::regex::icase);
}

// The code of a source file without its comments, which may name settings freely.
std::string WithoutComments(const std::string& text) {
    std::string code;
    code.reserve(text.size());
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            code += c;
            if (c == '\\' && i + 1 < text.size()) {
                code += text[++i];
            } else if (c == quote) {
                quote = 0;
            }
        } else if (text.compare(i, 2, "//") == 0) {
            i = std::min(text.find('\n', i), text.size()) - 1;
        } else if (text.compare(i, 2, "/*") == 0) {
            i = std::min(text.find("*/", i + 2), text.size() - 2) + 1;
        } else {
            quote = c == '"' || c == '\'' ? c : 0;
            code += c;
        }
    }
    return code;
}

struct SourceFile {
    std::string relative;
    std::string text;
};

std::vector<SourceFile> ProgramSources() {
    const fs::path root(QUOBEL_SOURCE_DIR);
    std::vector<SourceFile> files;
    for (const char* folder : {"src", "tools"}) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / folder)) {
            const fs::path& path = entry.path();
            if (!entry.is_regular_file() ||
                (path.extension() != ".cpp" && path.extension() != ".h")) {
                continue;
            }
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            files.push_back(
                {fs::relative(path, root).generic_string(), WithoutComments(text.str())});
        }
    }
    return files;
}

TEST(SettingsRegistry, TheRuleFindsLiteralSettingsWhereverTheyAreWritten) {
    struct Case {
        const char* code;
        bool literalCall;  // caught by the call rule
        bool namesKey;     // caught by the "Bar", "Visible" key rule
    };
    const Case cases[] = {
        {R"(scope.Ini().ReadBool("Bar", "Visible", true))", true, true},
        {R"(ini.WriteInteger( "Bar","Edge", 5))", true, false},
        {R"(ini.ReadString ("General", "SoundFile", ""))", true, false},
        {R"(options.ReadFont("Reader.Font", font))", true, false},
        {R"(const Key k{"bar",   "visible", true};)", false, true},
        {R"(scope.Read(settings::kBarVisible))", false, false},
        {R"(ini.ReadBool(section, "Visible", true))", false, false},
        {R"(// kept in "Bar"/"Visible")", false, false},
    };
    const SettingKey visible{"Bar", "Visible", SettingType::Boolean, 1, {}, std::nullopt};
    for (const Case& c : cases) {
        EXPECT_EQ(std::regex_search(c.code, kLiteralSectionCall), c.literalCall) << c.code;
        EXPECT_EQ(std::regex_search(c.code, LiteralKeyPattern(visible)), c.namesKey) << c.code;
    }
}

TEST(SettingsRegistry, CommentsAreLeftOutOfTheScanButStringsAreKept) {
    struct Case {
        const char* text;
        const char* code;
    };
    const Case cases[] = {
        {"a(); // \"Bar\", \"Visible\"\nb();", "a(); \nb();"},
        {"a(/* \"Bar\" */ 1);", "a( 1);"},
        {"s = \"http://host\"; // note", "s = \"http://host\"; "},
        {"s = \"a\\\"//b\";", "s = \"a\\\"//b\";"},
        {"c = '\"'; ReadBool(\"X\", \"Y\", 1);", "c = '\"'; ReadBool(\"X\", \"Y\", 1);"},
        {"/* never closed", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithoutComments(c.text), c.code) << c.text;
    }
}

TEST(SettingsRegistry, SettingsAreNamedOnlyInTheRegistry) {
    const std::vector<SourceFile> files = ProgramSources();
    ASSERT_GT(files.size(), 50u);
    for (const SourceFile& file : files) {
        if (!ReadsOtherIniFiles(file.relative)) {
            EXPECT_FALSE(std::regex_search(file.text, kLiteralSectionCall))
                << file.relative << " reads or writes a setting by its name";
        }
        if (file.relative.starts_with("src/core/settings_table.")) {
            continue;
        }
        for (const SettingKey& key : SettingsTable()) {
            EXPECT_FALSE(std::regex_search(file.text, LiteralKeyPattern(key)))
                << file.relative << " names " << key.Section << "/" << key.Key;
        }
    }
}

TEST(SettingsRegistry, KeysReadTheirDefaultOrFallbackAndWhatWasWritten) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    // Missing keys: the declared default; the dialog's twin of a key reads its own default.
    EXPECT_TRUE(options.Read(settings::kNewWindow));
    EXPECT_FALSE(options.Read(settings::kNewWindowInDialog));
    EXPECT_FALSE(options.Read(settings::kBarAutoHide));
    EXPECT_TRUE(options.Read(settings::kBarAutoHideInDialog));
    EXPECT_EQ(options.Read(settings::kInterval), 5);
    EXPECT_EQ(options.Read(settings::kInterval, 9), 9);
    EXPECT_EQ(options.Read(settings::kBarLeft, -40), -40);
    EXPECT_EQ(options.Read(settings::kSoundFile), "");
    EXPECT_EQ(options.OpenCount(), 0);

    // Written keys: both twins read what was written, whatever their default.
    options.Write(settings::kNewWindow, false);
    options.Write(settings::kBarAutoHideInDialog, false);
    options.Write(settings::kInterval, 12);
    options.Write(settings::kBarLeft, 300);
    options.Write(settings::kSoundFile, std::string("/tmp/ding.wav"));
    EXPECT_FALSE(options.Read(settings::kNewWindow));
    EXPECT_FALSE(options.Read(settings::kNewWindowInDialog));
    EXPECT_FALSE(options.Read(settings::kBarAutoHide));
    EXPECT_EQ(options.Read(settings::kInterval, 9), 12);
    EXPECT_EQ(options.Read(settings::kBarLeft, -40), 300);
    EXPECT_EQ(options.Read(settings::kSoundFile), "/tmp/ding.wav");

    // The file holds the names the program has always used.
    const TIniFile ini(options.FileName());
    EXPECT_EQ(ini.ReadString("Reader", "NewWindow", ""), "0");
    EXPECT_EQ(ini.ReadString("Bar", "AutoHide", ""), "0");
    EXPECT_EQ(ini.ReadString("General", "Interval", ""), "12");
    EXPECT_EQ(ini.ReadString("Bar", "Left", ""), "300");
    EXPECT_EQ(ini.ReadString("General", "SoundFile", ""), "/tmp/ding.wav");
}

TEST(SettingsRegistry, AnIntervalBelowOneMinuteReadsAsOneMinute) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    struct Case {
        const char* stored;
        int32_t read;
    };
    for (const Case& c : {Case{"0", 1}, Case{"-5", 1}, Case{"1", 1}, Case{"7", 7}, Case{"x", 5}}) {
        {
            TIniFile ini(options.FileName());
            ini.WriteString("General", "Interval", c.stored);
        }
        EXPECT_EQ(options.Read(settings::kInterval), c.read) << c.stored;
        EXPECT_EQ(options.Read(settings::kInterval, 0), c.read == 5 ? 1 : c.read) << c.stored;
    }
    // The registry says so too, and of no other key.
    std::vector<std::string> bounded;
    for (const SettingKey& key : SettingsTable()) {
        if (key.IntegerMinimum) {
            EXPECT_EQ(*key.IntegerMinimum, 1);
            bounded.push_back(std::string(key.Section) + "/" + std::string(key.Key));
        }
    }
    EXPECT_EQ(bounded, (std::vector<std::string>{"General/Interval"}));
}

TEST(SettingsRegistry, AWriteInsideABatchJoinsIt) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    OptionsScope scope(options);
    {
        TIniFile::Batch batch(scope.Ini());
        scope.Write(settings::kBarEdge, 2);
        const TIniFile onDisk(options.FileName());
        EXPECT_FALSE(onDisk.ValueExists("Bar", "Edge"));
        EXPECT_EQ(scope.Read(settings::kBarEdge), 2);
    }
    const TIniFile onDisk(options.FileName());
    EXPECT_EQ(onDisk.ReadInteger("Bar", "Edge", 5), 2);
}

TEST(SettingsRegistry, OnlyTheTwoDialogKeysHaveASecondDefault) {
    std::vector<std::string> twins;
    for (const SettingKey& key : SettingsTable()) {
        if (key.DialogDefault) {
            EXPECT_NE(key.DialogDefault, key.IntegerDefault) << key.Section << "/" << key.Key;
            twins.push_back(std::string(key.Section) + "/" + std::string(key.Key));
        }
    }
    EXPECT_EQ(twins, (std::vector<std::string>{"Reader/NewWindow", "Bar/AutoHide"}));
}

}  // namespace
}  // namespace quobel
