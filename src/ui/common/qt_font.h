#pragma once

#include <QFont>

#include "core/font_record.h"

namespace quobel {

// A stored font as Qt draws it. A size of 0 or less takes `fallbackPointSize` when that is above
// 0, else Qt's default size. The colour is not part of a QFont; callers apply it themselves.
QFont ToQFont(const TFontRecord& record, int fallbackPointSize = 0);

// The reverse, for the font dialog; the record's colour stays as it was.
void FromQFont(const QFont& font, TFontRecord& record);

}  // namespace quobel
