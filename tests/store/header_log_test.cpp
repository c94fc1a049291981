#include "store/header_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/file_util.h"
#include "store/mail_box.h"
#include "support/error_of.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::ErrorOf;

std::string Found(THeaderLog& log, const std::string& name) {
    std::string bytes;
    return log.Find(name, bytes) ? bytes : "(none)";
}

TEST(HeaderLogTest, BlocksAreFoundByTheirCacheNameAfterAReopen) {
    const testing::TempFolder folder;
    THeaderLog log(folder.Path());
    EXPECT_EQ(Found(log, "a.qbe"), "(none)");  // no log yet
    log.Append({{"a.qbe", "Subject: a\r\n\r\n"}, {"b.qbe", ""}});
    log.Append({{"c.qbe", "QBH x 5\n\nlooks like a record"}});
    log.Append({});
    EXPECT_EQ(Found(log, "a.qbe"), "Subject: a\r\n\r\n");
    THeaderLog reopened(folder.Path());
    EXPECT_EQ(Found(reopened, "a.qbe"), "Subject: a\r\n\r\n");
    EXPECT_EQ(Found(reopened, "b.qbe"), "");
    EXPECT_EQ(Found(reopened, "c.qbe"), "QBH x 5\n\nlooks like a record");
    EXPECT_EQ(Found(reopened, "d.qbe"), "(none)");
}

TEST(HeaderLogTest, ARecordCutShortByACrashIsDroppedAndCutOffBeforeTheNextAppend) {
    const testing::TempFolder folder;
    const std::string whole = "QBH a.qbe 3\nabc\n";
    for (const std::string& torn : {std::string("QBH b.qbe 10\nabc"), std::string("QBH b.q"),
                                    std::string("QBH b.qbe 3\nabcX"), std::string("garbage\n")}) {
        SCOPED_TRACE(torn);
        WriteFileAtomic(folder.File(THeaderLog::kFileName), whole + torn);
        THeaderLog log(folder.Path());
        EXPECT_EQ(Found(log, "a.qbe"), "abc");
        EXPECT_EQ(Found(log, "b.qbe"), "(none)");
        log.Append({{"c.qbe", "new"}});
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(folder.File(THeaderLog::kFileName), bytes));
        EXPECT_EQ(bytes, whole + "QBH c.qbe 3\nnew\n");
        THeaderLog reopened(folder.Path());
        EXPECT_EQ(Found(reopened, "c.qbe"), "new");
    }
}

TEST(HeaderLogTest, AnUnwritableLogIsAnErrorAndKeepsNothing) {
    THeaderLog log("/nonexistent/folder");
    EXPECT_EQ(ErrorOf([&] {
                  log.Append({{"a.qbe", "x"}});
              }),
              "Unable to write to /nonexistent/folder/headers.qbl");
    EXPECT_EQ(Found(log, "a.qbe"), "(none)");
}

TEST(HeaderLogTest, AnItemReadsItsOwnCacheFileFirstAndElseItsBoxesLog) {
    const testing::TempFolder folder;
    TMailBox box;
    box.Path = folder.Path();
    box.HeaderLog().Append({{"a.qbe", "logged a"}, {"b.qbe", "logged b"}});
    TMailItem& a = box.Items.Add();
    a.Folder = box.Path;
    a.Cache = "a.qbe";
    TMailItem& b = box.Items.Add();
    b.Folder = box.Path;
    b.Cache = "b.qbe";
    // The whole message fetched later has a file of its own.
    WriteFileAtomic(b.CacheFileName(), "whole b");
    std::string bytes;
    a.ReadCacheFile(bytes);
    b.ReadCacheFile(bytes);
    EXPECT_EQ(bytes, "logged awhole b");
    TMailItem& lost = box.Items.Add();
    lost.Folder = box.Path;
    lost.Cache = "lost.qbe";
    EXPECT_THAT(ErrorOf([&] { lost.ReadCacheFile(bytes); }),
                ::testing::StartsWith("Cannot open file \"" + lost.CacheFileName() + "\"."));
}

