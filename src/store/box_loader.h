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

// Makes a mailbox's items from its table rows, as a read delivers them (on one thread at a time)
// or from a table afterwards. The items belong to `collection` but are only handed over by
// TakeItems, so that a read that fails leaves the collection as it was.
class TBoxItemMaker : public TTableRowSink {
  public:
    TBoxItemMaker(TMailItems& collection, TAccounts* accounts, std::string folder);

    void Columns(const std::vector<TColumnDef>& columns) override;
    void Row(std::span<const TFieldView> values) override;

    // Whether every row delivered so far became an item (false when a column was missing).
    bool Usable() const { return usable_; }
    // Starts again from the rows of a complete table.
    void MakeAll(const TMemTable& table);
    std::vector<std::unique_ptr<TMailItem>> TakeItems() { return std::move(items_); }
    int32_t Unread() const { return unread_; }

  private:
    TAccount* AccountOf(std::string_view id);

    TMailItems& collection_;
    TAccounts* accounts_;
    std::string folder_;
    TBoxColumns columns_{};
    bool usable_ = false;
    std::vector<std::unique_ptr<TMailItem>> items_;
    int32_t unread_ = 0;
    std::string lastAccountId_;
    TAccount* lastAccount_ = nullptr;
};

// Reads table bytes into `table`, delivering every row to `sink` as it goes. A large table is read
// on a second thread while this one hands the rows to the sink, so that reading and making items
// overlap; the sink is only ever called on this thread. Errors of the read are passed on after
// both are done; `bytes` must outlive the call.
void LoadTableRows(const TTableFormat& format, TMemTable& table, std::string_view bytes,
                   TTableRowSink& sink);

}  // namespace quobel
