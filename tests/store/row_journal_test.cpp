#include "store/row_journal.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "store/mail_box.h"
#include "support/error_of.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using ::testing::ElementsAre;
using testing::ErrorOf;

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    return ReadWholeFile(path, bytes) ? bytes : "(none)";
}

TEST(RowJournalTest, FingerprintsTellBytesApart) {
    // Every length around the 8- and 32-byte steps, and one changed byte anywhere.
    std::string bytes(70, 'x');
    for (size_t size = 0; size <= bytes.size(); ++size) {
        const std::string_view view(bytes.data(), size);
        EXPECT_NE(Fingerprint(view), Fingerprint(std::string_view(bytes.data(), size + 1)));
        for (size_t at = 0; at < size; ++at) {
            std::string changed(view);
            changed[at] = 'y';
            EXPECT_NE(Fingerprint(changed), Fingerprint(view)) << size << " " << at;
        }
    }
    EXPECT_EQ(StampOf("abc"), StampOf(std::string("abc")));
}

TEST(RowJournalTest, FingerprintsStayAsEarlierVersionsWroteThem) {
    // A journal names its table by this fingerprint: a changed function would orphan the rows of
    // every journal already written.
    std::string bytes;
    for (int i = 0; i < 100; ++i) {
        bytes.push_back(static_cast<char>(i * 37 + 11));
    }
    const struct {
        size_t size;
        uint64_t fingerprint;
    } kStored[] = {
        {0, 0x182b48e4831d6948ULL},   {5, 0xd3001ba329e1f0abULL},  {8, 0x1018dcdc6c553d81ULL},
        {31, 0x9e2371a25d8395bcULL},  {32, 0xe9dd683592bed6b0ULL}, {45, 0x7f4d72b4c4759a94ULL},
        {100, 0xd308adc0f0c9630bULL},
    };
    for (const auto& stored : kStored) {
        EXPECT_EQ(Fingerprint(std::string_view(bytes.data(), stored.size)), stored.fingerprint)
            << stored.size;
    }
}

TEST(RowJournalTest, RowsAreReadBackOnlyForTheTableTheyExtend) {
    const testing::TempFolder folder;
    const TTableStamp table = StampOf("table one");
    TRowJournal journal(folder.Path());
    EXPECT_TRUE(journal.Read(table).empty());  // none yet
    journal.Append(table, {"row 1", ""});
    journal.Append(table, {"row 3"});
    journal.Append(table, {});
    TRowJournal reopened(folder.Path());
    EXPECT_THAT(reopened.Read(table), ElementsAre("row 1", "", "row 3"));
    EXPECT_TRUE(reopened.HasRows());
    EXPECT_TRUE(reopened.Read(StampOf("table two")).empty());
    EXPECT_FALSE(reopened.HasRows());

    // An append for another table file replaces the journal whole.
    reopened.Append(StampOf("table two"), {"row 4"});
    EXPECT_TRUE(TRowJournal(folder.Path()).Read(table).empty());
    EXPECT_THAT(TRowJournal(folder.Path()).Read(StampOf("table two")), ElementsAre("row 4"));
}

TEST(RowJournalTest, ARecordCutShortOrDamagedEndsTheJournalAndIsCutOffBeforeTheNextAppend) {
    const testing::TempFolder folder;
    const TTableStamp table = StampOf("table");
    const std::string name = folder.File(TRowJournal::kFileName);
    TRowJournal(folder.Path()).Append(table, {"first row"});
    const std::string whole = ReadBytes(name);
    TRowJournal(folder.Path()).Append(table, {"second row"});
    const std::string both = ReadBytes(name);
    std::vector<std::string> torn;
    for (size_t cut = whole.size(); cut < both.size(); ++cut) {
        torn.push_back(both.substr(0, cut));
    }
    std::string damaged = both;
    damaged.back() ^= 1;
    torn.push_back(damaged);
    for (const std::string& bytes : torn) {
        SCOPED_TRACE(bytes.size());
        WriteFileAtomic(name, bytes);
        TRowJournal journal(folder.Path());
        EXPECT_THAT(journal.Read(table), ElementsAre("first row"));
        journal.Append(table, {"third row"});
        EXPECT_THAT(TRowJournal(folder.Path()).Read(table), ElementsAre("first row", "third row"));
    }
    // A damaged head is no journal at all.
    WriteFileAtomic(name, "QBJ");
    EXPECT_TRUE(TRowJournal(folder.Path()).Read(table).empty());
}

