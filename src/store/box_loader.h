#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "store/mail_item.h"
#include "store/mem_table.h"
#include "store/table_format.h"

namespace quobel {

class TAccount;
class TAccounts;

// Where each value of a mailbox's items lives in its table.
struct TBoxColumns {
    int UIDL, Cache, Account, Online, Attachments, Read, Downloaded, Spam, Date, DateStr, Subject,
        Priority, From, To, FromAddr, Recipients, CC, BCC, Size, Encrypted, CachedCC;

    // Throws Error("Field 'NAME' not found") for the first column the table lacks.
    static TBoxColumns Of(const TMemTable& table);
    // False when a column is missing.
    static bool TryOf(const std::vector<TColumnDef>& columns, TBoxColumns& result);
};

// Collects a mailbox's rows as a read delivers them: each becomes an item waiting to be made,
// with what lists need of it. Nothing reaches the collection until TakeRows, so that a read that
// fails leaves it as it was.
class TBoxRowCollector : public TTableRowSink {
  public:
    void Columns(const std::vector<TColumnDef>& columns) override;
    void Row(TMemTable::TRowRef row, std::span<const TFieldView> values) override;

    // Whether every row delivered so far was taken (false when a column was missing).
    bool Usable() const { return usable_; }
    // Starts again from the rows of a complete table.
    void CollectAll(const TMemTable& table);
    std::vector<TPendingItem> TakeRows() { return std::move(rows_); }
    int32_t Unread() const { return unread_; }

  private:
    TBoxColumns columns_{};
    bool usable_ = false;
    std::vector<TPendingItem> rows_;
    int32_t unread_ = 0;
};

// Makes a mailbox's items from the rows of its table, which must outlive it.
class TBoxItemFactory : public TMailItemFactory {
  public:
    TBoxItemFactory(const TMemTable& table, TAccounts* accounts)
        : table_(table), accounts_(accounts) {}

    // Where the table keeps each value, and the folder of the items' cache files.
    void SetColumns(const TBoxColumns& columns, std::string folder);

    void Fill(TMailItem& item, TRowRef row) const override;
    TMailItemPeek Peek(TRowRef row, const TMailItemSummary& summary) const override;

  private:
    const TMemTable& table_;
    TAccounts* accounts_;
    TBoxColumns columns_{};
    size_t peekColumns_ = 0;
    std::string folder_;
    mutable std::vector<TFieldView> values_;
};

}  // namespace quobel
