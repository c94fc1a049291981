#include "core/list_layout.h"

#include <algorithm>
#include <cstdio>

#include "core/file_util.h"
#include "core/ini_file.h"
#include "core/options.h"

namespace quobel {
namespace {

// The sort of a layout file; the columns follow in sections named by their index.
constexpr TSettingKey<int32_t> kSortColumn{"General", "SortColumn", -1};
constexpr TSettingKey<int32_t> kSortDirection{"General", "SortDirection", 0};

}  // namespace

void TListLayout::MoveColumn(size_t column, int32_t position) {
    const int32_t count = static_cast<int32_t>(Columns.size());
    if (column >= Columns.size()) {
        return;
    }
    if (position < 0 || position >= count) {
        position = count - 1;
    }
    // Order the columns by their current position, move this one, renumber.
    std::vector<size_t> order(Columns.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return Columns[a].Position < Columns[b].Position;
    });
    order.erase(std::find(order.begin(), order.end(), column));
    order.insert(order.begin() + position, column);
    for (size_t i = 0; i < order.size(); ++i) {
        Columns[order[i]].Position = static_cast<int32_t>(i);
    }
}

void TVirtualTreeHelper::LoadLayout(TListLayout& layout, const std::string& fileName) {
    std::string contents;
    if (!ReadWholeFile(fileName, contents)) {
        return;
    }
    if (contents.empty() || contents.front() != '[') {
        DeleteFileIfExists(fileName);
        return;
    }
    const TIniFile ini(fileName);
    layout.SortColumn = ReadSetting(ini, kSortColumn, layout.SortColumn);
    const int32_t direction =
        ReadSetting(ini, kSortDirection, static_cast<int32_t>(layout.SortDirection));
    layout.SortDirection = direction == 1 ? TSortDirection::Descending : TSortDirection::Ascending;
    for (size_t i = 0; i < layout.Columns.size(); ++i) {
        TListColumn& column = layout.Columns[i];
        const std::string section = std::to_string(i);
        column.Visible = ini.ReadBool(section, "Visible", column.Visible);
        if (column.CanResize) {
            column.Width = ini.ReadInteger(section, "Width", column.Width);
        }
        if (column.CanDrag) {
            layout.MoveColumn(i, ini.ReadInteger(section, "Position", column.Position));
        }
    }
}

void TVirtualTreeHelper::SaveLayout(const TListLayout& layout, const std::string& fileName) {
    TIniFile ini(fileName, TIniFile::StartEmpty{});
    TIniFile::Batch batch(ini);
    WriteSetting(ini, kSortColumn, layout.SortColumn);
    WriteSetting(ini, kSortDirection, static_cast<int32_t>(layout.SortDirection));
    for (size_t i = 0; i < layout.Columns.size(); ++i) {
        const TListColumn& column = layout.Columns[i];
        const std::string section = std::to_string(i);
        ini.WriteBool(section, "Visible", column.Visible);
        if (column.CanResize) {
            ini.WriteInteger(section, "Width", column.Width);
        }
        if (column.CanDrag) {
            ini.WriteInteger(section, "Position", column.Position);
        }
    }
}

bool TVirtualTreeHelper::HeaderClick(TListLayout& layout, int32_t column, TMouseButton button) {
    if (button != TMouseButton::Left) {
        return false;
    }
    if (layout.SortColumn == column) {
        layout.SortDirection = layout.SortDirection == TSortDirection::Ascending
                                   ? TSortDirection::Descending
                                   : TSortDirection::Ascending;
    } else {
        layout.SortColumn = column;
        layout.SortDirection = TSortDirection::Ascending;
    }
    return true;
}

}  // namespace quobel
