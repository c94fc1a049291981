#include "store/mail_item.h"

#include <cerrno>
#include <cstring>

#include "core/error.h"
#include "core/file_util.h"
#include "core/format_size.h"

namespace quobel {

TMailItem::TMailItem(TMailItems& collection) : collection_(&collection) {}

TMailItem::~TMailItem() = default;

std::string TMailItem::CacheFileName() const {
    return Folder + "/" + Cache;
}

void TMailItem::ReadCacheFile(std::string& stream) const {
    std::string bytes;
    if (!ReadWholeFile(CacheFileName(), bytes)) {
        const int error = errno;
        throw Error("Cannot open file \"" + CacheFileName() + "\". " + std::strerror(error));
    }
    stream.append(bytes);
}

void TMailItem::WriteCacheFile(std::string_view bytes) {
    WriteFileAtomic(CacheFileName(), bytes);
}

void TMailItem::SetSize(int32_t size) {
    Size = size;
    SizeText = size == 0 ? "(unknown)" : FormatSize(size, false);
}

void TMailItem::Changed() {
    if (collection_->OnChange) {
        collection_->OnChange(*collection_, *this);
    }
}

void TMailItem::Delete() {
    DeleteFileIfExists(CacheFileName());
    DeleteFileIfExists(CacheFileName() + ".dec");
    const int index = collection_->IndexOf(*this);
    if (index >= 0) {
        collection_->Delete(static_cast<size_t>(index));
    }
}

TMailItem& TMailItems::Add() {
    items_.push_back(std::make_unique<TMailItem>(*this));
    return *items_.back();
}

int TMailItems::IndexOf(const TMailItem& item) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == &item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TMailItems::Delete(size_t index) {
    TMailItem& item = *items_.at(index);
    if (OnDelete) {
        OnDelete(*this, item);
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    // Tables hold one such list per column and row, each entry followed by CR LF: scanning with
    // memchr and reserving once by the LF count keeps loading a large mailbox cheap.
    const auto find = [&](char c, size_t from, size_t to) {
        if (from >= to) {
            return to;  // also keeps an empty view's null pointer away from memchr
        }
        const void* found = std::memchr(text.data() + from, c, to - from);
        return found == nullptr
                   ? to
                   : static_cast<size_t>(static_cast<const char*>(found) - text.data());
    };
    size_t breaks = 0;
    for (size_t at = find('\n', 0, text.size()); at < text.size();
         at = find('\n', at + 1, text.size())) {
        ++breaks;
    }
    std::vector<std::string> lines;
    lines.reserve(breaks + 1);
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = find('\n', start, text.size());
        const size_t cr = find('\r', start, lf);
        const size_t end = cr < lf ? cr : lf;
        lines.emplace_back(text.substr(start, end - start));
        if (end == text.size()) {
            break;
        }
        start = cr < lf && cr + 1 != lf ? cr + 1 : lf + 1;  // a lone CR, or LF / CR LF
    }
    return lines;
}

}  // namespace quobel
