#include "ui/common/qt_font.h"

#include <cmath>

namespace quobel {

QFont ToQFont(const TFontRecord& record, int fallbackPointSize) {
    QFont font(QString::fromStdString(record.Name));
    // Where the named face is missing, a face of the same kind stands in.
    if (font.family().contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        font.setStyleHint(QFont::TypeWriter);
    }
    if (record.Size > 0) {
        font.setPointSize(record.Size);
    } else if (fallbackPointSize > 0) {
        font.setPointSize(fallbackPointSize);
    }
    font.setBold(record.Bold);
    font.setItalic(record.Italic);
    font.setUnderline(record.Underline);
    font.setStrikeOut(record.StrikeOut);
    return font;
}

void FromQFont(const QFont& font, TFontRecord& record) {
    record.Name = font.family().toStdString();
    if (font.pointSize() > 0) {
        record.Size = font.pointSize();
    } else if (font.pointSizeF() > 0) {
        record.Size = static_cast<int32_t>(std::lround(font.pointSizeF()));
    }
    record.Bold = font.bold();
    record.Italic = font.italic();
    record.Underline = font.underline();
    record.StrikeOut = font.strikeOut();
}

}  // namespace quobel
