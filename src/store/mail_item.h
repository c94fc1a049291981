#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time.h"
#include "core/handle.h"
#include "store/table_row_ref.h"

namespace quobel {

class TAccount;
class TMailBox;
class TMailItems;
class TQBMessage;
struct TParsedHeader;

// An item's identity in views, the same before and after it is made. Only its collection reads it.
using TMailItemKey = THandle<struct TMailItemKind>;

// The texts a message list shows for an item.
struct TCachedData {
    std::string Subject;
    std::string From;  // display name, or the address when the name is empty
    std::string To;    // names (or addresses) of the To contacts joined with ", "
    std::string CC;    // the same for the CC contacts
    // Delivered-for address, or "(unknown)"; empty for items read back from the table.
    std::string DeliveredTo;
    std::string DateStr;  // Date as "mm-dd-yyyy hh:nn:ss"
    TDateTime Date = 0;
    int32_t Priority = 0;  // 1 highest .. 5 lowest, 0 without a priority header
    bool Encrypted = false;
};

// The local record of one message seen on a POP3 server, and its cache file (the header block
// at first, the whole message once it was fetched).
class TMailItem {
  public:
    using TLoadBeginEvent = std::function<void(TMailItem& Sender, int64_t Size)>;
    using TLoadProgressEvent = std::function<void(TMailItem& Sender, int64_t Position)>;
    using TNotifyEvent = std::function<void(TMailItem& Sender)>;

    explicit TMailItem(TMailItems& collection);
    ~TMailItem();
    TMailItem(const TMailItem&) = delete;
    TMailItem& operator=(const TMailItem&) = delete;

    // The ID of the account the message came from (empty when unknown). Items hold no pointer:
    // an account removed from the registry leaves nothing to clear.
    std::string AccountID;
    bool Attachments = false;
    TCachedData CachedData;
    bool Downloaded = false;
    std::string Cache;   // cache file name without folder
    std::string Folder;  // the mailbox folder
    bool Read = false;
    std::string UIDL;  // message key
    bool Online = false;
    void* ListNode = nullptr;  // the list view's node; owned by the view
    int32_t Size = 0;
    std::string SizeText = "(unknown)";
    std::string FromAddr;
    std::vector<std::string> Recipients;
    std::vector<std::string> CCList;
    std::vector<std::string> BCCList;

    TLoadBeginEvent OnLoadBegin;
    TLoadProgressEvent OnLoadProgress;
    TNotifyEvent OnLoadEnd;

    TMailItems& Collection() const { return *collection_; }
    // The account of AccountID as its box's registry has it now; null when the registry does
    // not know it (removed, or no registry).
    TAccount* Account() const;

    // The parsed message of an item made from newly downloaded headers. Created on first use:
    // items read back from the table never need one, and a box may hold a great many items.
    TQBMessage& Message();
    bool HasMessage() const { return message_ != nullptr; }

    // Parses the header lines (each followed by CR LF) into a fresh Message, then
    // FillFromMessage.
    void LoadFromHeaderLines(const std::vector<std::string>& lines);
    void FillFromMessage();
    // Takes the list texts and addresses of a header block parsed elsewhere.
    void FillFromParsed(const TParsedHeader& parsed);
    // Writes the Source of Message as the cache file.
    void SaveMessage();
    // Writes a header block as the cache file, as SaveMessage does.
    void SaveHeaderBlock(std::string_view source);
    // Parses the cache file into the caller's message: OnLoadBegin (with the file's size),
    // OnLoadProgress while parsing, then, also after a failure, Attachments from the message
    // and OnLoadEnd. Failures are passed on.
    void LoadMessage(TQBMessage& message);
    // Appends the whole cache file to the bytes: the file of its own, or else the header block
    // its folder's header log keeps.
    void ReadCacheFile(std::string& stream) const;
    // The same, false when there is neither (errno tells why the file could not be read).
    bool TryReadCacheFile(std::string& bytes) const;
    // Replaces the cache file with the bytes.
    void WriteCacheFile(std::string_view bytes);

    void SetSize(int32_t size);
    // Reports a change to the collection (the mailbox writes the item's row).
    void Changed();
    // Removes the cache file and its ".dec" companion (missing ones are fine), then the item
    // from its collection, which frees it: the item must not be used afterwards.
    void Delete();

    std::string CacheFileName() const;

  private:
    friend class TMailItems;
    using MessagePtr = std::unique_ptr<TQBMessage, void (*)(TQBMessage*)>;
    static MessagePtr NewMessage();

