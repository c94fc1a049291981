#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quobel {

// Files that the system writes hold private mail and scrambled passwords: folders it creates
// are 0700 and files it writes 0600.

// Creates the folder with every missing parent (each new one 0700). Returns false on failure.
bool ForceFolders(const std::string& path);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// Writes all the bytes at the offset of an open file (retrying short and interrupted writes);
// false on a failure, after which part of them may be written.
bool WriteAllAt(int fd, std::string_view bytes, uint64_t offset);

// Private anonymous memory, mapped for a large read and unmapped when it goes.
class TAnonymousMemory {
  public:
    // At least `size` bytes, on huge pages where the system offers them; empty when mapping fails.
    static TAnonymousMemory Map(size_t size);
    TAnonymousMemory() = default;
    TAnonymousMemory(TAnonymousMemory&& other) noexcept;
    TAnonymousMemory& operator=(TAnonymousMemory&& other) noexcept;
    TAnonymousMemory(const TAnonymousMemory&) = delete;
    TAnonymousMemory& operator=(const TAnonymousMemory&) = delete;
    ~TAnonymousMemory();

    void* Start() const { return start_; }

  private:
    void Release();

    void* start_ = nullptr;
    size_t size_ = 0;
};

// A whole file's bytes in memory of their own, read-only (a file mapped instead could be cut short
// by another program, and reading it then would kill this one). A large file is read into memory
// mapped in one step, which costs far less than growing a buffer page by page.
class TFileBytes {
    struct OnlyRead {};

  public:
    // Null when the file cannot be opened or read (errno tells why).
    static std::unique_ptr<const TFileBytes> Read(const std::string& path);
    explicit TFileBytes(OnlyRead) {}
    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;

    std::string_view View() const {
        return mapped_.Start() != nullptr ? mappedView_ : std::string_view(text_);
    }

  private:
    std::string text_;  // a small file, or one that changed while it was read
    TAnonymousMemory mapped_;
    std::string_view mappedView_;
};

// How far a write goes before it returns.
enum class FileDurability {
    // Flushed to disk, rename included: settings, accounts, tables, downloaded messages.
    Durable,
    // Renamed into place but left to the system's cache: for files the program can make again
    // (a new message's header block, fetched anew when it is shown). Still atomic: after a
    // crash the file is whole, old, or missing, never half-written.
    Rebuildable,
};

// Replaces the file atomically: a temporary file in the same folder is written, flushed to
// disk and renamed over the old one, so a crash leaves either the old or the new contents.
// Throws Error("Unable to write to " + path) on failure.
void WriteFileAtomic(const std::string& path, std::string_view contents,
                     FileDurability durability = FileDurability::Durable);

// Removes a file; true when it is gone afterwards.
bool DeleteFileIfExists(const std::string& path);

// The last path component and the folder part ("/a/b.txt" -> "b.txt", "/a").
std::string ExtractFileName(const std::string& path);
std::string ExtractFolder(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace quobel
