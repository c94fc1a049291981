#include "cycle/startup_load.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/file_util.h"
#include "store/box_columns.h"
#include "support/error_of.h"
#include "support/old_mailbox_table.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::ErrorOf;
using testing::TempFolder;

TEST(StartupLoad, ReadsAccountsAndTheInboxWhileTheCallerGoesOn) {
    const TempFolder data;
    ASSERT_TRUE(ForceFolders(data.File("accounts")));
    WriteFileAtomic(data.File("accounts/good.qba"), "[Account]\r\nName=Work\r\n");
    WriteFileAtomic(data.File("accounts/bad.qba"), "[POP]\r\nPassword=xyz\r\n");
    // The Inbox has an item; a second box is listed but left for its first use.
    {
        TAccounts accounts;
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = boxes.OpenStore(data.File("mailbox"));
        inbox.EnsureLoaded();
        TMailItem& item = inbox.Items.Add();
        item.UIDL = "key";
        item.Changed();
        inbox.SaveTable();
        ASSERT_TRUE(ForceFolders(data.File("mailbox/Archive")));
    }

    TAccounts accounts;
    TMailBoxes boxes(&accounts);
    TStartupLoad load(accounts, boxes, data.Path());
    const std::vector<TAccountLoadFault> faults = load.Take();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].FileName, data.File("accounts/bad.qba"));
    ASSERT_EQ(accounts.Count(), 2u);
    ASSERT_EQ(boxes.Count(), 2u);
    TMailBox* inbox = boxes.FindByType(0);
    ASSERT_NE(inbox, nullptr);
    EXPECT_TRUE(inbox->Loaded);
    ASSERT_EQ(inbox->Items.Count(), 1u);
    EXPECT_EQ(inbox->Items.Items(0).UIDL, "key");
    EXPECT_FALSE(boxes.Items(0).Loaded);  // "Archive"
    EXPECT_EQ(ErrorOf<std::exception>([&] { load.Take(); }),
              "The start-up reading was taken already");
}

TEST(StartupLoad, GivesTheInboxAsItWasSaved) {
    struct Case {
        const char* name;
        int items;
        size_t subjectSize;
    };
    // The large Inbox is read as a mapped file on the reading thread.
    const Case cases[] = {{"small", 3, 10}, {"large", 4000, 400}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder data;
        {
            TMailBoxes boxes;
            TMailBox& inbox = boxes.OpenStore(data.File("mailbox"));
            inbox.EnsureLoaded();
            for (int i = 0; i < c.items; ++i) {
                TMailItem& item = inbox.Items.Add();
                item.UIDL = "key-" + std::to_string(i);
                item.CachedData.Subject = std::string(c.subjectSize, char('a' + i % 26));
                item.Read = i % 3 == 0;
                item.Changed();
            }
            inbox.SaveTable();
        }
        if (c.items > 100) {
            ASSERT_GT(std::filesystem::file_size(data.File("mailbox/Inbox/box.dat")), 1u << 20);
        }
        TAccounts accounts;
        TMailBoxes boxes(&accounts);
        TStartupLoad load(accounts, boxes, data.Path());
        load.Take();
        TMailBox* inbox = boxes.FindByType(0);
        ASSERT_NE(inbox, nullptr);
        ASSERT_TRUE(inbox->Loaded);
        EXPECT_EQ(inbox->Unread, c.items - (c.items + 2) / 3);
        ASSERT_EQ(inbox->Items.Count(), static_cast<size_t>(c.items));
        for (int i = 0; i < c.items; ++i) {
            const TMailItem& item = inbox->Items.Items(static_cast<size_t>(i));
            ASSERT_EQ(item.UIDL, "key-" + std::to_string(i));
            ASSERT_EQ(item.CachedData.Subject, std::string(c.subjectSize, char('a' + i % 26)));
            ASSERT_EQ(item.Read, i % 3 == 0);
        }
        EXPECT_EQ(inbox->Table.RowCount(), static_cast<size_t>(c.items));
    }
}

