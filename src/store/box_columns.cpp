#include "store/box_columns.h"

namespace quobel {

std::vector<TColumnDef> MailBoxColumns() {
    using T = TFieldType;
    return {
        TColumnDef::Make("UIDL", T::FixedChar, 32),
        TColumnDef::Make("Cache", T::Memo),
        TColumnDef::Make("Account", T::FixedChar, 32),
        TColumnDef::Make("Online", T::Boolean),
        TColumnDef::Make("Attachments", T::Boolean),
        TColumnDef::Make("Read", T::Boolean),
        TColumnDef::Make("Downloaded", T::Boolean),
        TColumnDef::Make("Spam", T::Boolean),
        TColumnDef::Make("Date", T::DateTime),
        TColumnDef::Make("DateStr", T::Memo),
        TColumnDef::Make("Subject", T::Memo),
        TColumnDef::Make("Priority", T::Integer),
        TColumnDef::Make("From", T::Memo),
        TColumnDef::Make("To", T::Memo),
        TColumnDef::Make("FromAddr", T::Memo),
        TColumnDef::Make("Recipients", T::Memo),
        TColumnDef::Make("CC", T::Memo),
        TColumnDef::Make("BCC", T::Memo),
        TColumnDef::Make("Size", T::Integer),
        TColumnDef::Make("Encrypted", T::Boolean),
        TColumnDef::Make("CachedCC", T::String, 0),
    };
}

std::vector<TIndexDef> MailBoxIndexes() {
    return {TIndexDef{"Index1", "UIDL"}};
}

}  // namespace quobel
