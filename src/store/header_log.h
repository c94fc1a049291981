#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quobel {

// The header blocks of newly checked messages of one mailbox folder, appended to one file
// ("headers.qbl") instead of one cache file each, so that filing a batch of new mail costs one
// write, not one file creation per message. An item's own cache file, once it exists (its whole
// message was fetched, or the folder was filled before the log existed), takes precedence: the
// log is only asked when that file is missing.
//
// Each record is "QBH <cache name> <length>\n", the block and "\n". Nothing is flushed to disk:
// a block lost in a system crash only leaves its row without a header block, and a row that is
// not downloaded is fetched whole when it is shown. A record cut short by a crash ends the
// readable log, and is cut off before the next append.
class THeaderLog {
  public:
    static constexpr const char* kFileName = "headers.qbl";

    explicit THeaderLog(std::string folder);

    const std::string& Folder() const { return folder_; }
    std::string FileName() const;

    // Appends the blocks, each under its cache name, in one write. Throws an Error naming the
    // file when it cannot be written; then none of the blocks can be found.
    void Append(const std::vector<std::pair<std::string, std::string_view>>& blocks);
    // The last block appended under the cache name; false when the log has none.
    bool Find(const std::string& cacheName, std::string& bytes);
    // Whether the log has a block under the cache name.
    bool Contains(const std::string& cacheName);
    // Rewrites the log (atomically) with only the blocks of the names still in use, when the
    // others take up most of it; the log goes away when none is in use.
    void Compact(const std::unordered_set<std::string>& inUse);

  private:
    // Reads the record heads once, and takes note of where the last whole record ends.
    void EnsureIndexed();

    std::string folder_;
    bool indexed_ = false;
    uint64_t end_ = 0;  // of the last whole record
    // cache name -> offset and length of its block
    std::unordered_map<std::string, std::pair<uint64_t, uint64_t>> index_;
};

}  // namespace quobel
