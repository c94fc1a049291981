#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <regex>
#include <set>

#include "core/app.h"
#include "core/date_time.h"
#include "core/file_util.h"
#include "core/format_size.h"
#include "core/unique_file_name.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

TEST(FormatSize, FollowsTheUnitsAndRounding) {
    struct Case {
        int32_t value;
        bool bare;
        const char* expected;
    };
    const Case cases[] = {
        {0, false, "0 bytes"},
        {1023, false, "1,023 bytes"},
        {1024, false, "1.0 Kb"},
        {1536, false, "1.5 Kb"},
        {1035, false, "1.01 Kb"},
        {1023999, false, "1,000.0 Kb"},
        {1024000, false, "1.0 Mb"},
        {1048576, false, "1.02 Mb"},
        {1048576, true, "1,048,576"},
        {0, true, "0"},
        {2147483647, false, "2,097.15 Mb"},
        {999, true, "999"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSize(c.value, c.bare), c.expected) << c.value;
    }
    EXPECT_EQ(FormatSize(1536, false, {'.', ','}), "1,5 Kb");
    EXPECT_EQ(FormatSize(1234567, true, {'.', ','}), "1.234.567");
}

TEST(UniqueFileName, SkipsNamesThatExist) {
    const TempFolder folder;
    double clock = 46000.5;
    auto fake = [&clock] { return clock++; };
    const std::string first = UniqueFileName(folder.Path(), ".qba", fake);
    EXPECT_TRUE(std::regex_match(first, std::regex("[0-9a-f]{32}")));
    // Occupy the name the clock will give next: the function must move past it.
    clock = 46000.5;
    std::FILE* file = std::fopen(folder.File(first + ".qba").c_str(), "wb");
    std::fclose(file);
    const std::string second = UniqueFileName(folder.Path(), ".qba", fake);
    EXPECT_NE(second, first);
    EXPECT_EQ(FloatToGeneralText(46000.5123456789), "46000.5123456789");

    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.insert(UniqueFileName(folder.Path(), ".qbe"));
    }
    EXPECT_GE(names.size(), 1u);
}

TEST(AppFolders, FollowTheXdgDataHome) {
    EXPECT_EQ(DataFolderFor("/data", "/home/u"), "/data/Orvane Software/Quobel");
    EXPECT_EQ(DataFolderFor("/data/", "/home/u"), "/data/Orvane Software/Quobel");
    EXPECT_EQ(DataFolderFor("", "/home/u"), "/home/u/.local/share/Orvane Software/Quobel");
    EXPECT_EQ(DataFolderFor("relative", "/home/u"), "/home/u/.local/share/Orvane Software/Quobel");
    EXPECT_EQ(ProgramFolderOf("/opt/quobel/quobel"), "/opt/quobel");
    EXPECT_EQ(ProgramFolderOf("/quobel"), "");
}

TEST(AppFolders, CreatesPrivateFoldersWithEveryParent) {
    const TempFolder folder;
    const std::string deep = folder.File("a/b/c");
    ASSERT_TRUE(ForceFolders(deep));
    struct stat info {};
    ASSERT_EQ(::stat(deep.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(folder.File("a").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(DateTime, EncodesAndDecodesDaysSince1899) {
    TDateTime value = 0;
    ASSERT_TRUE(TryEncodeDateTime({2000, 1, 1, 12, 0, 0, 0}, value));
    EXPECT_DOUBLE_EQ(value, 36526.5);
    ASSERT_TRUE(TryEncodeDateTime({1899, 12, 30, 0, 0, 0, 0}, value));
    EXPECT_DOUBLE_EQ(value, 0.0);
    EXPECT_FALSE(TryEncodeDateTime({2001, 2, 29, 0, 0, 0, 0}, value));
    EXPECT_FALSE(TryEncodeDateTime({2000, 1, 1, 24, 0, 0, 0}, value));
    ASSERT_TRUE(TryEncodeDateTime({2026, 12, 10, 23, 59, 58, 0}, value));
    EXPECT_EQ(FormatDateTimeMdy(value), "12-10-2026 23:59:58");
    const DateParts parts = DecodeDateTime(value);
    EXPECT_EQ(parts.year, 2026);
    EXPECT_EQ(parts.second, 58);
}

TEST(FileBytes, ReadsSmallAndLargeFilesWhole) {
    const TempFolder folder;
    std::string large(3 << 20, '\0');
    for (size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<char>(i * 7 + i / 4096);
    }
    // Large files land in memory rounded up to whole huge pages: sizes on and just past a
    // boundary must come back exactly.
    const std::string onBoundary = large.substr(0, size_t{2} << 20);
    const std::string pastBoundary = large.substr(0, (size_t{2} << 20) + 1);
    for (const std::string& contents :
         {std::string(), std::string("small"), large, onBoundary, pastBoundary}) {
        WriteFileAtomic(folder.File("file"), contents);
        const std::unique_ptr<const TFileBytes> bytes = TFileBytes::Read(folder.File("file"));
        ASSERT_NE(bytes, nullptr);
        EXPECT_TRUE(bytes->View() == contents) << contents.size();
    }
    errno = 0;
    EXPECT_EQ(TFileBytes::Read(folder.File("missing")), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(TFileBytes::Read(folder.Path()), nullptr);  // a folder is no file
}

}  // namespace
}  // namespace quobel
