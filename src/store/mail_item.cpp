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
    // Tables hold one such list per column and row: counting first keeps it to one allocation
    // for the vector.
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };
    size_t breaks = 0;
    for (const char c : text) {
        breaks += isBreak(c) ? 1 : 0;
    }
    std::vector<std::string> lines;
    lines.reserve(breaks + 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && !isBreak(text[end])) {
            ++end;
        }
        lines.emplace_back(text.substr(start, end - start));
        if (end == text.size()) {
            break;
        }
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

}  // namespace quobel