TEST(RowJournalTest, ASupersededJournalReadsRightOnEitherSideOfTheTableReplacement) {
    const testing::TempFolder folder;
    const TTableStamp old = StampOf("old table");
    const TTableStamp next = StampOf("old table with the rows");
    TRowJournal journal(folder.Path());
    journal.Append(old, {"row"});
    journal.Supersede(next);
    // Not replaced (a crash before the rename): the rows still count for the old file.
    EXPECT_THAT(TRowJournal(folder.Path()).Read(old), ElementsAre("row"));
    // Replaced: the new file holds them.
    EXPECT_TRUE(TRowJournal(folder.Path()).Read(next).empty());
    journal.Remove();
    EXPECT_FALSE(FileExists(folder.File(TRowJournal::kFileName)));

    // A journal of another table is removed before a replacement, never marked.
    TRowJournal(folder.Path()).Append(StampOf("elsewhere"), {"row"});
    TRowJournal stale(folder.Path());
    EXPECT_TRUE(stale.Read(old).empty());
    stale.Supersede(next);
    EXPECT_FALSE(FileExists(folder.File(TRowJournal::kFileName)));
}

TEST(RowJournalTest, AnUnwritableJournalIsAnError) {
    TRowJournal journal("/nonexistent/folder");
    EXPECT_EQ(ErrorOf([&] { journal.Append(StampOf("t"), {"row"}); }),
              "Unable to write to /nonexistent/folder/box.added");
}

// The journal under a mailbox: rows filed into a large table are appended, and every way back
// to one file reads the same rows.
class JournalledBoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store = scratch.File("mailbox");
        TAccount& account = accounts.Add(false);
        account.ID = std::string(32, 'a');
    }

    TMailBox& Open(TMailBoxes& boxes) {
        TMailBox& inbox = boxes.OpenStore(store);
        inbox.EnsureLoaded();
        return inbox;
    }

    static void Add(TMailBox& box, int first, int count) {
        for (int n = first; n < first + count; ++n) {
            TMailItem& item = box.Items.Add();
            item.Folder = box.Path;
            item.UIDL = "key" + std::to_string(n);
            item.Cache = item.UIDL + ".qbe";
            item.AccountID = std::string(32, 'a');
            item.Online = true;
            item.CachedData.Subject = "Subject " + std::to_string(n);
            item.SetSize(1000 + n);
            item.Changed();
        }
    }

    std::vector<std::string> Keys() {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        std::vector<std::string> keys;
        for (size_t i = 0; i < inbox.Items.Count(); ++i) {
            keys.push_back(inbox.Items.Items(i).UIDL);
        }
        return keys;
    }

    static std::vector<std::string> Range(int first, int count) {
        std::vector<std::string> keys;
        for (int n = first; n < first + count; ++n) {
            keys.push_back("key" + std::to_string(n));
        }
        return keys;
    }

    std::string Table() const { return store + "/Inbox/box.dat"; }
    std::string Journal() const { return store + "/Inbox/" + TRowJournal::kFileName; }

    const testing::TempFolder scratch;
    std::string store;
    TAccounts accounts;
};

TEST_F(JournalledBoxTest, AddedRowsAreJournalledAndOtherChangesWriteTheTableWhole) {
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 0, 100);
        EXPECT_FALSE(inbox.OnlyRowsAdded());
        inbox.SaveTable();  // no table file yet: written whole
    }
    EXPECT_FALSE(FileExists(Journal()));
    const std::string table = ReadBytes(Table());
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 100, 10);
        inbox.Items.Items(105).Read = true;  // a row added since the last save may change
        inbox.Items.Items(105).Changed();
        EXPECT_TRUE(inbox.OnlyRowsAdded());
        inbox.SaveTable();
        Add(inbox, 110, 5);
        inbox.SaveTable();
        EXPECT_TRUE(inbox.HasAddedRows());
    }
    EXPECT_EQ(ReadBytes(Table()), table);
    std::vector<std::string> expected = Range(0, 115);
    EXPECT_EQ(Keys(), expected);
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        const TMailItem& added = inbox.Items.Items(105);
        EXPECT_EQ(added.CachedData.Subject, "Subject 105");
        EXPECT_EQ(added.Size, 1105);
        EXPECT_TRUE(added.Read);
        EXPECT_EQ(inbox.Unread, 114);
        // A row the table file holds changes: the table is written whole, the journal goes.
        inbox.Items.Items(3).Read = true;
        inbox.Items.Items(3).Changed();
        EXPECT_FALSE(inbox.OnlyRowsAdded());
        inbox.SaveTable();
        EXPECT_FALSE(inbox.HasAddedRows());
    }
    EXPECT_FALSE(FileExists(Journal()));
    EXPECT_EQ(Keys(), expected);

    // Too many added rows for the journal: the table is written whole.
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 115, 40);
        inbox.SaveTable();
    }
    EXPECT_FALSE(FileExists(Journal()));
    EXPECT_EQ(Keys(), Range(0, 155));

    // At exit the journalled rows go into the table file.
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 155, 3);
        inbox.SaveTable();
        ASSERT_TRUE(FileExists(Journal()));
        boxes.SaveAddedRowsWhole();
    }
    EXPECT_FALSE(FileExists(Journal()));
    EXPECT_EQ(Keys(), Range(0, 158));
}

