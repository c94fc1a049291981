#include "accounts/uidl_list.h"

#include <algorithm>

#include "core/ini_file.h"
#include "core/strings.h"

namespace quobel {

bool TUidlList::Contains(std::string_view key) const {
    return folded_.contains(ToLowerAscii(key));
}

void TUidlList::Add(std::string key) {
    ++folded_[ToLowerAscii(key)];
    keys_.push_back(std::move(key));
    ++changes_;
}

bool TUidlList::Remove(std::string_view key) {
    const std::string lower = ToLowerAscii(key);
    const auto count = folded_.find(lower);
    if (count == folded_.end()) {
        return false;
    }
    for (auto it = keys_.begin(); it != keys_.end(); ++it) {
        if (SameTextAscii(*it, lower)) {
            keys_.erase(it);
            break;
        }
    }
    if (--count->second == 0) {
        folded_.erase(count);
    }
    ++changes_;
    return true;
}

void TUidlList::Clear() {
    if (!keys_.empty()) {
        ++changes_;
    }
    keys_.clear();
    folded_.clear();
}

void TUidlList::Assign(const std::vector<std::string>& keys) {
    if (keys != keys_) {
        Assign(std::vector<std::string>(keys));
    }
}

void TUidlList::Assign(std::vector<std::string>&& keys) {
    if (keys == keys_) {
        return;  // a check that found nothing new: the list stays as it is, saved or not
    }
    ++changes_;
    keys_ = std::move(keys);
    folded_.clear();
    folded_.reserve(keys_.size());
    for (const std::string& key : keys_) {
        ++folded_[ToLowerAscii(key)];
    }
}

}  // namespace quobel
