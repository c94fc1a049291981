#include "mail_rows.h"

#include "accounts/account.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {

TMessageRowFields TMailItemRows::Fields(TRowKey key) const {
    const auto& item = *static_cast<const TMailItem*>(key);
    TMessageRowFields fields;
    fields.From = item.CachedData.From;
    fields.Subject = item.CachedData.Subject;
    fields.DateStr = item.CachedData.DateStr;
    fields.To = item.CachedData.To;
    if (item.Account != nullptr) {
        fields.Account = item.Account->Name;
    }
    fields.SizeText = item.SizeText;
    fields.Date = item.CachedData.Date;
    fields.Size = item.Size;
    fields.Priority = item.CachedData.Priority;
    fields.Attachments = item.Attachments;
    fields.Read = item.Read;
    return fields;
}

TFolderRowFields TMailBoxRows::Fields(TRowKey key) const {
    const auto& box = *static_cast<const TMailBox*>(key);
    return {box.Name, box.Unread, box.Type};
}

}  // namespace quobel
