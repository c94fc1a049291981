#include "store/mail_box.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <system_error>
#include <unordered_set>
#include <variant>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/ini_file.h"
#include "store/box_columns.h"
#include "store/box_loader.h"

namespace quobel {
namespace {

constexpr const char* kSection = "Box";

}  // namespace

TMailBox::TMailBox(TAccounts* accounts) : Items(this), accounts_(accounts) {
    Items.OnChange = [this](TMailItems& sender, TMailItem& item) { WriteItemRow(sender, item); };
    Items.OnDelete = [this](TMailItems& sender, TMailItem& item) { DeleteItemRow(sender, item); };
}

THeaderLog& TMailBox::HeaderLog() {
    if (!headerLog_ || headerLog_->Folder() != Path) {
        headerLog_ = std::make_unique<THeaderLog>(Path);
    }
    return *headerLog_;
}

void TMailBox::WriteSettings() {
    ForceFolders(Path);
    TIniFile ini(SettingsFileName());
    ini.WriteInteger(kSection, "Type", Type);
}

void TMailBox::ReadSettings() {
    if (!FileExists(SettingsFileName())) {
        Type = 4;
        return;
    }
    const TIniFile ini(SettingsFileName());
    Type = static_cast<uint8_t>(ini.ReadInteger(kSection, "Type", 0));
    Unread = ini.ReadInteger(kSection, "Unread", 0);
}

void TMailBox::WriteUnread() {
    TIniFile ini(SettingsFileName());
    ini.WriteInteger(kSection, "Unread", Unread);
}

void TMailBox::EnsureLoaded() {
    if (Loaded) {
        return;
    }
    if (reading_.valid()) {
        std::future<TReadTable> reading = std::move(reading_);
        try {
            TakeTable(reading.get(), Path);
            return;
        } catch (const std::exception&) {
            // Read again below, which reports the failure as a read here would.
        }
    }
    LoadTable(Path);
}

void TMailBox::CheckLoaded() const {
    if (!Loaded) {
        throw Error("The mailbox \"" + Name + "\" is not loaded");
    }
}

void TMailBox::StartLoading() {
    if (Loaded || reading_.valid()) {
        return;
    }
    reading_ = std::async(std::launch::async, &TMailBox::ReadTable, Path, Format, ReadOnly, true);
}

void TMailBox::LoadTable(const std::string& folder) {
    TakeTable(ReadTable(folder, Format, ReadOnly, false), folder);
}

TMailBox::TReadTable TMailBox::ReadTable(const std::string& folder, const TTableFormat& format,
                                         bool readOnly, bool withIndex) {
    const std::string fileName = folder + "/box.dat";
    TReadTable read;
    TMemTable& loaded = read.Table;
    loaded.SetColumns(MailBoxColumns());
    // A file without index definitions keeps the mailbox's own.
    loaded.SetIndexes(MailBoxIndexes());
    // The rows stay in the file's bytes and become items when first used; nothing reaches the box
    // before all is well.
    TBoxRowCollector& collector = read.Collector;
    bool rowsTaken = false;
    std::optional<TTableStamp>& stamp = read.Stamp;
    read.Journal = std::make_unique<TRowJournal>(folder);
    if (FileExists(fileName)) {
        // Read whole, then parsed: with a 36 MB Inbox this started about 40 ms sooner than finding
        // the rows while the file arrived in 256 KiB pieces, measured side by side.
        std::shared_ptr<const TFileBytes> bytes = TTableFormat::ReadFileBytes(fileName);
        const std::string_view view = bytes->View();
        stamp = StampOf(view);
        format.Load(loaded, view, std::move(bytes), &collector);
        rowsTaken = collector.Usable();
        if (loaded.FindField("Size") < 0 || loaded.FindField("Encrypted") < 0 ||
            loaded.FindField("CachedCC") < 0) {
            // Rows are journalled only for a table of the current columns.
            stamp.reset();
            UpgradeColumns(loaded);
            if (!readOnly) {
                format.SaveToFile(loaded, fileName);
                format.LoadFromFile(loaded, fileName);
            }
            read.UpgradePending = readOnly;
            rowsTaken = false;
        } else {
            // The rows added since the file was written whole follow its own.
            std::vector<TFieldView> values;
            for (const std::string& row : read.Journal->Read(*stamp)) {
                TTableFormat::DecodeRow(row, loaded.Columns(), values);
                loaded.AppendRow(values);
                if (rowsTaken) {
                    collector.Row(loaded.LastRow(), values);
                }
            }
        }
    }
    // A table lacking a column is refused here, before more work goes into it (and again by
    // TakeTable, before the box changes).
    static_cast<void>(TBoxColumns::Of(loaded));
    if (!rowsTaken) {
        collector.CollectAll(loaded);
    }
    if (withIndex) {
        loaded.BuildIndex();
    }
    return read;
}

void TMailBox::TakeTable(TReadTable read, const std::string& folder) {
    // Resolve every column before anything changes, so that a table lacking one leaves the box
    // as it was.
    const TBoxColumns columns = TBoxColumns::Of(read.Table);
    Path = folder;
    // The items of the old rows go before the rows do.
    Items.Clear();
    Table = std::move(read.Table);
    Table.First();
    columns_ = columns;
    factory_.SetColumns(columns, folder);
    Items.ReplaceWithRows(read.Collector.TakeRows(), factory_);
    Unread = read.Collector.Unread();
    UpgradePending = read.UpgradePending;
    fileStamp_ = read.Stamp;
    journal_ = std::move(read.Journal);
    MarkSaved();
    Loaded = true;
}

void TMailBox::MarkSaved() {
    addedRows_.clear();
    added_.clear();
    rowsWritten_ = 0;
    savedRevision_ = Table.Revision();
    addedRevisions_ = 0;
}

TRowJournal& TMailBox::Journal() {
    if (!journal_ || journal_->Folder() != Path) {
        journal_ = std::make_unique<TRowJournal>(Path);
    }
    return *journal_;
}

void TMailBox::UpgradeColumns(TMemTable& loaded) {
    std::vector<TColumnDef> columns = loaded.Columns();
    const TColumnDef added[] = {TColumnDef::Make("Size", TFieldType::Integer),
                                TColumnDef::Make("Encrypted", TFieldType::Boolean),
                                TColumnDef::Make("CachedCC", TFieldType::String, 0)};
    for (const TColumnDef& column : added) {
        if (loaded.FindField(column.Name) < 0) {
            columns.push_back(column);
        }
    }
    TMemTable upgraded;
    upgraded.SetColumns(columns);
    upgraded.SetIndexes(loaded.Indexes());
    // The new columns follow the old ones, so every old cell keeps its place; the new ones
    // start null.
    std::vector<TFieldView> copy;
    loaded.ForEachRow([&](std::span<const TFieldView> values) {
        copy.assign(values.begin(), values.end());
        copy.resize(columns.size());
        upgraded.AppendRow(copy);
    });
    loaded = std::move(upgraded);
}

void TMailBox::SaveTable() {
    CheckLoaded();
    if (!JournalAddedRows()) {
        SaveTableWhole();
    }
}

bool TMailBox::JournalAddedRows() {
    if (!WriteAddedRows()) {
        return false;
    }
    try {
        Journal().Sync();
    } catch (const std::exception&) {
        // The rows may be lost whatever a later sync says: the next save writes the table whole.
        fileStamp_.reset();
        throw;
    }
    MarkSaved();
    return true;
}

bool TMailBox::WriteAddedRows() {
    // Anything changed besides the added rows (a read mark, a deletion, a row set by other
    // means) needs the whole table written.
    if (!fileStamp_ || addedRows_.empty() || Table.Revision() - savedRevision_ != addedRevisions_) {
        return false;
    }
    std::vector<std::string> rows;
    rows.reserve(addedRows_.size() - rowsWritten_);
    uint64_t bytes = 0;
    std::vector<TFieldView> values;
    // No row was deleted since (that is a change besides the additions): every one is there.
    for (size_t i = rowsWritten_; i < addedRows_.size(); ++i) {
        Table.RowValues(addedRows_[i], values);
        rows.push_back(TTableFormat::EncodeRow(Table.Columns(), values));
        bytes += rows.back().size();
    }
    // A journal that grew past a quarter of the table costs more to read at every start than
    // writing the table whole once.
    TRowJournal& journal = Journal();
    if (journal.Size() + bytes > fileStamp_->Size / 4) {
        return false;
    }
    journal.Write(*fileStamp_, rows);
    rowsWritten_ = addedRows_.size();
    return true;
}

void TMailBox::WriteAddedRowsAhead() {
    if (!Loaded || ReadOnly) {
        return;
    }
    try {
        WriteAddedRows();
    } catch (const std::exception&) {
        // The save writes them, or tells why it cannot.
    }
}

void TMailBox::SaveTableWhole() {
    CheckLoaded();
    const std::string bytes = Format.Save(Table);
    const TTableStamp stamp = StampOf(bytes);
    TRowJournal& journal = Journal();
    // The journal learns which file takes its rows before that file replaces the old one: a
    // crash on either side of the rename leaves a journal that reads right.
    journal.Supersede(stamp);
    WriteFileAtomic(TableFileName(), bytes);
    journal.Remove();
    fileStamp_ = stamp;
    UpgradePending = false;
    MarkSaved();
    CompactHeaderLog();
}

void TMailBox::CompactHeaderLog() {
    if (!headerLog_ && !FileExists(JoinPath(Path, THeaderLog::kFileName))) {
        return;
    }
    // The blocks of the rows not downloaded: a downloaded message has a cache file of its own.
    std::unordered_set<std::string> inUse;
    const TBoxColumns& c = columns_;
    Table.ForEachRow([&](std::span<const TFieldView> row) {
        const auto* downloaded = std::get_if<bool>(&row[c.Downloaded]);
        const auto* cache = std::get_if<std::string_view>(&row[c.Cache]);
        if (cache != nullptr && (downloaded == nullptr || !*downloaded)) {
            inUse.emplace(*cache);
        }
    });
    try {
        HeaderLog().Compact(inUse);
    } catch (const std::exception&) {
        // The log stays as it was, dead blocks and all: the next save tries again.
    }
}

bool TMailBox::HasRowOf(const std::string& key, const std::string& accountId) {
    CheckLoaded();
    return Table.Locate(columns_.UIDL, key) && Table.AsText(columns_.Account) == accountId;
}

void TMailBox::WriteItemRow(TMailItems& /*sender*/, TMailItem& item) {
    CheckLoaded();
    const TBoxColumns& c = columns_;
    const uint64_t revision = Table.Revision();
    const bool existing = Table.Locate(c.UIDL, item.UIDL);
    if (existing) {
        Table.Edit();
    } else {
        Table.Append();
        Table.SetString(c.UIDL, item.UIDL);
    }
    if (!item.AccountID.empty()) {
        Table.SetString(c.Account, item.AccountID);
    }
    Table.SetString(c.Cache, item.Cache);
    Table.SetBoolean(c.Online, item.Online);
    Table.SetBoolean(c.Attachments, item.Attachments);
    Table.SetBoolean(c.Read, item.Read);
    Table.SetBoolean(c.Downloaded, item.Downloaded);
    Table.SetBoolean(c.Spam, false);
    Table.SetDateTime(c.Date, item.CachedData.Date);
    Table.SetString(c.DateStr, item.CachedData.DateStr);
    Table.SetString(c.Subject, item.CachedData.Subject);
    Table.SetInteger(c.Priority, item.CachedData.Priority);
    Table.SetString(c.From, item.CachedData.From);
    Table.SetString(c.To, item.CachedData.To);
    Table.SetBoolean(c.Encrypted, item.CachedData.Encrypted);
    Table.SetString(c.CachedCC, item.CachedData.CC);
    Table.SetString(c.FromAddr, item.FromAddr);
    Table.SetString(c.Recipients, JoinLines(item.Recipients));
    Table.SetString(c.CC, JoinLines(item.CCList));
    Table.SetString(c.BCC, JoinLines(item.BCCList));
    Table.SetInteger(c.Size, item.Size);
    Table.Post();
    // A new row, or one added since the last save, can go to the journal of added rows; not
    // one that is there already with its earlier values.
    if (!existing) {
        added_.emplace(item.UIDL, addedRows_.size());
        addedRows_.push_back(Table.CurrentRef());
    }
    if (const auto found = added_.find(item.UIDL);
        found != added_.end() && found->second >= rowsWritten_) {
        addedRevisions_ += Table.Revision() - revision;
    }
}

void TMailBox::DeleteItemRow(TMailItems& /*sender*/, TMailItem& item) {
    if (Loaded && Table.Locate(columns_.UIDL, item.UIDL)) {
        Table.Delete();
    }
}

TMailBox& TMailBoxes::Add() {
    boxes_.push_back(std::make_unique<TMailBox>(accounts_));
    return *boxes_.back();
}

void TMailBoxes::LoadFromFolder(const std::string& folder) {
    Root = folder;
    boxes_.clear();
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        TMailBox& box = Add();
        box.Name = name;
        box.Path = folder + "/" + name;
        box.ReadSettings();
    }
}

void TMailBoxes::SaveAddedRowsWhole() {
    for (const auto& box : boxes_) {
        if (box->Loaded && !box->ReadOnly && box->HasAddedRows()) {
            box->SaveTableWhole();
        }
    }
}

void TMailBoxes::WriteAllUnread() {
    for (const auto& box : boxes_) {
        box->WriteUnread();
    }
}

TMailBox* TMailBoxes::FindByType(uint8_t type) {
    for (const auto& box : boxes_) {
        if (box->Type == type) {
            return box.get();
        }
    }
    return nullptr;
}

TMailBox& TMailBoxes::OpenStore(const std::string& storeFolder) {
    LoadFromFolder(storeFolder);
    return EnsureInbox(storeFolder);
}

TMailBox& TMailBoxes::EnsureInbox(const std::string& storeFolder) {
    ForceFolders(storeFolder);
    if (TMailBox* inbox = FindByType(0)) {
        return *inbox;
    }
    TMailBox& inbox = Add();
    inbox.Name = "Inbox";
    inbox.Path = storeFolder + "/Inbox";
    inbox.Type = 0;
    inbox.WriteSettings();
    return inbox;
}

}  // namespace quobel
