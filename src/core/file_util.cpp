#include "core/file_util.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>

#include "core/error.h"
#include "core/file_descriptor.h"

namespace quobel {
namespace {

// A read that a signal does not cut short.
ssize_t ReadSome(int fd, char* target, size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, target, size);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Makes the creations, renames and removals of entries in the folder durable; false when it
// cannot.
bool SyncFolder(const std::string& folder) {
    const TFileDescriptor dir(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return dir.Get() >= 0 && ::fsync(dir.Get()) == 0;
}

}  // namespace

bool WriteAllAt(int fd, std::string_view bytes, uint64_t offset) {
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::pwrite(fd, bytes.data() + written, bytes.size() - written,
                                       static_cast<off_t>(offset + written));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

bool ForceFolders(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    if (FolderExists(path)) {
        return true;
    }
    const std::string parent = ExtractFolder(path);
    if (!parent.empty() && parent != path && !ForceFolders(parent)) {
        return false;
    }
    return ::mkdir(path.c_str(), 0700) == 0 || FolderExists(path);
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return false;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    contents.clear();
    contents.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ReadSome(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            return true;
        }
        contents.append(buffer, static_cast<size_t>(got));
    }
}

std::unique_ptr<const TFileBytes> TFileBytes::Read(const std::string& path) {
    // Below this, a plain read is as quick and maps nothing.
    constexpr off_t kMapFrom = 1 << 20;
    auto bytes = std::make_unique<TFileBytes>(OnlyRead{});
    TFileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return nullptr;
    }
    if (info.st_size >= kMapFrom) {
        const auto size = static_cast<size_t>(info.st_size);
        TAnonymousMemory memory = TAnonymousMemory::Map(size);
        if (memory.Start() != nullptr) {
            auto* target = static_cast<char*>(memory.Start());
            size_t got = 0;
            while (got < size) {
                const ssize_t read = ReadSome(fd.Get(), target + got, size - got);
                if (read < 0) {
                    return nullptr;
                }
                if (read == 0) {
                    break;  // the file shrank meanwhile: what was read is the file
                }
                got += static_cast<size_t>(read);
            }
            char more = 0;
            if (ReadSome(fd.Get(), &more, 1) == 0) {
                bytes->mappedView_ = std::string_view(target, got);
                bytes->mapped_ = std::move(memory);
                return bytes;
            }
            // The file grew while it was read: read it again as it is now.
        }
    }
    if (!ReadWholeFile(path, bytes->text_)) {
        return nullptr;
    }
    return bytes;
}

TAnonymousMemory TAnonymousMemory::Map(size_t size) {
    // Huge pages where the system offers them: a 36 MB table then arrives in a few dozen page
    // faults instead of about nine thousand, which measured 4 ms of CPU time against 100 ms on a
    // virtual machine whose page faults are dear. The region is aligned to the huge page size
    // so that all of it can use them.
    constexpr size_t kHugePage = size_t{2} << 20;
    TAnonymousMemory memory;
#ifdef MADV_HUGEPAGE
    const size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* raw = ::mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return memory;
    }
    const auto address = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (address + kHugePage - 1) & ~(kHugePage - 1);
    // Give back what lies outside the aligned region.
    if (aligned > address) {
        ::munmap(raw, aligned - address);
    }
    const size_t tail = address + rounded + kHugePage - (aligned + rounded);
    if (tail > 0) {
        ::munmap(reinterpret_cast<void*>(aligned + rounded), tail);
    }
    memory.start_ = reinterpret_cast<void*>(aligned);
    memory.size_ = rounded;
    if (::madvise(memory.start_, memory.size_, MADV_HUGEPAGE) == 0) {
        return memory;
    }
    // Without huge pages, mapping every page in one step is still far cheaper than a fault for
    // each page while the file is read.
    memory = TAnonymousMemory();
#endif
    void* populated = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (populated != MAP_FAILED) {
        memory.start_ = populated;
        memory.size_ = size;
    }
    return memory;
}

TAnonymousMemory::TAnonymousMemory(TAnonymousMemory&& other) noexcept
    : start_(std::exchange(other.start_, nullptr)), size_(std::exchange(other.size_, 0)) {}

TAnonymousMemory& TAnonymousMemory::operator=(TAnonymousMemory&& other) noexcept {
    if (this != &other) {
        Release();
        start_ = std::exchange(other.start_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

TAnonymousMemory::~TAnonymousMemory() {
    Release();
}

void TAnonymousMemory::Release() {
    if (start_ != nullptr) {
        ::munmap(start_, size_);
        start_ = nullptr;
        size_ = 0;
    }
}

void WriteFileAtomic(const std::string& path, std::string_view contents,
                     FileDurability durability) {
    const bool durable = durability == FileDurability::Durable;
    const std::string temporary = path + ".tmp~";
    const Error failure("Unable to write to " + path);
    TFileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.Get() < 0) {
        throw failure;
    }
    if (!WriteAll(fd.Get(), contents) || (durable && ::fsync(fd.Get()) != 0) || !fd.Close()) {
        ::unlink(temporary.c_str());
        throw failure;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        throw failure;
    }
    if (durable) {
        // Make the rename itself durable.
        SyncFolder(ExtractFolder(path));
    }
}

bool DeleteFileIfExists(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::string ExtractFileName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtractFolder(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') {
        return folder + name;
    }
    return folder + "/" + name;
}

}  // namespace quobel
