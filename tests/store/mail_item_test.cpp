#include "store/mail_item.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/unique_file_name.h"
#include "message/qb_message.h"
#include "store/mail_box.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kHeaderLines = {
    "Received: from relay.example.com ([198.51.100.2]) by mx.quobel.test for <inbox@quobel.test>",
    "Received: from laptop ([203.0.113.9]) by relay.example.com for <list@example.com>",
    "From: \"Ann Example\" <ann@example.org>",
    "To: \"Bob\" <bob@example.org>, carl@example.org",
    "Cc: \"Dora\" <dora@example.org>",
    "Subject: Quarterly report",
    "Date: Tue, 10 Mar 2026 09:30:15 -0500",
    "X-Priority: 2",
    "Content-Type: multipart/mixed; boundary=\"B\"",
};

const char* const kBody[] = {
    "",
    "--B",
    "Content-Type: text/plain",
    "",
    "See the attachment.",
    "--B",
    "Content-Type: application/octet-stream",
    "Content-Disposition: attachment; filename=\"data.bin\"",
    "",
    "0123456789",
    "--B--",
};

class MailItemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = scratch.File("mail_item");
        fs::remove_all(root);
        inbox = &boxes.OpenStore(root);
        inbox->EnsureLoaded();
        account = &accounts.Add(false);
        account->ID = std::string(32, 'e');
    }
    void TearDown() override { fs::remove_all(root); }

    const quobel::testing::TempFolder scratch;

    // A new message as the check cycle records it.
    TMailItem& NewMessage(const std::vector<std::string>& headerLines, int32_t size) {
        TMailItem& item = inbox->Items.Add();
        item.Folder = inbox->Path;
        item.Cache = UniqueFileName(inbox->Path, ".qbe") + ".qbe";
        item.AccountID = account->ID;
        item.UIDL = std::string(32, '7');
        item.Online = true;
        item.SetSize(size);
        item.LoadFromHeaderLines(headerLines);
        item.SaveMessage();
        item.Changed();
        inbox->SaveTable();
        return item;
    }

    std::string root;
    TAccounts accounts;
    TAccount* account = nullptr;
    TMailBoxes boxes{&accounts};
    TMailBox* inbox = nullptr;
};

