#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_descriptor.h"

namespace quobel {

// What identifies a table file's contents: its size and a fingerprint of its bytes. Copies of
// the file (a backup, a restored folder) keep it; any change of a byte makes another.
struct TTableStamp {
    uint64_t Size = 0;
    uint64_t Fingerprint = 0;
    bool operator==(const TTableStamp&) const = default;
};

// A fast fingerprint of bytes (not cryptographic), the same on every run and machine.
uint64_t Fingerprint(std::string_view bytes);
TTableStamp StampOf(std::string_view bytes);

// The rows added to a mailbox's table since its file was last written whole ("box.added" beside
// "box.dat"), so that filing new mail into a large table costs a write of the new rows, not of
// the whole table. The journal names the table file it extends by its stamp, and holds only
// rows that file lacks, each encoded as the table file encodes its rows and guarded by its
// fingerprint.
//
// A row is appended and synced before the account that knows its key is saved, as a table
// save is. A record cut short by a crash ends the readable journal, and is cut off before the
// next append. Before the table file is replaced by one that holds the journal's rows, the
// journal records the stamp of that file: whether the replacement then happened or not, a
// later read knows whether the journal's rows are in the table (and drops them) or not (and
// adds them).
class TRowJournal {
  public:
    static constexpr const char* kFileName = "box.added";

    explicit TRowJournal(std::string folder);

    const std::string& Folder() const { return folder_; }
    std::string FileName() const;

    // The rows the table file with the stamp lacks, in the order they were added: none when
    // there is no journal, when it extends another file, or when that file already holds them.
    // A journal that cannot be read counts as none (its rows' keys were saved only after it
    // was synced, so an unreadable journal is one a crash cut short before any key was saved).
    std::vector<std::string> Read(const TTableStamp& table);
    // Appends the rows for the table file with the stamp and syncs them (reading the journal
    // first when it was not read yet); a journal for another file is replaced. Throws Error("Unable
    // to write to NAME"); then none of the rows counts.
    void Append(const TTableStamp& table, const std::vector<std::string>& rows);
    // Append without the sync (a new journal is still created synced): until Sync, a system
    // crash may lose the rows (a record cut short ends the journal as always). Throws as Append
    // does.
    void Write(const TTableStamp& table, const std::vector<std::string>& rows);
    // Makes what Write wrote durable, through the descriptor Write wrote with, so that a failed
    // write-back in between is told. Throws Error("Unable to write to NAME"); after that, rows
    // written since the last sync may be lost whatever a later sync says: the table must be
    // written whole.
    void Sync();
    // Records, synced, that the table file is about to be replaced by the one with the stamp,
    // which holds every row of the journal. Does nothing when there is no journal.
    void Supersede(const TTableStamp& next);
    // Removes the journal once its rows are in the table file.
    void Remove();
    // The size of the journal as last read or written.
    uint64_t Size() const { return end_; }
    // Whether there is a journal with rows the table file lacks (as last read or written).
    bool HasRows() const { return rows_ > 0; }

  private:
    // Writes the records after the last whole record, cutting off what follows it.
    void WriteRecords(std::string_view records);

    std::string folder_;
    // Which table file the journal on disk extends, and where its last whole record ends; a
    // journal not known to extend `base_` is replaced whole by the next append.
    bool read_ = false;
    bool current_ = false;
    TTableStamp base_;
    uint64_t end_ = 0;
    uint64_t rows_ = 0;
    // The journal as open for the records Write wrote and Sync has yet to sync.
    TFileDescriptor unsynced_;
};

}  // namespace quobel
