#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/box_loader.h"
#include "store/header_log.h"
#include "store/mail_item.h"
#include "store/mem_table.h"
#include "store/row_journal.h"
#include "store/table_format.h"

namespace quobel {

class TAccounts;

// One folder of the local store: "box.bsf" (type and unread counter), the table "box.dat" with
// one row per item, the rows added since the table file was last written whole ("box.added"),
// and the items' cache files.
class TMailBox {
  public:
    // Items name their account through the registry (not owned; may be null).
    explicit TMailBox(TAccounts* accounts = nullptr);
    TMailBox(const TMailBox&) = delete;
    TMailBox& operator=(const TMailBox&) = delete;

    std::string Name;
    TMailItems Items;
    uint8_t Type = 0;  // 0 is the Inbox
    std::string Path;  // the box folder, without a trailing "/"
    int32_t Unread = 0;
    TMemTable Table;
    TTableFormat Format;
    bool Loaded = false;
    // For readers that only look: an old table is upgraded in memory and its file left as it is,
    // and UpgradePending says so.
    bool ReadOnly = false;
    bool UpgradePending = false;

    std::string SettingsFileName() const { return Path + "/box.bsf"; }
    std::string TableFileName() const { return Path + "/box.dat"; }

    // Creates the folder and writes "Type" into box.bsf.
    void WriteSettings();
    // Type and Unread from box.bsf; without the file, Type 4 and Unread unchanged.
    void ReadSettings();
    void WriteUnread();

    // Loads the table when it is not loaded, taking the read StartLoading began when there is
    // one (and reading again when that read failed).
    void EnsureLoaded();
    // Reads the folder's box.dat into Table and makes one item per row. Unread becomes the
    // number of unread rows. A file that cannot be read leaves the box not loaded, its items and
    // its file as they were, and the error is passed on.
    void LoadTable(const std::string& folder);
    // Starts reading the table of Path on a thread of its own, the table's index included, for
    // EnsureLoaded to take: a check that may need the table reads it while it talks to the
    // server. Until EnsureLoaded the box stays as it was (not loaded), and Path must not change.
    void StartLoading();
    // Saves Table: when the only changes since the last save are rows added through the items,
    // by appending them to the journal of added rows, else (and once the journal would grow
    // past a quarter of the table file) by replacing box.dat whole (atomically), which takes
    // the journal in. Refused for a box that is not loaded, so a box whose file could not be
    // read never overwrites it. After a whole write the header log drops the blocks no row
    // needs any more, once they are most of it.
    void SaveTable();
    // Replaces box.dat whole, taking the journal of added rows in (at exit, so that the table
    // file alone holds every row).
    void SaveTableWhole();
    // Whether the next SaveTable would only append added rows to the journal (nothing else
    // changed since the last save, and there is a table file to extend).
    bool OnlyRowsAdded() const {
        return Loaded && fileStamp_ && Table.Revision() - savedRevision_ == addedRevisions_;
    }
    // Writes the rows added since the last save to the journal ahead of that save, without
    // syncing them, so that the save has little left to do: a check calls it after each batch.
    // Does nothing when the next save would write the table whole; a failure leaves the rows
    // to the save.
    void WriteAddedRowsAhead();
    // Whether rows live in the journal of added rows, not yet in box.dat.
    bool HasAddedRows() const { return journal_ != nullptr && journal_->HasRows(); }

    // The header blocks of the box's folder (Path) that have no cache file of their own.
    THeaderLog& HeaderLog();

    // The registry the items' accounts are looked up in; may be null.
    TAccounts* Accounts() const { return accounts_; }

    // Whether the table has a row of the key, and that row is of the account (by ID); through
    // the table's index, so asking for every message of a check is cheap however large the box.
    bool HasRowOf(const std::string& key, const std::string& accountId);

    // Bound to the items' OnChange and OnDelete.
    void WriteItemRow(TMailItems& sender, TMailItem& item);
    void DeleteItemRow(TMailItems& sender, TMailItem& item);

  private:
    // A table as read from its folder, not yet the box's.
    struct TReadTable {
        TMemTable Table;
        TBoxRowCollector Collector;
        std::optional<TTableStamp> Stamp;
        std::unique_ptr<TRowJournal> Journal;
        bool UpgradePending = false;
    };
    // Touches nothing of the box: it may run on another thread.
    static TReadTable ReadTable(const std::string& folder, const TTableFormat& format,
                                bool readOnly, bool withIndex);
    void TakeTable(TReadTable read, const std::string& folder);
    void CheckLoaded() const;
    static void UpgradeColumns(TMemTable& loaded);
    void CompactHeaderLog();
    TRowJournal& Journal();
    // Appends the rows added since the last save to the journal and syncs it; false when they
    // belong in a whole write instead.
    bool JournalAddedRows();
    // Writes the added rows not yet written to the journal, unsynced; false when they belong in
    // a whole write instead.
    bool WriteAddedRows();
    // After a load or a save: nothing is waiting to be saved.
    void MarkSaved();

    TAccounts* accounts_;
    std::unique_ptr<THeaderLog> headerLog_;
    std::unique_ptr<TRowJournal> journal_;
    // What box.dat holds, when known: only then can rows be added to it by the journal.
    std::optional<TTableStamp> fileStamp_;
    // The rows added through the items since the last save (and, by key, their places there),
    // how many of them the journal holds already, the table's revision at that save, and how
    // much of the change since was those additions.
    std::vector<TMemTable::TRowRef> addedRows_;
    std::unordered_map<std::string, size_t> added_;
    size_t rowsWritten_ = 0;
    uint64_t savedRevision_ = 0;
    uint64_t addedRevisions_ = 0;
    TBoxColumns columns_{};
    TBoxItemFactory factory_{Table, accounts_};
    // Last: a read still running is waited for before anything else goes.
    std::future<TReadTable> reading_;
};

// Every mailbox of the store folder.
class TMailBoxes {
  public:
    explicit TMailBoxes(TAccounts* accounts = nullptr) : accounts_(accounts) {}
    TMailBoxes(const TMailBoxes&) = delete;
    TMailBoxes& operator=(const TMailBoxes&) = delete;

    std::string Root;

    TMailBox& Add();
    TMailBox& Items(size_t index) { return *boxes_.at(index); }
    size_t Count() const { return boxes_.size(); }

    // One box per sub-folder, in name order, with its settings read (not its table).
    void LoadFromFolder(const std::string& folder);
    void WriteAllUnread();
    // Writes whole every table whose added rows are journalled (at exit); throws Error.
    void SaveAddedRowsWhole();
    TMailBox* FindByType(uint8_t type);

    // Creates the store folder if missing, lists its boxes and makes sure an Inbox (type 0)
    // exists: a new one is "Inbox" with a box.bsf holding only its type. Returns the Inbox.
    TMailBox& OpenStore(const std::string& storeFolder);
    // OpenStore's last two steps, for boxes listed already.
    TMailBox& EnsureInbox(const std::string& storeFolder);

  private:
    TAccounts* accounts_;
    std::vector<std::unique_ptr<TMailBox>> boxes_;
};

}  // namespace quobel
