#pragma once

#include "core/handle.h"

namespace quobel {

// A table row's identity for those who keep one per row (the mailbox's items do): valid until the
// row is deleted or the table cleared, replaced or moved from. Only the table reads it.
using TTableRowRef = THandle<struct TTableRowKind>;

}  // namespace quobel
