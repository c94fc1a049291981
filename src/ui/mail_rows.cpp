#include "mail_rows.h"

#include "accounts/account.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {

TMessageRowFields TMailItemRows::Fields(TRowKey key) const {
    // Rows on show are made into items; the list shows only a screenful.
    const TMailItem& item = TMailItems::ItemOf(key);
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

TMessageRowFields TMailItemRows::SortFields(TRowKey key, int column) const {
    TMessageRowFields fields;
    if (column == kColPriority || column == kColAttachment || column == kColDate ||
        column == kColSize) {
        // Numbers only: known without reading the row.
        const TMailItemSummary summary = TMailItems::SummaryOf(key);
        fields.Date = summary.Date;
        fields.Size = summary.Size;
        fields.Priority = summary.Priority;
        fields.Attachments = summary.Attachments;
        fields.Read = summary.Read;
        return fields;
    }
    const TMailItemPeek peek = TMailItems::PeekOf(key);
    fields.From = peek.From;
    fields.Subject = peek.Subject;
    fields.DateStr = peek.DateStr;
    fields.To = peek.To;
    if (peek.Account != nullptr) {
        fields.Account = peek.Account->Name;
    }
    fields.Date = peek.Summary.Date;
    fields.Size = peek.Summary.Size;
    fields.Priority = peek.Summary.Priority;
    fields.Attachments = peek.Summary.Attachments;
    fields.Read = peek.Summary.Read;
    return fields;
}

TFolderRowFields TMailBoxRows::Fields(TRowKey key) const {
    const auto& box = *static_cast<const TMailBox*>(key);
    return {box.Name, box.Unread, box.Type};
}

}  // namespace quobel