    TMailItems* collection_;
    TMailItemKey slot_;  // the collection's place of the item, its key in views
    MessagePtr message_{nullptr, nullptr};
};

// What lists need of every item of a box (to count, sort and mark it) before the item is made.
struct TMailItemSummary {
    TDateTime Date = 0;
    int32_t Size = 0;
    int32_t Priority = 0;
    bool Read = false;
    bool Attachments = false;
};

// An item's key and list texts as they stand, made or not: views valid until the item or its
// row changes.
struct TMailItemPeek {
    std::string_view UIDL, Subject, From, To, DateStr;
    TAccount* Account = nullptr;  // as the registry has it now
    TMailItemSummary Summary;
};

// Where the items of a mailbox's rows come from when they are first used.
class TMailItemFactory {
  public:
    using TRowRef = TTableRowRef;
    virtual ~TMailItemFactory() = default;
    virtual void Fill(TMailItem& item, TRowRef row) const = 0;
    virtual TMailItemPeek Peek(TRowRef row, const TMailItemSummary& summary) const = 0;
};

// A table row waiting to become an item.
struct TPendingItem {
    TMailItemFactory::TRowRef Row = nullptr;
    TMailItemSummary Summary;
};

// The ordered items of one mailbox. Items read from a table are made from their rows when first
// used, so that a box of a hundred thousand messages can be listed, counted and sorted at once;
// until then each is known by its summary and its key.
class TMailItems {
  public:
    using TMailChangeEvent = std::function<void(TMailItems& Sender, TMailItem& Item)>;
    using TKey = TMailItemKey;

    explicit TMailItems(TMailBox* box = nullptr) : Box(box) {}
    TMailItems(const TMailItems&) = delete;
    TMailItems& operator=(const TMailItems&) = delete;

    TMailItem& Add();
    size_t Count() const { return order_.size(); }
    TMailItem& Items(size_t index) { return Made(*order_.at(index)); }
    const TMailItem& Items(size_t index) const { return Made(*order_.at(index)); }
    // -1 when the item is not in this collection.
    int IndexOf(const TMailItem& item) const;
    // Whether the address is that of an item in this collection; it may be one freed already.
    bool Contains(const TMailItem* item) const;
    // Fires OnDelete, then removes and frees the item.
    void Delete(size_t index);
    // Frees every item without events.
    void Clear();
    // Frees every item and takes rows whose items the factory (which must outlive them) makes
    // when they are first used.
    void ReplaceWithRows(const std::vector<TPendingItem>& rows, const TMailItemFactory& factory);
    void Reserve(size_t count) { order_.reserve(count); }

    // Without making the item.
    bool IsMade(size_t index) const { return order_.at(index)->Item != nullptr; }
    bool IsRead(size_t index) const;
    TMailItemPeek Peek(size_t index) const { return PeekSlot(*order_.at(index)); }
    TKey KeyAt(size_t index) const { return TKey(order_.at(index)); }

    // Keys lead back to their items, which are made if need be. A key of a deleted item is
    // refused with an Error.
    static TKey KeyOf(const TMailItem& item) { return item.slot_; }
    static TMailItem& ItemOf(TKey key);
    static TMailItemPeek PeekOf(TKey key);
    static TMailItemSummary SummaryOf(TKey key);

    TMailChangeEvent OnChange;
    TMailChangeEvent OnDelete;
    TMailBox* Box;  // not owned

  private:
    struct Slot {
        TMailItems* Owner = nullptr;
        mutable std::unique_ptr<TMailItem> Item;  // made on first use
        TMailItemFactory::TRowRef Row = nullptr;  // null once deleted
        TMailItemSummary Summary;
    };

    Slot& NewSlot();
    // The slot a key stands for: the one place that turns a key back.
    static const Slot& SlotOf(TKey key) { return *static_cast<const Slot*>(key.Address()); }
    TMailItem& Made(const Slot& slot) const;
    TMailItemPeek PeekSlot(const Slot& slot) const;

    // Never moves a slot: keys point into it. Chunks grow with the box, so that a large box is
    // a few blocks in the order of its rows.
    std::vector<std::unique_ptr<Slot[]>> chunks_;
    size_t chunkSize_ = 0;
    size_t chunkUsed_ = 0;
    std::vector<Slot*> order_;
    const TMailItemFactory* factory_ = nullptr;
};

// A list as one table text: each entry followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// The reverse, splitting at CR LF, CR or LF; a final line break adds no empty entry.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quobel
