#include "ui/mainwindow/mail_rows.h"

#include "accounts/account.h"
#include "store/mail_box.h"
#include "store/mail_item.h"

namespace quobel {

namespace {

TMessageRowFields FieldsOf(const TMailItemSummary& summary) {
    TMessageRowFields fields;
    fields.Date = summary.Date;
    fields.Size = summary.Size;
    fields.Priority = summary.Priority;
    fields.Attachments = summary.Attachments;
    fields.Read = summary.Read;
    return fields;
}

TMessageRowFields FieldsOf(const TMailItemPeek& peek) {
    TMessageRowFields fields = FieldsOf(peek.Summary);
    fields.From = peek.From;
    fields.Subject = peek.Subject;
    fields.DateStr = peek.DateStr;
    fields.To = peek.To;
    if (peek.Account != nullptr) {
        fields.Account = peek.Account->Name;
    }
    return fields;
}

}  // namespace

TMessageRowFields TMailItemRows::Fields(TRowKey key) const {
    // Rows on show are made into items; the list shows only a screenful.
    const TMailItem& item = TMailItems::ItemOf(ItemKeyOf(key));
    TMessageRowFields fields = FieldsOf(TMailItems::PeekOf(ItemKeyOf(key)));
    fields.SizeText = item.SizeText;
    return fields;
}

TMessageRowFields TMailItemRows::SortFields(TRowKey key, int column) const {
    // Numbers are known without reading the row.
    return IsNumberColumn(column) ? FieldsOf(TMailItems::SummaryOf(ItemKeyOf(key)))
                                  : FieldsOf(TMailItems::PeekOf(ItemKeyOf(key)));
}

TFolderRowFields TMailBoxRows::Fields(TRowKey key) const {
    const TMailBox& box = BoxOf(key);
    return {box.Name, box.Unread, box.Type};
}

}  // namespace quobel
