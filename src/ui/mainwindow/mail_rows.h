#pragma once

#include "store/mail_item.h"
#include "ui/mainwindow/folder_list_model.h"
#include "ui/mainwindow/message_row_source.h"

namespace quobel {

class TMailBox;

// A message row's key is its item's key; a folder row's key is its mailbox's address. These are
// the only places that turn one into the other.
inline TRowKey RowKeyOf(TMailItems::TKey item) {
    return TRowKey(item.Address());
}
inline TMailItems::TKey ItemKeyOf(TRowKey row) {
    return TMailItems::TKey(row.Address());
}
inline TRowKey RowKeyOf(const TMailBox& box) {
    return TRowKey(&box);
}
inline TMailBox& BoxOf(TRowKey row) {
    return *static_cast<TMailBox*>(const_cast<void*>(row.Address()));
}

// The message list's rows over mail items.
class TMailItemRows : public TMessageRowSource {
  public:
    TMessageRowFields Fields(TRowKey key) const override;
    TMessageRowFields SortFields(TRowKey key, int column) const override;
};

// The folder tree's rows over mailboxes.
class TMailBoxRows : public TFolderRowSource {
  public:
    TFolderRowFields Fields(TRowKey key) const override;
};

}  // namespace quobel
