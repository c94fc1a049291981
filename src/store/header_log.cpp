#include "store/header_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/file_util.h"

namespace quobel {
namespace {

constexpr std::string_view kRecordStart = "QBH ";
// A record head is short: a cache name and a number.
constexpr size_t kLongestHead = 512;

// Reads up to `length` bytes at the offset; fewer only at the end of the file or on a failure.
size_t ReadAt(int fd, char* buffer, size_t length, uint64_t offset) {
    size_t done = 0;
    while (done < length) {
        const ssize_t count =
            ::pread(fd, buffer + done, length - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<size_t>(count);
    }
    return done;
}

void AppendRecord(std::string& records, const std::string& cacheName, std::string_view block) {
    records += kRecordStart;
    records += cacheName;
    records += ' ';
    records += std::to_string(block.size());
    records += '\n';
    records += block;
    records += '\n';
}

}  // namespace

THeaderLog::THeaderLog(std::string folder) : folder_(std::move(folder)) {}

std::string THeaderLog::FileName() const {
    return JoinPath(folder_, kFileName);
}

void THeaderLog::EnsureIndexed() {
    if (indexed_) {
        return;
    }
    indexed_ = true;
    const TFileDescriptor file(::open(FileName().c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        return;  // none yet
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        return;
    }
    const auto size = static_cast<uint64_t>(status.st_size);
    // Only the heads are read: each says how far to skip to the next one.
    char head[kLongestHead];
    uint64_t at = 0;
    while (at < size) {
        const size_t got = ReadAt(file.Get(), head, sizeof head, at);
        const std::string_view text(head, got);
        const size_t newline = text.find('\n');
        if (newline == std::string_view::npos || !text.starts_with(kRecordStart)) {
            break;
        }
        const std::string_view fields =
            text.substr(kRecordStart.size(), newline - kRecordStart.size());
        const size_t blank = fields.rfind(' ');
        if (blank == std::string_view::npos || blank == 0) {
            break;
        }
        uint64_t length = 0;
        const std::string_view digits = fields.substr(blank + 1);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), length);
        const uint64_t blockStart = at + newline + 1;
        if (error != std::errc() || end != digits.data() + digits.size() ||
            length >= size - blockStart) {
            break;  // not a record, or cut short by a crash
        }
        char closing = 0;
        if (ReadAt(file.Get(), &closing, 1, blockStart + length) != 1 || closing != '\n') {
            break;
        }
        index_[std::string(fields.substr(0, blank))] = {blockStart, length};
        at = blockStart + length + 1;
        end_ = at;
    }
}

void THeaderLog::Append(const std::vector<std::pair<std::string, std::string_view>>& blocks) {
    if (blocks.empty()) {
        return;
    }
    EnsureIndexed();
    const std::string name = FileName();
    const TFileDescriptor file(::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    if (file.Get() < 0) {
        throw Error("Unable to write to " + name);
    }
    // Whatever follows the last whole record is the remains of an interrupted append.
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0 ||
        (static_cast<uint64_t>(status.st_size) != end_ &&
         ::ftruncate(file.Get(), static_cast<off_t>(end_)) != 0)) {
        throw Error("Unable to write to " + name);
    }
    std::string records;
    std::vector<std::pair<std::string, std::pair<uint64_t, uint64_t>>> added;
    added.reserve(blocks.size());
    for (const auto& [cacheName, block] : blocks) {
        const size_t headEnd = records.size() + kRecordStart.size() + cacheName.size() + 1 +
                               std::to_string(block.size()).size() + 1;
        added.push_back({cacheName, {end_ + headEnd, block.size()}});
        AppendRecord(records, cacheName, block);
    }
    if (!WriteAllAt(file.Get(), records, end_)) {
        // What was written of it is cut off again by the next append.
        throw Error("Unable to write to " + name);
    }
    end_ += records.size();
    for (auto& [cacheName, place] : added) {
        index_[std::move(cacheName)] = place;
    }
}

bool THeaderLog::Contains(const std::string& cacheName) {
    EnsureIndexed();
    return index_.contains(cacheName);
}

bool THeaderLog::Find(const std::string& cacheName, std::string& bytes) {
    EnsureIndexed();
    const auto found = index_.find(cacheName);
    if (found == index_.end()) {
        return false;
    }
    const auto [offset, length] = found->second;
    const TFileDescriptor file(::open(FileName().c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        return false;
    }
    std::string block(length, '\0');
    if (ReadAt(file.Get(), block.data(), length, offset) != length) {
        return false;
    }
    bytes = std::move(block);
    return true;
}

void THeaderLog::Compact(const std::unordered_set<std::string>& inUse) {
    EnsureIndexed();
    uint64_t live = 0;
    for (const auto& [cacheName, place] : index_) {
        if (inUse.contains(cacheName)) {
            live += place.second;
        }
    }
    // Rewritten only once most of it is dead: a compaction costs a read and a write of the
    // live blocks.
    if (end_ == 0 || live * 2 > end_) {
        return;
    }
    const std::string name = FileName();
    if (live == 0) {
        if (!DeleteFileIfExists(name)) {
            throw Error("Unable to write to " + name);
        }
        index_.clear();
        end_ = 0;
        return;
    }
    std::string records;
    decltype(index_) kept;
    std::string block;
    for (const auto& [cacheName, place] : index_) {
        if (!inUse.contains(cacheName) || !Find(cacheName, block)) {
            continue;
        }
        const size_t headEnd = records.size() + kRecordStart.size() + cacheName.size() + 1 +
                               std::to_string(block.size()).size() + 1;
        kept[cacheName] = {headEnd, block.size()};
        AppendRecord(records, cacheName, block);
    }
    WriteFileAtomic(name, records);
    index_ = std::move(kept);
    end_ = records.size();
}

}  // namespace quobel
