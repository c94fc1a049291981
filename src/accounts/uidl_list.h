#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quobel {

// The keys of the messages an account already knows, in list order (the order they are saved
// in). Membership ignores letter case and takes constant time: a case-folded count of every key
// is kept beside the list. Duplicates are allowed, as in any list.
class TUidlList {
  public:
    size_t Count() const { return keys_.size(); }
    bool Empty() const { return keys_.empty(); }
    const std::string& operator[](size_t index) const { return keys_[index]; }
    const std::vector<std::string>& Keys() const { return keys_; }

    bool Contains(std::string_view key) const;
    void Add(std::string key);
    // Removes the first entry equal to the key without regard to case; false if none.
    bool Remove(std::string_view key);
    void Clear();
    void Assign(std::vector<std::string>&& keys);
    // The same, copying the keys only when they differ from the list's.
    void Assign(const std::vector<std::string>& keys);

    bool operator==(const TUidlList& other) const { return keys_ == other.keys_; }

    // Whether the list changed since it was last marked as saved; a new list is unsaved. An
    // account file is rewritten only when its known keys changed: with many keys, a rewrite
    // costs more than the check that found nothing new.
    bool Unsaved() const { return changes_ != savedAt_; }
    void MarkSaved() { savedAt_ = changes_; }

  private:
    std::vector<std::string> keys_;
    uint64_t changes_ = 1;
    uint64_t savedAt_ = 0;
    std::unordered_map<std::string, size_t> folded_;  // lower-case key -> occurrences
};

}  // namespace quobel
