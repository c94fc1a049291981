#pragma once

#include <string>
#include <vector>

#include "store/box_columns.h"
#include "store/mem_table.h"
#include "store/table_format.h"

namespace quobel::testing {

// Writes a mailbox table as it was before "Size", "Encrypted" and "CachedCC" existed: one unread
// row with the key and the subject.
inline void WriteOldMailboxTable(const std::string& fileName, const std::string& key,
                                 const std::string& subject) {
    std::vector<TColumnDef> old = MailBoxColumns();
    old.resize(18);
    TMemTable table;
    table.SetColumns(old);
    table.SetIndexes(MailBoxIndexes());
    table.Append();
    table.SetString(0, key);
    table.SetString(table.FieldByName("Subject"), subject);
    table.SetBoolean(table.FieldByName("Read"), false);
    table.Post();
    TTableFormat().SaveToFile(table, fileName);
}

}  // namespace quobel::testing