TEST(HeaderLogTest, CompactionKeepsTheBlocksInUseOnceMostAreDead) {
    const testing::TempFolder folder;
    const std::string file = folder.File(THeaderLog::kFileName);
    THeaderLog log(folder.Path());
    log.Append({{"a.qbe", std::string(100, 'a')}, {"b.qbe", std::string(100, 'b')}});
    log.Append({{"c.qbe", std::string(100, 'c')}});
    std::string before;
    ASSERT_TRUE(ReadWholeFile(file, before));
    // Two of three in use: left as it is.
    log.Compact({"a.qbe", "c.qbe"});
    std::string after;
    ASSERT_TRUE(ReadWholeFile(file, after));
    EXPECT_EQ(after, before);
    // One of three: rewritten with that one only, found before and after a reopen.
    log.Compact({"c.qbe", "unknown.qbe"});
    ASSERT_TRUE(ReadWholeFile(file, after));
    EXPECT_EQ(after, "QBH c.qbe 100\n" + std::string(100, 'c') + "\n");
    EXPECT_EQ(Found(log, "c.qbe"), std::string(100, 'c'));
    EXPECT_EQ(Found(log, "a.qbe"), "(none)");
    log.Append({{"d.qbe", "d"}});
    THeaderLog reopened(folder.Path());
    EXPECT_EQ(Found(reopened, "c.qbe"), std::string(100, 'c'));
    EXPECT_EQ(Found(reopened, "d.qbe"), "d");
    // None in use: the log goes.
    reopened.Compact({});
    EXPECT_FALSE(FileExists(file));
    EXPECT_EQ(Found(reopened, "c.qbe"), "(none)");
}

// A saved table drops the blocks of deleted and downloaded rows from the log.
TEST(HeaderLogTest, SavingTheTableCompactsTheLogOfItsFolder) {
    const testing::TempFolder folder;
    TMailBox box;
    box.Path = folder.Path();
    box.WriteSettings();
    box.EnsureLoaded();
    std::vector<std::string> names;
    std::vector<std::string> texts;
    for (int n = 0; n < 6; ++n) {
        names.push_back("m" + std::to_string(n) + ".qbe");
        texts.push_back("Subject: " + names.back());
    }
    std::vector<std::pair<std::string, std::string_view>> blocks;
    for (size_t i = 0; i < names.size(); ++i) {
        blocks.emplace_back(names[i], texts[i]);
    }
    box.HeaderLog().Append(blocks);
    std::vector<TMailItem*> items;
    for (const std::string& name : names) {
        TMailItem& item = box.Items.Add();
        item.Folder = box.Path;
        item.Cache = name;
        item.UIDL = name;
        item.Changed();
        items.push_back(&item);
    }
    box.SaveTable();
    EXPECT_TRUE(box.HeaderLog().Contains("m0.qbe"));
    // Four of six leave the log: two downloaded (with files of their own), two deleted.
    for (TMailItem* item : {items[2], items[3]}) {
        item->WriteCacheFile("whole message");
        item->Downloaded = true;
        item->Changed();
    }
    items[1]->Delete();
    items[0]->Delete();
    box.SaveTable();
    THeaderLog reopened(folder.Path());
    for (const std::string& name : names) {
        const bool kept = name == "m4.qbe" || name == "m5.qbe";
        EXPECT_EQ(reopened.Contains(name), kept) << name;
    }
    ASSERT_EQ(box.Items.Count(), 4u);
    std::string bytes;
    for (size_t i = 0; i < box.Items.Count(); ++i) {
        box.Items.Items(i).ReadCacheFile(bytes);
    }
    EXPECT_EQ(bytes, "whole messagewhole messageSubject: m4.qbeSubject: m5.qbe");
}

}  // namespace
}  // namespace quobel
