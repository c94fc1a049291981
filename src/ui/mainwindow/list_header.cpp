#include "ui/mainwindow/list_header.h"

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
