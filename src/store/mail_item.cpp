#include "store/mail_item.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "accounts/accounts.h"
#include "core/error.h"
#include "core/file_util.h"
#include "core/format_size.h"
#include "store/header_log.h"
#include "store/mail_box.h"

namespace quobel {
namespace {

TMailItemSummary SummaryOfItem(const TMailItem& item) {
    TMailItemSummary summary;
    summary.Date = item.CachedData.Date;
    summary.Size = item.Size;
    summary.Priority = item.CachedData.Priority;
    summary.Read = item.Read;
    summary.Attachments = item.Attachments;
    return summary;
}

}  // namespace

TMailItem::TMailItem(TMailItems& collection) : collection_(&collection) {}

TMailItem::~TMailItem() = default;

std::string TMailItem::CacheFileName() const {
    return Folder + "/" + Cache;
}

bool TMailItem::TryReadCacheFile(std::string& bytes) const {
    if (ReadWholeFile(CacheFileName(), bytes)) {
        return true;
    }
    const int error = errno;
    bool found = false;
    if (TMailBox* box = collection_->Box; box != nullptr && box->Path == Folder) {
        found = box->HeaderLog().Find(Cache, bytes);
    } else {
        THeaderLog log(Folder);
        found = log.Find(Cache, bytes);
    }
    errno = error;
    return found;
}

void TMailItem::ReadCacheFile(std::string& stream) const {
    std::string bytes;
    if (!TryReadCacheFile(bytes)) {
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

TAccount* TMailItem::Account() const {
    const TMailBox* box = collection_->Box;
    if (AccountID.empty() || box == nullptr || box->Accounts() == nullptr) {
        return nullptr;
    }
    return box->Accounts()->FindByID(AccountID);
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

TMailItems::Slot& TMailItems::NewSlot() {
    if (chunkUsed_ == chunkSize_) {
        constexpr size_t kFirst = 64;
        constexpr size_t kLargest = 8192;
        chunkSize_ = std::clamp(order_.size(), kFirst, kLargest);
        chunks_.push_back(std::make_unique<Slot[]>(chunkSize_));
        chunkUsed_ = 0;
    }
    Slot& slot = chunks_.back()[chunkUsed_++];
    slot.Owner = this;
    order_.push_back(&slot);
    return slot;
}

TMailItem& TMailItems::Add() {
    Slot& slot = NewSlot();
    slot.Item = std::make_unique<TMailItem>(*this);
    slot.Item->slot_ = TKey(&slot);
    return *slot.Item;
}

TMailItem& TMailItems::Made(const Slot& slot) const {
    if (slot.Item == nullptr) {
        if (slot.Row == nullptr || factory_ == nullptr) {
            throw Error("The message is no longer in its mailbox");
        }
        auto item = std::make_unique<TMailItem>(*slot.Owner);
        item->slot_ = TKey(&slot);
        factory_->Fill(*item, slot.Row);
        slot.Item = std::move(item);
    }
    return *slot.Item;
}

TMailItemPeek TMailItems::PeekSlot(const Slot& slot) const {
    if (slot.Item == nullptr) {
        if (slot.Row == nullptr || factory_ == nullptr) {
            throw Error("The message is no longer in its mailbox");
        }
        return factory_->Peek(slot.Row, slot.Summary);
    }
    const TMailItem& item = *slot.Item;
    TMailItemPeek peek;
    peek.UIDL = item.UIDL;
    peek.Subject = item.CachedData.Subject;
    peek.From = item.CachedData.From;
    peek.To = item.CachedData.To;
    peek.DateStr = item.CachedData.DateStr;
    peek.Account = item.Account();
    peek.Summary = SummaryOfItem(item);
    return peek;
}

bool TMailItems::IsRead(size_t index) const {
    const Slot& slot = *order_.at(index);
    return slot.Item != nullptr ? slot.Item->Read : slot.Summary.Read;
}

TMailItem& TMailItems::ItemOf(TKey key) {
    const Slot& slot = SlotOf(key);
    return slot.Owner->Made(slot);
}

TMailItemPeek TMailItems::PeekOf(TKey key) {
    const Slot& slot = SlotOf(key);
    return slot.Owner->PeekSlot(slot);
}

TMailItemSummary TMailItems::SummaryOf(TKey key) {
    const Slot& slot = SlotOf(key);
    if (slot.Item == nullptr) {
        return slot.Summary;
    }
    return SummaryOfItem(*slot.Item);
}

bool TMailItems::Contains(const TMailItem* item) const {
    return item != nullptr && std::any_of(order_.begin(), order_.end(), [item](const Slot* slot) {
               return slot->Item.get() == item;
           });
}

int TMailItems::IndexOf(const TMailItem& item) const {
    for (size_t i = 0; i < order_.size(); ++i) {
        if (TKey(order_[i]) == item.slot_ && order_[i]->Item.get() == &item) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void TMailItems::Delete(size_t index) {
    Slot& slot = *order_.at(index);
    TMailItem& item = Made(slot);
    if (OnDelete) {
        OnDelete(*this, item);
    }
    order_.erase(order_.begin() + static_cast<std::ptrdiff_t>(index));
    slot.Item.reset();
    slot.Row = nullptr;
}

void TMailItems::Clear() {
    order_.clear();
    chunks_.clear();
    chunkSize_ = 0;
    chunkUsed_ = 0;
    factory_ = nullptr;
}

void TMailItems::ReplaceWithRows(const std::vector<TPendingItem>& rows,
                                 const TMailItemFactory& factory) {
    Clear();
    factory_ = &factory;
    order_.reserve(rows.size());
    for (const TPendingItem& row : rows) {
        Slot& slot = NewSlot();
        slot.Row = row.Row;
        slot.Summary = row.Summary;
    }
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
