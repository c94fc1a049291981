#include "store/mail_box.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/format_size.h"
#include "core/ini_file.h"
#include "store/box_columns.h"
#include "support/error_of.h"
#include "support/old_mailbox_table.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

namespace fs = std::filesystem;

using testing::ErrorOf;

class MailBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = scratch.File("mailbox_test");
        fs::remove_all(root);
        ASSERT_TRUE(ForceFolders(root));
        store = root + "/mailbox";
        TAccount& account = accounts.Add(false);
        account.ID = std::string(32, 'a');
        account.Name = "Work";
    }
    void TearDown() override { fs::remove_all(root); }

    const quobel::testing::TempFolder scratch;

    static std::string Read(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        return bytes;
    }

    // A new-message item as the check cycle makes one (without parsing headers).
    static TMailItem& NewItem(TMailBox& box, const std::string& key, TAccount* account) {
        TMailItem& item = box.Items.Add();
        item.Folder = box.Path;
        item.Cache = key.substr(0, 8) + ".qbe";
        item.AccountID = account != nullptr ? account->ID : std::string();
        item.UIDL = key;
        item.Online = true;
        item.SetSize(2048);
        item.CachedData.Subject = "Subject " + key.substr(0, 4);
        item.CachedData.From = "Ann";
        item.FromAddr = "ann@example.org";
        item.CachedData.To = "Bob, carl@example.org";
        item.Recipients = {"bob@example.org", "carl@example.org"};
        item.CachedData.CC = "Dora";
        item.CCList = {"dora@example.org"};
        item.CachedData.Date = 46000.5;
        item.CachedData.DateStr = "12-09-2025 12:00:00";
        item.CachedData.Priority = 1;
        return item;
    }

    std::string root;
    std::string store;
    TAccounts accounts;
};

TEST_F(MailBoxTest, NewStoreGetsAnInbox) {
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(store);
    EXPECT_EQ(boxes.Root, store);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(inbox.Name, "Inbox");
    EXPECT_EQ(inbox.Path, store + "/Inbox");
    EXPECT_EQ(boxes.FindByType(0), &inbox);
    EXPECT_EQ(Read(store + "/Inbox/box.bsf"), "[Box]\r\nType=0\r\n");
    EXPECT_FALSE(FileExists(store + "/Inbox/box.dat"));

    inbox.EnsureLoaded();
    EXPECT_TRUE(inbox.Loaded);
    EXPECT_EQ(inbox.Items.Count(), 0u);
    inbox.SaveTable();
    TMemTable empty;
    empty.SetColumns(MailBoxColumns());
    empty.SetIndexes(MailBoxIndexes());
    EXPECT_EQ(Read(store + "/Inbox/box.dat"), TTableFormat().Save(empty));

    // Opening again finds the same Inbox.
    TMailBoxes again(&accounts);
    TMailBox& found = again.OpenStore(store);
    EXPECT_EQ(&found, again.FindByType(0));
    EXPECT_EQ(again.Count(), 1u);
}

TEST_F(MailBoxTest, ListsFoldersWithTheirSettings) {
    ASSERT_TRUE(ForceFolders(store + "/Work"));
    ASSERT_TRUE(ForceFolders(store + "/Archive"));
    ASSERT_TRUE(ForceFolders(store + "/Inbox"));
    WriteFileAtomic(store + "/stray.txt", "x");
    WriteFileAtomic(store + "/Work/box.bsf", "[Box]\r\nType=2\r\nUnread=7\r\n");
    WriteFileAtomic(store + "/Inbox/box.bsf", "[Box]\r\nUnread=-3\r\n");
    TMailBoxes boxes;
    boxes.LoadFromFolder(store);
    ASSERT_EQ(boxes.Count(), 3u);
    EXPECT_EQ(boxes.Items(0).Name, "Archive");
    EXPECT_EQ(boxes.Items(0).Type, 4);  // no box.bsf
    EXPECT_EQ(boxes.Items(0).Unread, 0);
    EXPECT_EQ(boxes.Items(1).Name, "Inbox");
    EXPECT_EQ(boxes.Items(1).Type, 0);
    EXPECT_EQ(boxes.Items(1).Unread, -3);
    EXPECT_EQ(boxes.Items(2).Path, store + "/Work");
    EXPECT_EQ(boxes.Items(2).Type, 2);
    EXPECT_EQ(boxes.Items(2).Unread, 7);
    EXPECT_EQ(boxes.FindByType(2), &boxes.Items(2));
    EXPECT_EQ(boxes.FindByType(9), nullptr);
    EXPECT_EQ(boxes.FindByType(0), &boxes.Items(1));

    boxes.Items(2).Unread = 5;
    boxes.Items(0).Unread = 1;
    boxes.WriteAllUnread();
    EXPECT_EQ(Read(store + "/Work/box.bsf"), "[Box]\r\nType=2\r\nUnread=5\r\n");
    EXPECT_EQ(Read(store + "/Archive/box.bsf"), "[Box]\r\nUnread=1\r\n");
}

