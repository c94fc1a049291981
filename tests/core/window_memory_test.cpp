#include <gtest/gtest.h>

#include "core/file_util.h"
#include "core/form_size.h"
#include "core/ini_file.h"
#include "core/list_layout.h"
#include "core/options.h"
#include "support/temp_folder.h"

namespace quobel {
namespace {

using testing::TempFolder;

class FakeWindow : public PlacedWindow {
  public:
    WindowPlacement Placement() const override { return placement; }
    void SetPlacement(const WindowPlacement& value) override {
        placement = value;
        ++placements;
    }
    WindowPlacement placement{10, 20, 640, 480, 0};
    int placements = 0;
};

TEST(FormSize, FirstRunKeepsTheDesignPlacementAndSavesIt) {
    const TempFolder folder;
    FakeWindow window;
    TOrvaneFormSize memory(window, "MsgList");
    memory.FileName = folder.File("settings.ini");
    memory.Loaded();
    EXPECT_EQ(window.placement.Width, 640);
    EXPECT_EQ(window.placements, 0);  // left where the window system puts it
    memory.Destroying();
    const TIniFile ini(memory.FileName);
    EXPECT_EQ(ini.ReadSection("MsgList"),
              (std::vector<std::string>{"State", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(ini.ReadInteger("MsgList", "Height", 0), 480);
}

TEST(FormSize, MaximisedWindowKeepsItsLastNormalBounds) {
    const TempFolder folder;
    TOptions options(folder.File("settings.ini"));
    auto lend = [&options](TOrvaneFormSize& memory) {
        memory.OnOpen = [&options](TOrvaneFormSize&, TIniFile*& ini) {
            options.Open();
            ini = &options.Ini();
        };
        memory.OnClose = [&options](TOrvaneFormSize&, TIniFile*& ini) {
            ini = nullptr;
            options.Close();
        };
    };
    {
        FakeWindow window;
        window.placement = {-3000, 5000, 800, 600, 0};  // off screen: restored unchanged
        TOrvaneFormSize memory(window, "MsgList");
        lend(memory);
        memory.Destroying();
    }
    {
        FakeWindow window;
        TOrvaneFormSize memory(window, "MsgList");
        lend(memory);
        memory.Loaded();
        EXPECT_EQ(window.placement.Left, -3000);
        EXPECT_EQ(window.placement.Top, 5000);
        window.placement = {1, 2, 3, 4, 2};
        memory.Destroying();
    }
    EXPECT_EQ(options.OpenCount(), 0);
    FakeWindow window;
    TOrvaneFormSize memory(window, "MsgList");
    lend(memory);
    memory.Loaded();
    EXPECT_EQ(window.placement.State, 2);
    EXPECT_EQ(window.placement.Width, 800);
    EXPECT_EQ(window.placement.Left, -3000);
}

TListLayout MessageListLike() {
    TListLayout layout;
    layout.SortColumn = 5;
    for (int i = 0; i < 10; ++i) {
        TListColumn column;
        column.Position = i;
        column.CanResize = i >= 3 && i != 9;
        column.Width = column.CanResize ? 100 : 20;
        layout.Columns.push_back(column);
    }
    return layout;
}

TEST(ListLayout, RoundTripsThroughTheFile) {
    const TempFolder folder;
    const std::string path = folder.File("listhdrs.dat");
    TListLayout saved = MessageListLike();
    saved.Columns[8].Visible = false;
    saved.Columns[4].Width = 225;
    saved.MoveColumn(9, 0);
    saved.SortDirection = TSortDirection::Descending;
    TVirtualTreeHelper::SaveLayout(saved, path);

    const TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("8", "Visible", -1), 0);
    EXPECT_FALSE(ini.ValueExists("0", "Width"));  // image columns have no width in the file
    EXPECT_EQ(ini.ReadInteger("9", "Position", -1), 0);
    EXPECT_EQ(ini.ReadInteger("0", "Position", -1), 1);

    TListLayout loaded = MessageListLike();
    TVirtualTreeHelper::LoadLayout(loaded, path);
    EXPECT_EQ(loaded.SortDirection, TSortDirection::Descending);
    for (size_t i = 0; i < loaded.Columns.size(); ++i) {
        EXPECT_EQ(loaded.Columns[i].Visible, saved.Columns[i].Visible) << i;
        EXPECT_EQ(loaded.Columns[i].Width, saved.Columns[i].Width) << i;
        EXPECT_EQ(loaded.Columns[i].Position, saved.Columns[i].Position) << i;
    }
}

TEST(ListLayout, FileFromAnOlderFormatIsDeletedAndChangesNothing) {
    const TempFolder folder;
    const std::string path = folder.File("listhdrs.dat");
    WriteFileAtomic(path, "\x01\x02old binary layout");
    TListLayout layout = MessageListLike();
    TVirtualTreeHelper::LoadLayout(layout, path);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(layout.SortColumn, 5);
    WriteFileAtomic(path, "[3]\r\nPosition=99\r\n");
    TVirtualTreeHelper::LoadLayout(layout, path);
    EXPECT_EQ(layout.Columns[3].Position, 9);  // out of range: last
    EXPECT_EQ(layout.Columns[9].Position, 8);
}

TEST(ListLayout, HeaderClicksSortByLeftClicksOnly) {
    TListLayout layout = MessageListLike();
    EXPECT_FALSE(TVirtualTreeHelper::HeaderClick(layout, 4, TMouseButton::Right));
    EXPECT_EQ(layout.SortColumn, 5);
    TVirtualTreeHelper::HeaderClick(layout, 5, TMouseButton::Left);
    EXPECT_EQ(layout.SortDirection, TSortDirection::Descending);
    TVirtualTreeHelper::HeaderClick(layout, 4, TMouseButton::Left);
    EXPECT_EQ(layout.SortColumn, 4);
    EXPECT_EQ(layout.SortDirection, TSortDirection::Ascending);
}

}  // namespace
}  // namespace quobel
