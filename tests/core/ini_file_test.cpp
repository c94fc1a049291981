#include "core/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/error.h"
#include "core/file_util.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

TIniFile IniWith(const TempFolder& folder, const std::string& text) {
    const std::string path = folder.File("test.ini");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    return TIniFile(path);
}

struct ReadCase {
    const char* name;
    const char* fileText;
    const char* section;
    const char* key;
    const char* expected;
};

TEST(IniFile, ReadsValuesByTheProfileConventions) {
    const ReadCase cases[] = {
        {"plain", "[A]\r\nk=v\r\n", "A", "k", "v"},
        {"section case", "[General]\r\nk=v\r\n", "gENERAL", "k", "v"},
        {"key case", "[A]\r\nKeyName=v\r\n", "A", "KEYNAME", "v"},
        {"blanks trimmed", "[A]\r\nk=   v w  \r\n", "A", "k", "v w"},
        {"blanks around key", "[A]\r\n  k  =v\r\n", "A", "k", "v"},
        {"double quotes", "[A]\r\nk=\" x \"\r\n", "A", "k", " x "},
        {"single quotes", "[A]\r\nk='x'\r\n", "A", "k", "x"},
        {"unmatched quotes kept", "[A]\r\nk=\"x'\r\n", "A", "k", "\"x'"},
        {"one quote kept", "[A]\r\nk=\"\r\n", "A", "k", "\""},
        {"LF line ends", "[A]\nk=v\nj=w\n", "A", "j", "w"},
        {"equals in value", "[A]\nk=a=b\n", "A", "k", "a=b"},
        {"first of duplicates", "[A]\nk=1\nk=2\n", "A", "k", "1"},
        {"missing key", "[A]\nk=1\n", "A", "x", "<default>"},
        {"missing section", "[A]\nk=1\n", "B", "k", "<default>"},
        {"other section's key", "[A]\nk=1\n[B]\nj=2\n", "A", "j", "<default>"},
        {"no final line end", "[A]\r\nk=v", "A", "k", "v"},
        {"empty value", "[A]\r\nk=\r\n", "A", "k", ""},
    };
    const TempFolder folder;
    for (const ReadCase& c : cases) {
        const TIniFile ini = IniWith(folder, c.fileText);
        EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected) << c.name;
    }
}

TEST(IniFile, CutsValuesAt2047Characters) {
    const TempFolder folder;
    const TIniFile ini = IniWith(folder, "[A]\r\nk=" + std::string(3000, 'x') + "\r\n");
    EXPECT_EQ(ini.ReadString("A", "k", "").size(), 2047u);
}

struct IntegerCase {
    const char* value;
    int32_t expected;
};

TEST(IniFile, ReadsIntegersAndBooleans) {
    const IntegerCase cases[] = {
        {"10", 10},
        {"-5", -5},
        {"+7", 7},
        {"0x0A", 10},
        {"0X1f", 31},
        {"0xFFFFFFFF", -1},
        {"0x", -99},
        {"0x1G", -99},
        {"0x100000000", -99},
        {"ten", -99},
        {"", -99},
        {"12abc", -99},
        {"2147483647", 2147483647},
        {"2147483648", -99},
        {"-2147483648", INT32_MIN},
        {"-2147483640", -2147483640},
        {"  42  ", 42},
        {"'3'", 3},
    };
    const TempFolder folder;
    for (const IntegerCase& c : cases) {
        const TIniFile ini = IniWith(folder, std::string("[A]\r\nk=") + c.value + "\r\n");
        EXPECT_EQ(ini.ReadInteger("A", "k", -99), c.expected) << "value '" << c.value << "'";
    }
    const TIniFile ini = IniWith(folder, "[General]\nCheck=2\nSound=0\nEmpty=\nWord=yes\n");
    EXPECT_TRUE(ini.ReadBool("General", "Check", false));
    EXPECT_FALSE(ini.ReadBool("General", "Sound", true));
    EXPECT_TRUE(ini.ReadBool("General", "Empty", true));
    EXPECT_FALSE(ini.ReadBool("General", "Word", false));
}