TEST_F(MailBoxTest, ItemsRoundTripThroughTheTable) {
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(store);
    inbox.EnsureLoaded();
    const std::string k1(32, '1'), k2(32, '2'), k3(32, '3');
    TMailItem& first = NewItem(inbox, k1, &accounts.Items(0));
    first.Changed();
    TMailItem& second = NewItem(inbox, k2, nullptr);
    second.Read = true;
    second.CachedData.Subject = "";  // stored as null
    second.CCList.clear();
    second.CachedData.CC.clear();
    second.Changed();
    // A second item with the first one's key shares its row.
    TMailItem& twin = NewItem(inbox, k1, &accounts.Items(0));
    twin.CachedData.Subject = "Twin";
    twin.Changed();
    NewItem(inbox, k3, &accounts.Items(0)).Changed();
    EXPECT_EQ(inbox.Table.RowCount(), 3u);
    ASSERT_TRUE(inbox.Table.Locate("UIDL", k2));
    EXPECT_TRUE(inbox.Table.IsNull(inbox.Table.FieldByName("Subject")));
    EXPECT_TRUE(inbox.Table.IsNull(inbox.Table.FieldByName("Account")));
    inbox.SaveTable();

    // An account that no longer exists leaves the item without one; writing it back keeps the
    // column's text.
    TAccounts fewer;
    TMailBoxes reread(&fewer);
    TMailBox& box = reread.OpenStore(store);
    box.EnsureLoaded();
    ASSERT_EQ(box.Items.Count(), 3u);
    EXPECT_EQ(box.Unread, 2);  // the rows whose "Read" is false
    const TMailItem& a = box.Items.Items(0);
    EXPECT_EQ(a.UIDL, k1);
    EXPECT_EQ(a.Folder, store + "/Inbox");
    EXPECT_EQ(a.Cache, "11111111.qbe");
    EXPECT_EQ(a.Account(), nullptr);
    EXPECT_TRUE(a.Online);
    EXPECT_FALSE(a.Read);
    EXPECT_FALSE(a.Downloaded);
    EXPECT_EQ(a.CachedData.Subject, "Twin");
    EXPECT_EQ(a.CachedData.From, "Ann");
    EXPECT_EQ(a.CachedData.To, "Bob, carl@example.org");
    EXPECT_EQ(a.CachedData.CC, "");  // "CachedCC" keeps nothing
    EXPECT_EQ(a.CachedData.DeliveredTo, "");
    EXPECT_EQ(a.CachedData.Date, 46000.5);
    EXPECT_EQ(a.CachedData.DateStr, "12-09-2025 12:00:00");
    EXPECT_EQ(a.CachedData.Priority, 1);
    EXPECT_EQ(a.FromAddr, "ann@example.org");
    EXPECT_THAT(a.Recipients, ::testing::ElementsAre("bob@example.org", "carl@example.org"));
    EXPECT_THAT(a.CCList, ::testing::ElementsAre("dora@example.org"));
    EXPECT_TRUE(a.BCCList.empty());
    EXPECT_EQ(a.Size, 2048);
    EXPECT_EQ(a.SizeText, "2.0 Kb");
    const TMailItem& b = box.Items.Items(1);
    EXPECT_EQ(b.CachedData.Subject, "");
    EXPECT_TRUE(b.Read);
    EXPECT_TRUE(b.CCList.empty());

    box.Items.Items(0).Read = true;
    box.Items.Items(0).Changed();
    ASSERT_TRUE(box.Table.Locate("UIDL", k1));
    EXPECT_EQ(box.Table.AsString(box.Table.FieldByName("Account")), std::string(32, 'a'));
    EXPECT_TRUE(box.Table.AsBoolean(box.Table.FieldByName("Read")));

    // With the account known again, it is found by its ID.
    TMailBoxes withAccount(&accounts);
    TMailBox& third = withAccount.OpenStore(store);
    third.EnsureLoaded();
    EXPECT_EQ(third.Items.Items(0).Account(), &accounts.Items(0));
}

