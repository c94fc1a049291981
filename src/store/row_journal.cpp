#include "store/row_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstring>

#include "core/error.h"
#include "core/file_descriptor.h"
#include "core/file_util.h"

namespace quobel {
namespace {

constexpr std::string_view kMagic = "QBJ1";
constexpr size_t kHeaderSize = 4 + 8 + 8;
// A record: its kind, the payload's length and fingerprint, then the payload.
constexpr size_t kRecordHeadSize = 1 + 4 + 8;
constexpr char kRow = 'R';
constexpr char kSuperseded = 'S';

uint64_t LoadLittleEndian(const char* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value |= static_cast<uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return value;
}

// LoadLittleEndian(bytes, 8) in one load: the fingerprint of a large table reads every word.
uint64_t LoadWord(const char* bytes) {
    uint64_t value = 0;
    std::memcpy(&value, bytes, sizeof value);
    if constexpr (std::endian::native == std::endian::big) {
        value = __builtin_bswap64(value);
    }
    return value;
}

void PutLittleEndian(std::string& out, uint64_t value, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out.push_back(static_cast<char>(value >> (8 * i)));
    }
}

void PutStamp(std::string& out, const TTableStamp& stamp) {
    PutLittleEndian(out, stamp.Size, 8);
    PutLittleEndian(out, stamp.Fingerprint, 8);
}

TTableStamp ReadStamp(const char* bytes) {
    return {LoadLittleEndian(bytes, 8), LoadLittleEndian(bytes + 8, 8)};
}

void PutRecord(std::string& out, char kind, std::string_view payload) {
    out.push_back(kind);
    PutLittleEndian(out, payload.size(), 4);
    PutLittleEndian(out, Fingerprint(payload), 8);
    out.append(payload);
}

uint64_t Mix(uint64_t value) {
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    return value;
}

}  // namespace

uint64_t Fingerprint(std::string_view bytes) {
    // Four independent lanes of multiply and rotate over 32-byte steps: a large table file is
    // fingerprinted at memory speed while it is read.
    constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
    constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
    uint64_t lanes[4] = {kPrime1, kPrime2, ~kPrime1, ~kPrime2};
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left >= 32) {
        for (size_t lane = 0; lane < 4; ++lane) {
            const uint64_t word = LoadWord(data + 8 * lane);
            uint64_t value = lanes[lane] + word * kPrime2;
            value = (value << 31) | (value >> 33);
            lanes[lane] = value * kPrime1;
        }
        data += 32;
        left -= 32;
    }
    uint64_t result = bytes.size();
    for (const uint64_t lane : lanes) {
        result = Mix(result ^ lane) * kPrime1;
    }
    while (left >= 8) {
        result = Mix(result ^ LoadWord(data)) * kPrime2;
        data += 8;
        left -= 8;
    }
    result = Mix(result ^ LoadLittleEndian(data, left) ^ (left << 56));
    return result;
}

TTableStamp StampOf(std::string_view bytes) {
    return {bytes.size(), Fingerprint(bytes)};
}

TRowJournal::TRowJournal(std::string folder) : folder_(std::move(folder)) {}

std::string TRowJournal::FileName() const {
    return JoinPath(folder_, kFileName);
}

std::vector<std::string> TRowJournal::Read(const TTableStamp& table) {
    read_ = true;
    current_ = false;
    end_ = 0;
    rows_ = 0;
    unsynced_ = TFileDescriptor();
    std::string bytes;
    if (!ReadWholeFile(FileName(), bytes) || bytes.size() < kHeaderSize ||
        !bytes.starts_with(kMagic) || ReadStamp(bytes.data() + kMagic.size()) != table) {
        return {};  // none, or one for another table file: the next append replaces it
    }
    std::vector<std::string> rows;
    size_t at = kHeaderSize;
    while (bytes.size() - at >= kRecordHeadSize) {
        const char kind = bytes[at];
        const uint64_t length = LoadLittleEndian(bytes.data() + at + 1, 4);
        const uint64_t fingerprint = LoadLittleEndian(bytes.data() + at + 5, 8);
        const size_t payloadAt = at + kRecordHeadSize;
        if (length > bytes.size() - payloadAt) {
            break;  // cut short
        }
        const std::string_view payload(bytes.data() + payloadAt, length);
        if (Fingerprint(payload) != fingerprint || (kind != kRow && kind != kSuperseded) ||
            (kind == kSuperseded && length != 16)) {
            break;
        }
        if (kind == kSuperseded && ReadStamp(payload.data()) == table) {
            return {};  // the table file holds these rows already
        }
        if (kind == kRow) {
            rows.emplace_back(payload);
        }
        at = payloadAt + length;
    }
    current_ = true;
    base_ = table;
    end_ = at;
    rows_ = rows.size();
    return rows;
}

void TRowJournal::Append(const TTableStamp& table, const std::vector<std::string>& rows) {
    Write(table, rows);
    Sync();
}

void TRowJournal::Write(const TTableStamp& table, const std::vector<std::string>& rows) {
    if (rows.empty()) {
        return;
    }
    if (!read_) {
        Read(table);
    }
    std::string records;
    for (const std::string& row : rows) {
        PutRecord(records, kRow, row);
    }
    if (!current_ || base_ != table) {
        std::string whole(kMagic);
        PutStamp(whole, table);
        whole += records;
        WriteFileAtomic(FileName(), whole);
        // Records written to the file this one replaces need no sync any more.
        unsynced_ = TFileDescriptor();
        read_ = true;
        current_ = true;
        base_ = table;
        end_ = whole.size();
        rows_ = rows.size();
        return;
    }
    WriteRecords(records);
    rows_ += rows.size();
}

void TRowJournal::Sync() {
    if (!unsynced_.IsOpen()) {
        return;
    }
    const TFileDescriptor file = std::move(unsynced_);
    if (::fdatasync(file.Get()) != 0) {
        throw Error("Unable to write to " + FileName());
    }
}

void TRowJournal::Supersede(const TTableStamp& next) {
    if (!current_) {
        // A journal left over from another table file holds nothing the table needs; gone
        // before the table is replaced, it can never be taken for the new one's.
        DeleteFileIfExists(FileName());
        return;
    }
    std::string record;
    std::string stamp;
    PutStamp(stamp, next);
    PutRecord(record, kSuperseded, stamp);
    WriteRecords(record);
    Sync();
}

void TRowJournal::WriteRecords(std::string_view records) {
    const std::string name = FileName();
    if (!unsynced_.IsOpen()) {
        unsynced_ = TFileDescriptor(::open(name.c_str(), O_WRONLY | O_CLOEXEC));
    }
    const int file = unsynced_.Get();
    struct stat status {};
    // Whatever follows the last whole record is the remains of an interrupted append.
    if (file < 0 || ::fstat(file, &status) != 0 ||
        (static_cast<uint64_t>(status.st_size) != end_ &&
         ::ftruncate(file, static_cast<off_t>(end_)) != 0) ||
        !WriteAllAt(file, records, end_)) {
        throw Error("Unable to write to " + name);
    }
    end_ += records.size();
}

void TRowJournal::Remove() {
    // A journal that cannot be removed names the table file that holds its rows: it is read
    // as empty, and replaced by the next append.
    DeleteFileIfExists(FileName());
    read_ = true;
    current_ = false;
    end_ = 0;
    rows_ = 0;
    unsynced_ = TFileDescriptor();
}

}  // namespace quobel