TEST(IniFile, WritesKeepFileOrderAndAppendNewKeysToTheirSection) {
    const TempFolder folder;
    TIniFile ini = IniWith(folder, "; note\r\n[One]\r\na=1\r\nb=2\r\n\r\n[Two]\nc=3\n");
    ini.WriteString("ONE", "B", "20");
    ini.WriteString("One", "new", "x");
    ini.WriteInteger("Three", "n", -7);
    ini.WriteBool("Two", "flag", true);
    const std::string expected =
        "; "
        "note\r\n[One]\r\na=1\r\nb=20\r\nnew=x\r\n\r\n[Two]\r\nc=3\r\nflag=1\r\n[Three]\r\nn=-"
        "7\r\n";
    std::string onDisk;
    ASSERT_TRUE(ReadWholeFile(ini.FileName(), onDisk));
    EXPECT_EQ(onDisk, expected);
    const TIniFile reread(ini.FileName());
    EXPECT_EQ(reread.ReadInteger("three", "N", 0), -7);
}

TEST(IniFile, SectionsNoWriteTouchesAreWrittenBackInCrLfLines) {
    const TempFolder folder;
    TIniFile ini = IniWith(folder, "[Keep]\nx=1\n; kept\n\n[Edit]\r\ny=2\n[Last]\nz=\"3\"");
    ini.WriteString("Edit", "y", "20");
    std::string onDisk;
    ASSERT_TRUE(ReadWholeFile(ini.FileName(), onDisk));
    EXPECT_EQ(onDisk, "[Keep]\r\nx=1\r\n; kept\r\n\r\n[Edit]\r\ny=20\r\n[Last]\r\nz=\"3\"\r\n");
    EXPECT_EQ(ini.ReadString("last", "Z", ""), "3");
    EXPECT_EQ(ini.ReadSection("Keep"), std::vector<std::string>{"x"});
}

TEST(IniFile, ListsAndErasesSections) {
    const TempFolder folder;
    TIniFile ini = IniWith(folder, "[A]\nx=1\n[UIDL]\nK1=1\n k2 =1\nnot a key\nk3=1\n[B]\ny=2\n");
    EXPECT_EQ(ini.ReadSection("uidl"), (std::vector<std::string>{"K1", "k2", "k3"}));
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"A", "UIDL", "B"}));
    ini.EraseSection("UIdl");
    EXPECT_FALSE(ini.SectionExists("UIDL"));
    EXPECT_EQ(ini.ReadString("B", "y", ""), "2");
    std::string onDisk;
    ASSERT_TRUE(ReadWholeFile(ini.FileName(), onDisk));
    EXPECT_EQ(onDisk, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
}

TEST(IniFile, ReplacingASectionWritesWhatErasingAndWritingEachKeyWould) {
    const std::string text = "[UIDL]\nold=1\n[A]\nx=1\n";
    const std::vector<std::vector<std::string>> cases = {
        {"k1", "k2"},
        {"Key", "key", "KEY", "other"},  // keys compare without regard to case
        {" padded ", "padded", "a=b", ""},
        {},
    };
    for (const auto& keys : cases) {
        const TempFolder folder;
        TIniFile expected = IniWith(folder, text);
        {
            TIniFile::Batch batch(expected);
            expected.EraseSection("uidl");
            for (const std::string& key : keys) {
                expected.WriteString("UIDL", key, "1");
            }
        }
        const TempFolder other;
        TIniFile replaced = IniWith(other, text);
        replaced.ReplaceSection("UIDL", keys, "1");
        EXPECT_EQ(replaced.Text(), expected.Text()) << keys.size();
        std::string onDisk;
        ASSERT_TRUE(ReadWholeFile(replaced.FileName(), onDisk));
        EXPECT_EQ(onDisk, replaced.Text());
        EXPECT_EQ(replaced.ReadSection("UIDL"), expected.ReadSection("UIDL"));
        EXPECT_EQ(replaced.ReadString("UIDL", "KEY", "none"),
                  expected.ReadString("UIDL", "KEY", "none"));
    }
}