TEST_F(MailBoxTest, DeletingAnItemRemovesItsFilesAndRow) {
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(store);
    inbox.EnsureLoaded();
    const std::string k1(32, '1'), k2(32, '2');
    TMailItem& first = NewItem(inbox, k1, nullptr);
    first.Changed();
    first.WriteCacheFile("Subject: one\r\n");
    WriteFileAtomic(first.CacheFileName() + ".dec", "plain");
    TMailItem& second = NewItem(inbox, k2, nullptr);
    second.Changed();  // its cache file was never written (or removed by hand)
    std::string source = "prefix:";
    first.ReadCacheFile(source);
    EXPECT_EQ(source, "prefix:Subject: one\r\n");

    const std::string cacheFile = first.CacheFileName();
    first.Delete();
    EXPECT_FALSE(FileExists(cacheFile));
    EXPECT_FALSE(FileExists(cacheFile + ".dec"));
    second.Delete();
    EXPECT_EQ(inbox.Items.Count(), 0u);
    EXPECT_EQ(inbox.Table.RowCount(), 0u);
    std::string ignored;
    EXPECT_THAT(ErrorOf([&] { NewItem(inbox, k2, nullptr).ReadCacheFile(ignored); }),
                ::testing::StartsWith("Cannot open file \""));
}

TEST_F(MailBoxTest, OldTablesGetTheNewColumns) {
    ASSERT_TRUE(ForceFolders(store + "/Old"));
    testing::WriteOldMailboxTable(store + "/Old/box.dat", std::string(32, 'f'), "Old mail");

    TMailBoxes boxes;
    boxes.LoadFromFolder(store);
    TMailBox& box = boxes.Items(0);
    box.EnsureLoaded();
    ASSERT_EQ(box.Items.Count(), 1u);
    EXPECT_EQ(box.Items.Items(0).CachedData.Subject, "Old mail");
    EXPECT_EQ(box.Items.Items(0).Size, 0);
    EXPECT_EQ(box.Items.Items(0).SizeText, "(unknown)");

    TMemTable rewritten;
    TTableFormat().LoadFromFile(rewritten, store + "/Old/box.dat");
    EXPECT_EQ(rewritten.Columns(), MailBoxColumns());
    EXPECT_EQ(rewritten.Indexes(), MailBoxIndexes());
    rewritten.First();
    EXPECT_TRUE(rewritten.IsNull(18));
    EXPECT_TRUE(rewritten.IsNull(19));
    EXPECT_TRUE(rewritten.IsNull(20));
    EXPECT_EQ(rewritten.AsString(10), "Old mail");
}

TEST_F(MailBoxTest, UnreadableTableIsLeftAlone) {
    TMailBoxes boxes;
    TMailBox& inbox = boxes.OpenStore(store);
    const std::string broken = "TPF0\x03\xFB";
    WriteFileAtomic(inbox.TableFileName(), broken);
    EXPECT_EQ(ErrorOf([&] { inbox.EnsureLoaded(); }), "Stream read error");
    EXPECT_FALSE(inbox.Loaded);
    EXPECT_EQ(ErrorOf([&] { inbox.SaveTable(); }), "The mailbox \"Inbox\" is not loaded");
    TMailItem& item = NewItem(inbox, std::string(32, '1'), nullptr);
    EXPECT_EQ(ErrorOf([&] { item.Changed(); }), "The mailbox \"Inbox\" is not loaded");
    EXPECT_EQ(Read(inbox.TableFileName()), broken);

    // Once the file is readable again, the next attempt loads it.
    TMemTable empty;
    empty.SetColumns(MailBoxColumns());
    TTableFormat().SaveToFile(empty, inbox.TableFileName());
    inbox.EnsureLoaded();
    EXPECT_TRUE(inbox.Loaded);
    EXPECT_EQ(inbox.Items.Count(), 0u);
}