TEST_F(MailItemTest, LifeCycle) {
    TMailItem& item = NewMessage(kHeaderLines, 4321);
    EXPECT_EQ(item.CachedData.Subject, "Quarterly report");
    EXPECT_EQ(item.CachedData.Priority, 2);
    EXPECT_EQ(item.CachedData.From, "Ann Example");
    EXPECT_EQ(item.FromAddr, "ann@example.org");
    // The bare address keeps the blank after the comma.
    EXPECT_EQ(item.CachedData.To, "Bob,  carl@example.org");
    EXPECT_THAT(item.Recipients, ::testing::ElementsAre("bob@example.org", " carl@example.org"));
    EXPECT_EQ(item.CachedData.CC, "Dora");
    EXPECT_THAT(item.CCList, ::testing::ElementsAre("dora@example.org"));
    EXPECT_EQ(item.CachedData.DeliveredTo, "inbox@quobel.test");
    EXPECT_EQ(item.CachedData.DateStr, "03-10-2026 09:30:15");
    EXPECT_FALSE(item.Downloaded);

    // The cache file holds the header lines, each followed by CR LF.
    std::string cached;
    item.ReadCacheFile(cached);
    std::string expected;
    for (const std::string& line : kHeaderLines) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(cached, expected);
    EXPECT_EQ(item.Cache.size(), 36u);

    // Download: the whole message replaces the header block.
    std::string whole = expected;
    for (const char* line : kBody) {
        whole += std::string(line) + "\r\n";
    }
    item.Downloaded = true;
    item.SetSize(static_cast<int32_t>(whole.size()));
    item.Changed();
    item.WriteCacheFile(whole + ".\r\n");
    item.Changed();
    inbox->SaveTable();

    // Display: parse the cache file into the reader's message.
    std::vector<std::string> events;
    item.OnLoadBegin = [&](TMailItem& sender, int64_t size) {
        EXPECT_EQ(&sender, &item);
        events.push_back("begin " + std::to_string(size));
    };
    item.OnLoadProgress = [&](TMailItem&, int64_t position) {
        if (events.back() != "progress") {
            events.push_back("progress");
        }
        EXPECT_GT(position, 0);
    };
    item.OnLoadEnd = [&](TMailItem&) { events.push_back("end"); };
    {
        TQBMessage reader;
        item.LoadMessage(reader);
        EXPECT_EQ(reader.Source, whole);
        EXPECT_EQ(reader.AttachmentCount, 1);
    }
    EXPECT_THAT(events, ::testing::ElementsAre("begin " + std::to_string(whole.size() + 3),
                                               "progress", "end"));
    EXPECT_TRUE(item.Attachments);
    item.Read = true;
    item.Changed();
    inbox->SaveTable();

    // What the table keeps comes back on the next start.
    TMailBoxes next(&accounts);
    TMailBox& box = next.OpenStore(root);
    box.EnsureLoaded();
    ASSERT_EQ(box.Items.Count(), 1u);
    TMailItem& back = box.Items.Items(0);
    EXPECT_EQ(back.Account(), account);
    EXPECT_TRUE(back.Downloaded);
    EXPECT_TRUE(back.Read);
    EXPECT_TRUE(back.Online);
    EXPECT_EQ(back.Size, static_cast<int32_t>(whole.size()));
    EXPECT_EQ(back.CachedData.Subject, "Quarterly report");
    EXPECT_EQ(back.CachedData.DeliveredTo, "");
    EXPECT_EQ(back.CachedData.CC, "");  // rewritten when the reader shows it again
    EXPECT_EQ(back.CachedData.Date, item.CachedData.Date);
    EXPECT_FALSE(back.HasMessage());

    // Deletion.
    const std::string cacheFile = back.CacheFileName();
    back.Delete();
    box.SaveTable();
    EXPECT_FALSE(FileExists(cacheFile));
    EXPECT_EQ(box.Table.RowCount(), 0u);
}

TEST_F(MailItemTest, SparseHeaders) {
    TMailItem& item = NewMessage({"From: bare@example.org", "Date: not a date"}, 0);
    EXPECT_EQ(item.CachedData.From, "bare@example.org");
    EXPECT_EQ(item.FromAddr, "bare@example.org");
    EXPECT_EQ(item.CachedData.To, "");
    EXPECT_EQ(item.CachedData.CC, "");
    EXPECT_TRUE(item.Recipients.empty());
    EXPECT_TRUE(item.CCList.empty());
    EXPECT_EQ(item.CachedData.DeliveredTo, "(unknown)");
    EXPECT_EQ(item.CachedData.DateStr, "12-30-1899 00:00:00");
    EXPECT_EQ(item.CachedData.Subject, "");
    EXPECT_EQ(item.CachedData.Priority, 0);
    EXPECT_EQ(item.SizeText, "(unknown)");
    ASSERT_TRUE(inbox->Table.Locate("UIDL", item.UIDL));
    EXPECT_TRUE(inbox->Table.IsNull(inbox->Table.FieldByName("Subject")));
    EXPECT_FALSE(inbox->Table.IsNull(inbox->Table.FieldByName("Date")));  // 0 is written
}

TEST_F(MailItemTest, LoadingAMissingCacheFile) {
    TMailItem& item = NewMessage(kHeaderLines, 10);
    item.Attachments = true;
    ASSERT_TRUE(DeleteFileIfExists(item.CacheFileName()));
    std::vector<std::string> events;
    item.OnLoadBegin = [&](TMailItem&, int64_t) { events.push_back("begin"); };
    item.OnLoadEnd = [&](TMailItem&) { events.push_back("end"); };
    TQBMessage reader;
    try {
        item.LoadMessage(reader);
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), ::testing::StartsWith("Cannot open file \""));
    }
    EXPECT_THAT(events, ::testing::ElementsAre("end"));
    EXPECT_FALSE(item.Attachments);
    EXPECT_FALSE(static_cast<bool>(reader.OnProgress));
}

}  // namespace
}  // namespace quobel
