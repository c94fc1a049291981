#include "ui/mainwindow/list_header.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>

#include "ui/mainwindow/message_row_source.h"

namespace quobel {

TListLayout MessageListDesignLayout() {
    struct Design {
        int Width;
        bool Visible;
        int Position;
        bool CanResize;
    };
    static const Design kColumns[kMessageColumnCount] = {
        {25, true, 1, false}, {25, true, 2, false}, {25, true, 3, false},  {100, true, 4, true},
        {225, true, 5, true}, {125, true, 6, true}, {100, false, 7, true}, {150, false, 8, true},
        {100, true, 9, true}, {25, true, 0, false}};
    TListLayout layout;
    layout.SortColumn = kColDate;
    layout.SortDirection = TSortDirection::Ascending;
    for (const Design& design : kColumns) {
        TListColumn column;
        column.Width = design.Width;
        column.Visible = design.Visible;
        column.Position = design.Position;
        column.CanResize = design.CanResize;
        column.CanDrag = true;
        layout.Columns.push_back(column);
    }
    return layout;
}

TListLayout FitToFont(TListLayout layout, const QFont& listFont) {
    // What has to fit, and the room the design gave it. A cell adds a margin on both sides; the
    // From column also carries the envelope picture.
    constexpr int kCellMargins = 12;
    constexpr int kEnvelope = 16 + 8;
    constexpr int kDesignDate = 125;
    QFont bold(listFont);
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int date =
        metrics.horizontalAdvance(QStringLiteral("12-31-2026 23:59:59")) + kCellMargins;
    const int name =
        metrics.horizontalAdvance(QStringLiteral("Mara Lindqvist")) + kEnvelope + kCellMargins;
    // The date's digits measure the font against the design's; names vary more, so the From
    // column only makes room for a usual one on top of that.
    const double factor = std::max(1.0, static_cast<double>(date) / kDesignDate);
    for (TListColumn& column : layout.Columns) {
        if (column.CanResize) {
            column.Width = static_cast<int>(std::ceil(column.Width * factor));
        }
    }
    TListColumn& from = layout.Columns.at(kColFrom);
    from.Width = std::max(from.Width, name);
    return layout;
}

void ApplyColumns(const TListLayout& layout, QHeaderView& header) {
    const int count = std::min(header.count(), static_cast<int>(layout.Columns.size()));
    for (int i = 0; i < count; ++i) {
        const TListColumn& column = layout.Columns[static_cast<size_t>(i)];
        header.setSectionResizeMode(
            i, column.CanResize ? QHeaderView::Interactive : QHeaderView::Fixed);
        header.resizeSection(i, column.Width);
        header.setSectionHidden(i, !column.Visible);
    }
    // Place the columns from the leftmost position on, so that each move shifts only columns
    // that have not been placed yet.
    for (int position = 0; position < count; ++position) {
        for (int i = 0; i < count; ++i) {
            if (layout.Columns[static_cast<size_t>(i)].Position == position) {
                header.moveSection(header.visualIndex(i), position);
                break;
            }
        }
    }
}

void ReadColumns(const QHeaderView& header, TListLayout& layout) {
    const int count = std::min(header.count(), static_cast<int>(layout.Columns.size()));
    for (int i = 0; i < count; ++i) {
        TListColumn& column = layout.Columns[static_cast<size_t>(i)];
        column.Visible = !header.isSectionHidden(i);
        if (column.CanResize && column.Visible) {
            column.Width = header.sectionSize(i);
        }
        column.Position = header.visualIndex(i);
    }
}

int FirstTextColumn(const QHeaderView& header) {
    for (int visual = 0; visual < header.count(); ++visual) {
        const int column = header.logicalIndex(visual);
        if (column >= kColFrom && column <= kColAccount && !header.isSectionHidden(column)) {
            return column;
        }
    }
    return -1;
}

}  // namespace quobel
