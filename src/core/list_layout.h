#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quobel {

// The arrangement of a list's columns: sort column and direction and, per column (in its fixed
// order of definition), whether it is shown, its width and its display position.
struct TListColumn {
    bool Visible = true;
    int32_t Width = 100;
    int32_t Position = 0;  // 0 = leftmost
    bool CanResize = true;
    bool CanDrag = true;
};

enum class TSortDirection : int32_t { Ascending = 0, Descending = 1 };

struct TListLayout {
    int32_t SortColumn = -1;  // -1: not sorted
    TSortDirection SortDirection = TSortDirection::Ascending;
    std::vector<TListColumn> Columns;

    // Moves a column to a display position and shifts the others; a position out of range
    // puts it last.
    void MoveColumn(size_t column, int32_t position);
};

enum class TMouseButton { Left, Right, Middle };

// Column layout files ("listhdrs.dat", "accheaders.dat") and the header-click sorting rule.
class TVirtualTreeHelper {
  public:
    // Applies a saved layout; a missing file changes nothing, and a file that does not start
    // with "[" is deleted and changes nothing.
    static void LoadLayout(TListLayout& layout, const std::string& fileName);
    // Replaces the file with the layout. Throws Error("Unable to write to ...").
    static void SaveLayout(const TListLayout& layout, const std::string& fileName);
    // Left clicks only: the sort column reverses its direction, another column becomes the
    // sort column, ascending. Returns whether the sort changed.
    static bool HeaderClick(TListLayout& layout, int32_t column, TMouseButton button);
};

}  // namespace quobel