TEST(StartupLoad, AnInboxThatCannotBeReadIsLeftForItsFirstUse) {
    const TempFolder data;
    ASSERT_TRUE(ForceFolders(data.File("mailbox/Inbox")));
    WriteFileAtomic(data.File("mailbox/Inbox/box.bsf"), "[Box]\r\nType=0\r\n");
    WriteFileAtomic(data.File("mailbox/Inbox/box.dat"), "TPF0 cut");
    TAccounts accounts;
    TMailBoxes boxes(&accounts);
    TStartupLoad load(accounts, boxes, data.Path());
    EXPECT_TRUE(load.Take().empty());
    TMailBox& inbox = *boxes.FindByType(0);
    EXPECT_FALSE(inbox.Loaded);
    EXPECT_NE(ErrorOf<std::exception>([&] { inbox.EnsureLoaded(); }), "(no error)");
    EXPECT_TRUE(FolderExists(data.File("accounts")));
}

TEST(StartupLoad, AStoreThatCannotBeOpenedIsPassedOn) {
    const TempFolder data;
    WriteFileAtomic(data.File("mailbox"), "a file where the store belongs");
    TAccounts accounts;
    TMailBoxes boxes(&accounts);
    TStartupLoad load(accounts, boxes, data.Path());
    EXPECT_NE(ErrorOf<std::exception>([&] { load.Take(); }), "(no error)");
}

TEST(StartupLoad, ReadsWithoutWritingUntilTaken) {
    const TempFolder data;
    // An Inbox whose table was written before "Size", "Encrypted" and "CachedCC" existed.
    ASSERT_TRUE(ForceFolders(data.File("mailbox/Inbox")));
    WriteFileAtomic(data.File("mailbox/Inbox/box.bsf"), "[Box]\r\nType=0\r\n");
    testing::WriteOldMailboxTable(data.File("mailbox/Inbox/box.dat"), "key", "");
    const std::string oldBytes = TTableFormat::ReadFile(data.File("mailbox/Inbox/box.dat"));
    {
        // Gone before being taken, as in a second instance: nothing was written.
        TAccounts accounts;
        TMailBoxes boxes(&accounts);
        TStartupLoad load(accounts, boxes, data.Path());
    }
    EXPECT_FALSE(FolderExists(data.File("accounts")));
    EXPECT_EQ(TTableFormat::ReadFile(data.File("mailbox/Inbox/box.dat")), oldBytes);

    TAccounts accounts;
    TMailBoxes boxes(&accounts);
    TStartupLoad load(accounts, boxes, data.Path());
    load.Take();
    EXPECT_TRUE(FolderExists(data.File("accounts")));
    TMailBox& inbox = *boxes.FindByType(0);
    ASSERT_TRUE(inbox.Loaded);
    EXPECT_FALSE(inbox.ReadOnly);
    EXPECT_EQ(inbox.Items.Items(0).UIDL, "key");
    TMemTable rewritten;
    TTableFormat().LoadFromFile(rewritten, data.File("mailbox/Inbox/box.dat"));
    EXPECT_EQ(rewritten.Columns(), MailBoxColumns());
    ASSERT_EQ(rewritten.RowCount(), 1u);
}

TEST(StartupLoad, AStoreWithoutAnInboxGetsOneWhenTaken) {
    const TempFolder data;
    TAccounts accounts;
    TMailBoxes boxes(&accounts);
    TStartupLoad load(accounts, boxes, data.Path());
    EXPECT_TRUE(load.Take().empty());
    TMailBox* inbox = boxes.FindByType(0);
    ASSERT_NE(inbox, nullptr);
    EXPECT_EQ(inbox->Path, data.File("mailbox/Inbox"));
    EXPECT_TRUE(FileExists(data.File("mailbox/Inbox/box.bsf")));
}

}  // namespace
}  // namespace quobel