TEST_F(JournalledBoxTest, RowsWrittenAheadAreSavedOnceAndAChangeToThemWritesTheTableWhole) {
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 0, 100);
        inbox.SaveTable();
    }
    const std::string table = ReadBytes(Table());
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 100, 3);
        inbox.WriteAddedRowsAhead();
        // Before the save, the rows are in the journal already (unsynced): a process that ends
        // here leaves them for the next load, whose check learns their keys.
        EXPECT_EQ(Keys(), Range(0, 103));
        Add(inbox, 103, 2);
        inbox.WriteAddedRowsAhead();
        inbox.WriteAddedRowsAhead();  // nothing new: nothing written twice
        Add(inbox, 105, 1);
        EXPECT_TRUE(inbox.OnlyRowsAdded());
        inbox.SaveTable();
    }
    EXPECT_EQ(ReadBytes(Table()), table);
    EXPECT_EQ(Keys(), Range(0, 106));
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 106, 2);
        inbox.WriteAddedRowsAhead();
        // The journal holds the row's earlier values: only a whole write saves the change.
        inbox.Items.Items(107).Read = true;
        inbox.Items.Items(107).Changed();
        EXPECT_FALSE(inbox.OnlyRowsAdded());
        inbox.SaveTable();
    }
    EXPECT_FALSE(FileExists(Journal()));
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = Open(boxes);
    ASSERT_EQ(inbox.Items.Count(), 108u);
    EXPECT_TRUE(inbox.Items.Items(107).Read);
    EXPECT_FALSE(inbox.Items.Items(106).Read);
}

TEST_F(JournalledBoxTest, ATableReadOnItsOwnThreadIsTakenByTheFirstUse) {
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 0, 100);
        inbox.SaveTable();
        Add(inbox, 100, 5);
        inbox.SaveTable();
    }
    TMailBoxes boxes(&accounts);
    TMailBox& inbox = boxes.OpenStore(store);
    inbox.StartLoading();
    EXPECT_FALSE(inbox.Loaded);
    inbox.EnsureLoaded();
    ASSERT_TRUE(inbox.Loaded);
    EXPECT_EQ(inbox.Items.Count(), 105u);
    EXPECT_EQ(inbox.Unread, 105);
    EXPECT_TRUE(inbox.HasRowOf("key104", std::string(32, 'a')));
    EXPECT_FALSE(inbox.HasRowOf("key105", std::string(32, 'a')));

    // A read that failed is tried again by the first use, which reports the failure.
    TMailBoxes broken(&accounts);
    TMailBox& damaged = broken.OpenStore(store);
    WriteFileAtomic(Table(), "not a table");
    damaged.StartLoading();
    EXPECT_THROW(damaged.EnsureLoaded(), Error);
    EXPECT_FALSE(damaged.Loaded);
}

TEST_F(JournalledBoxTest, ACrashAroundAWholeWriteNeitherLosesNorRevivesRows) {
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 0, 100);
        inbox.SaveTable();
    }
    {
        // The table file as a loaded table writes it.
        TMailBoxes boxes(&accounts);
        Open(boxes).SaveTableWhole();
    }
    const std::string table = ReadBytes(Table());
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        Add(inbox, 100, 5);
        inbox.SaveTable();
    }
    const std::string journal = ReadBytes(Journal());
    // The five added rows are deleted again, so the whole write makes the very same table file
    // as before: only the journal's record of it tells the rows are gone.
    {
        TMailBoxes boxes(&accounts);
        TMailBox& inbox = Open(boxes);
        while (inbox.Items.Count() > 100) {
            inbox.Items.Items(100).Delete();
        }
        inbox.SaveTable();
    }
    EXPECT_EQ(ReadBytes(Table()), table);
    // Crashed after the rename, before the journal was removed: the rows stay deleted.
    TRowJournal marked(store + "/Inbox");
    WriteFileAtomic(Journal(), journal);
    ASSERT_EQ(marked.Read(StampOf(table)).size(), 5u);
    marked.Supersede(StampOf(table));
    EXPECT_EQ(Keys(), Range(0, 100));

    // Crashed before the rename of a table that holds the rows: they still count.
    WriteFileAtomic(Journal(), journal);
    TRowJournal pending(store + "/Inbox");
    ASSERT_EQ(pending.Read(StampOf(table)).size(), 5u);
    pending.Supersede(StampOf("the table that did not land"));
    EXPECT_EQ(Keys(), Range(0, 105));

    // A copy of the folder keeps its journal.
    const std::string copy = scratch.File("copy");
    std::filesystem::copy(store, copy, std::filesystem::copy_options::recursive);
    store = copy;
    EXPECT_EQ(Keys(), Range(0, 105));
}

}  // namespace
}  // namespace quobel
