#pragma once

#include <QFont>
#include <QHeaderView>

#include "core/list_layout.h"

namespace quobel {

// The message list's design layout: the columns' widths, visibility and positions (the key
// column leftmost) and the sort by Date ascending.
TListLayout MessageListDesignLayout();

// The design layout made for a small font, widened for the list's font where it is larger: the
// resizable columns grow by one factor, so that a full date and time (in bold, as unread rows
// show it) fits the Date column, and the From column makes room for a usual name with its
// envelope.
TListLayout FitToFont(TListLayout layout, const QFont& listFont);

// Applies a layout's columns to a header (visibility, widths of resizable columns, display
// positions, which columns can be resized). The sort is the caller's.
void ApplyColumns(const TListLayout& layout, QHeaderView& header);
// Reads the header's columns back into the layout (keeping what each column allows).
void ReadColumns(const QHeaderView& header, TListLayout& layout);

// The first shown column, in display order, among From, Subject, Date, To and Account: the one
// that carries the read/unread envelope; -1 when none of them is shown.
int FirstTextColumn(const QHeaderView& header);

}  // namespace quobel
