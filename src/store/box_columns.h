#pragma once

#include <vector>

#include "store/mem_table.h"

namespace quobel {

// The 21 columns of a mailbox table, in file order.
std::vector<TColumnDef> MailBoxColumns();
// The one index of a mailbox table: "Index1" on "UIDL".
std::vector<TIndexDef> MailBoxIndexes();

}  // namespace quobel
