#pragma once

#include "ui/mainwindow/folder_list_model.h"
#include "ui/mainwindow/message_row_source.h"

namespace quobel {

// The message list's rows over mail items: a row's key is the TMailItem's address.
class TMailItemRows : public TMessageRowSource {
  public:
    TMessageRowFields Fields(TRowKey key) const override;
    TMessageRowFields SortFields(TRowKey key, int column) const override;
};

// The folder tree's rows over mailboxes: a row's key is the TMailBox's address.
class TMailBoxRows : public TFolderRowSource {
  public:
    TFolderRowFields Fields(TRowKey key) const override;
};

}  // namespace quobel