TEST_F(MailBoxTest, LoadedItemsAreMadeWhenFirstUsed) {
    constexpr int kItems = 5000;
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(store);
    inbox.EnsureLoaded();
    TAccount& other = accounts.Add(false);
    other.ID = std::string(32, 'b');
    other.Name = "Home";
    const auto keyOf = [](int i) {
        char key[33];
        std::snprintf(key, sizeof key, "%032d", i);
        return std::string(key);
    };
    for (int i = 0; i < kItems; ++i) {
        TMailItem& item = NewItem(inbox, keyOf(i), i % 3 == 0 ? &other : &accounts.Items(0));
        item.CachedData.Subject = "Subject number " + std::to_string(i) + std::string(200, '.');
        item.CachedData.Date = 46000 + i;
        item.SetSize(1000 + i);
        item.Read = i % 4 != 0;
        item.Changed();
    }
    inbox.SaveTable();
    const std::string bytes = Read(inbox.TableFileName());

    TMailBoxes reread(&accounts);
    TMailBox& box = reread.OpenStore(store);
    box.EnsureLoaded();
    ASSERT_EQ(box.Items.Count(), size_t{kItems});
    EXPECT_EQ(box.Unread, kItems / 4);
    // Counting, marks, sort values and keys come without making a single item.
    std::vector<TMailItems::TKey> keys;
    for (int i = 0; i < kItems; ++i) {
        const auto index = static_cast<size_t>(i);
        EXPECT_EQ(box.Items.IsRead(index), i % 4 != 0);
        const TMailItemSummary summary = TMailItems::SummaryOf(box.Items.KeyAt(index));
        EXPECT_EQ(summary.Date, 46000 + i);
        EXPECT_EQ(summary.Size, 1000 + i);
        keys.push_back(box.Items.KeyAt(index));
    }
    const TMailItemPeek peek = box.Items.Peek(4999);
    EXPECT_EQ(peek.UIDL, keyOf(4999));
    EXPECT_EQ(peek.Subject, "Subject number 4999" + std::string(200, '.'));
    EXPECT_EQ(peek.From, "Ann");
    EXPECT_EQ(peek.Account, &accounts.Items(0));
    EXPECT_EQ(box.Items.Peek(3).Account, &other);
    for (int i = 0; i < kItems; ++i) {
        ASSERT_FALSE(box.Items.IsMade(static_cast<size_t>(i))) << i;
    }

    for (const int i : {0, 1, 2500, kItems - 1}) {
        const auto index = static_cast<size_t>(i);
        const TMailItem& item = box.Items.Items(index);
        EXPECT_TRUE(box.Items.IsMade(index));
        EXPECT_EQ(item.UIDL, keyOf(i));
        EXPECT_EQ(&item.Collection(), &box.Items);
        EXPECT_EQ(item.Folder, box.Path);
        EXPECT_EQ(item.Account(), i % 3 == 0 ? &other : &accounts.Items(0)) << i;
        EXPECT_EQ(item.CachedData.Subject,
                  "Subject number " + std::to_string(i) + std::string(200, '.'));
        EXPECT_THAT(item.Recipients, ::testing::ElementsAre("bob@example.org", "carl@example.org"));
        EXPECT_EQ(item.Read, i % 4 != 0);
        EXPECT_EQ(item.SizeText, FormatSize(1000 + i, false));
        // The key stays what it was before the item was made, and leads back to it.
        EXPECT_EQ(TMailItems::KeyOf(item), keys[index]);
        EXPECT_EQ(&TMailItems::ItemOf(keys[index]), &item);
        EXPECT_EQ(box.Items.IndexOf(item), i);
    }
    // A key made into an item by way of a view.
    TMailItem& viaKey = TMailItems::ItemOf(keys[7]);
    EXPECT_TRUE(box.Items.Contains(&viaKey));
    EXPECT_EQ(viaKey.UIDL, keyOf(7));
    EXPECT_TRUE(box.Items.IsMade(7));

    // Changing a made item writes its row; the rows of the others stay as they were read.
    viaKey.Read = true;
    viaKey.Changed();
    ASSERT_TRUE(box.Table.Locate("UIDL", keyOf(7)));
    EXPECT_TRUE(box.Table.AsBoolean(box.Table.FieldByName("Read")));
    ASSERT_TRUE(box.Table.Locate("UIDL", keyOf(8)));
    EXPECT_EQ(box.Table.AsText(box.Table.FieldByName("Subject")),
              "Subject number 8" + std::string(200, '.'));

    // Deleting one not made yet makes it for the event, and its key is refused afterwards.
    box.Items.Delete(9);
    EXPECT_EQ(box.Items.Count(), size_t{kItems - 1});
    EXPECT_FALSE(box.Table.Locate("UIDL", keyOf(9)));
    EXPECT_EQ(ErrorOf([&] { TMailItems::ItemOf(keys[9]); }),
              "The message is no longer in its mailbox");
    EXPECT_EQ(box.Items.Peek(9).UIDL, keyOf(10));

    // A file cut short fails at any length and leaves a loaded box as it was, its items not made
    // yet still ready to be made.
    for (const size_t length : {bytes.size() / 3, bytes.size() - 1}) {
        WriteFileAtomic(box.TableFileName(), std::string_view(bytes).substr(0, length));
        EXPECT_EQ(ErrorOf([&] { box.LoadTable(box.Path); }), "Stream read error") << length;
        EXPECT_EQ(box.Items.Count(), size_t{kItems - 1});
        EXPECT_EQ(box.Table.RowCount(), size_t{kItems - 1});
        TMailBoxes fresh(&accounts);
        TMailBox& unloaded = fresh.OpenStore(store);
        EXPECT_EQ(ErrorOf([&] { unloaded.EnsureLoaded(); }), "Stream read error");
        EXPECT_FALSE(unloaded.Loaded);
        EXPECT_EQ(unloaded.Items.Count(), 0u);
    }
    EXPECT_EQ(TMailItems::ItemOf(keys[4000]).UIDL, keyOf(4000));

    // Saving writes the rows still in the file's bytes as they were, with the changes.
    box.SaveTable();
    TMailBoxes saved(&accounts);
    TMailBox& again = saved.OpenStore(store);
    again.EnsureLoaded();
    ASSERT_EQ(again.Items.Count(), size_t{kItems - 1});
    EXPECT_TRUE(again.Items.Items(7).Read);
    EXPECT_EQ(again.Items.Items(9).UIDL, keyOf(10));
    EXPECT_EQ(again.Items.Items(99).CachedData.Subject,
              "Subject number 100" + std::string(200, '.'));

    // A freed item is no longer there, and finding that out does not read it.
    const TMailItem* seventh = &viaKey;
    box.Items.Delete(static_cast<size_t>(box.Items.IndexOf(viaKey)));
    EXPECT_FALSE(box.Items.Contains(seventh));
}

TEST_F(MailBoxTest, SavingIntoAMissingFolderFails) {
    TMailBoxes boxes;
    TMailBox& inbox = boxes.OpenStore(store);
    inbox.EnsureLoaded();
    fs::remove_all(inbox.Path);
    EXPECT_EQ(ErrorOf([&] { inbox.SaveTable(); }), "Unable to write to " + inbox.Path + "/box.dat");
}

TEST(MailItem, SizeTextAndLines) {
    TMailItems items;
    TMailItem& item = items.Add();
    EXPECT_EQ(item.SizeText, "(unknown)");
    item.SetSize(500);
    EXPECT_EQ(item.SizeText, "500 bytes");
    item.SetSize(0);
    EXPECT_EQ(item.SizeText, "(unknown)");
    EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_THAT(SplitLines("a\r\n\r\nb\r\n"), ::testing::ElementsAre("a", "", "b"));
    EXPECT_THAT(SplitLines("a\nb\rc"), ::testing::ElementsAre("a", "b", "c"));
    EXPECT_THAT(SplitLines("a\r\rb\n\nc\r"), ::testing::ElementsAre("a", "", "b", "", "c"));
    EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
}  // namespace quobel