TEST(IniFile, ListsManyKeysWithoutLimit) {
    const TempFolder folder;
    TIniFile ini(folder.File("many.ini"));
    {
        TIniFile::Batch batch(ini);
        for (int i = 0; i < 1000; ++i) {
            ini.WriteString("UIDL", std::to_string(1000000 + i), "1");
        }
    }
    const TIniFile reread(ini.FileName());
    const auto keys = reread.ReadSection("UIDL");
    ASSERT_EQ(keys.size(), 1000u);
    EXPECT_EQ(keys.front(), "1000000");
    EXPECT_EQ(keys.back(), "1000999");
}

TEST(IniFile, WritesNothingUntilTheOutermostBatchEnds) {
    const TempFolder folder;
    TIniFile ini(folder.File("batch.ini"));
    {
        TIniFile::Batch outer(ini);
        {
            TIniFile::Batch inner(ini);
            ini.WriteString("A", "k", "v");
        }
        EXPECT_FALSE(FileExists(ini.FileName()));
    }
    EXPECT_TRUE(FileExists(ini.FileName()));
}

ino_t InodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A write that leaves the text as the file holds it does not replace the file (which would
// cost a sync); a change, a file gone meanwhile or a fresh start does.
TEST(IniFile, WritesThatChangeNothingLeaveTheFileAlone) {
    const TempFolder folder;
    TIniFile ini = IniWith(folder, "[A]\r\nk=v\r\n");
    const ino_t before = InodeOf(ini.FileName());
    ini.WriteString("A", "k", "v");
    {
        TIniFile::Batch batch(ini);
        ini.EraseSection("A");
        ini.WriteString("A", "k", "v");
    }
    EXPECT_EQ(InodeOf(ini.FileName()), before);
    ini.WriteString("A", "k", "w");
    EXPECT_NE(InodeOf(ini.FileName()), before);
    EXPECT_EQ(TIniFile(ini.FileName()).ReadString("A", "k", ""), "w");

    ASSERT_TRUE(DeleteFileIfExists(ini.FileName()));
    ini.WriteString("A", "k", "w");
    EXPECT_TRUE(FileExists(ini.FileName()));

    TIniFile fresh(ini.FileName(), TIniFile::StartEmpty{});
    fresh.WriteString("A", "k", "w");
    EXPECT_EQ(TIniFile(ini.FileName()).ReadString("A", "k", ""), "w");
    TIniFile empty(ini.FileName(), TIniFile::StartEmpty{});
    empty.EraseSection("B");
    {
        TIniFile::Batch batch(empty);
        empty.WriteString("A", "k", "w");
        empty.EraseSection("A");
    }
    EXPECT_FALSE(TIniFile(ini.FileName()).ValueExists("A", "k"));
}

TEST(IniFile, WrittenFilesArePrivate) {
    const TempFolder folder;
    TIniFile ini(folder.File("private.ini"));
    ini.WriteString("A", "k", "v");
    struct stat info {};
    ASSERT_EQ(::stat(ini.FileName().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(IniFile, RefusedWriteRaisesAndLeavesTheOldFileIntact) {
    const TempFolder folder;
    TIniFile ini = IniWith(folder, "[A]\r\nk=old\r\n");
    // A folder in the way of the temporary file makes the write fail part-way.
    ASSERT_EQ(::mkdir((ini.FileName() + ".tmp~").c_str(), 0700), 0);
    try {
        ini.WriteString("A", "k", "new");
        FAIL() << "the write should have been refused";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + ini.FileName());
    }
    std::string onDisk;
    ASSERT_TRUE(ReadWholeFile(ini.FileName(), onDisk));
    EXPECT_EQ(onDisk, "[A]\r\nk=old\r\n");

    TIniFile nowhere(folder.File("missing-folder/x.ini"));
    EXPECT_THROW(nowhere.WriteString("A", "k", "v"), Error);
}

}  // namespace
}  // namespace quobel
