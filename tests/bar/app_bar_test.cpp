#include "bar/app_bar.h"

#include <gtest/gtest.h>

#include "platform/screen_edge_shell_memory.h"

namespace quobel {
namespace {

using E = TAppBarEdge;
using F = TAppBarFlag;

// A bar the size of the ticker bar (22 high, floating 300 wide) on a 1024 x 768 screen whose work
// area is the whole screen.
class AppBarTest : public ::testing::Test {
  protected:
    AppBarTest() : shell(1024, 768), bar(shell, shell) {
        bar.HorzDockSize = 22;
        bar.MinHeight = bar.MaxHeight = 22;
        bar.MinHorzDockSize = bar.MaxHorzDockSize = 22;
        bar.MinWidth = 250;
        bar.FloatLeft = 100;
        bar.FloatTop = 200;
        bar.FloatRight = 400;
        bar.FloatBottom = 222;
        shell.Window = {100, 200, 400, 222};
    }

    // One move of a drag as the window system runs it: the adjusted rectangle is applied.
    void MoveTo(TPoint pointer, bool ctrl = false) {
        TRect proposed = shell.Window.MovedTo(pointer.X - 10, pointer.Y - 5);
        bar.Moving(pointer, ctrl, proposed);
        shell.PlaceWindow(proposed);
    }

    TScreenEdgeShellMemory shell;
    TAppBar bar;
};

TEST_F(AppBarTest, ProposedEdgeFromThePointer) {
    struct Case {
        const char* name;
        TAppBarFlags flags;
        TPoint pointer;
        bool ctrl;
        E expected;
    };
    const TAppBarFlags all;
    const TAppBarFlags noRight =
        TAppBarFlags::Of({F::abfAllowLeft, F::abfAllowTop, F::abfAllowBottom, F::abfAllowFloat});
    const TAppBarFlags horizontal =
        TAppBarFlags::Of({F::abfAllowTop, F::abfAllowBottom, F::abfAllowFloat});
    const TAppBarFlags noFloat =
        TAppBarFlags::Of({F::abfAllowLeft, F::abfAllowTop, F::abfAllowRight, F::abfAllowBottom});
    const Case cases[] = {
        {"outside the shrunk work area on the right", all, {1020, 380}, false, E::abeRight},
        {"right edge not allowed floats", noRight, {1020, 380}, false, E::abeFloat},
        {"well inside floats", all, {900, 380}, false, E::abeFloat},
        {"just inside the shrunk right edge", all, {1006, 380}, false, E::abeFloat},
        {"on the shrunk right edge", all, {1007, 380}, false, E::abeRight},
        {"Ctrl floats", all, {1020, 380}, true, E::abeFloat},
        {"top middle", horizontal, {512, 10}, false, E::abeTop},
        {"bottom middle", horizontal, {512, 760}, false, E::abeBottom},
        {"near the left edge, not allowed", horizontal, {5, 384}, false, E::abeFloat},
        {"near the right edge, not allowed", horizontal, {1020, 300}, false, E::abeFloat},
        {"inside with horizontal flags", horizontal, {400, 300}, false, E::abeFloat},
        {"Ctrl at the top", horizontal, {512, 10}, true, E::abeFloat},
        {"top-left corner, left of the diagonal", all, {5, 10}, false, E::abeLeft},
        {"top-left corner, above the diagonal", all, {5, 2}, false, E::abeTop},
        {"only floating allowed",
         TAppBarFlags::Of({F::abfAllowFloat}),
         {512, 2},
         false,
         E::abeFloat},
        {"without floating the diagonals decide", noFloat, {900, 380}, false, E::abeRight},
        {"without floating Ctrl does nothing", noFloat, {512, 700}, true, E::abeBottom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bar.Flags = c.flags;
        EXPECT_EQ(bar.ProposedEdge(c.pointer, c.ctrl), c.expected);
    }
    // A forbidden edge without floating keeps the stored edge.
    bar.Flags = TAppBarFlags::Of({F::abfAllowTop, F::abfAllowBottom});
    bar.SetEdge(E::abeBottom);
    EXPECT_EQ(bar.ProposedEdge({1020, 380}, false), E::abeBottom);
}

TEST_F(AppBarTest, DockingReservesTheStripAndUndockingFreesIt) {
    bar.SetEdge(E::abeTop);
    EXPECT_EQ(shell.Calls,
              (std::vector<std::string>{"GetAutoHideBar 0", "GetAutoHideBar 1", "GetAutoHideBar 2",
                                        "GetAutoHideBar 3", "QueryPos 1", "SetPos 1 0,0,1024,22",
                                        "Activate"}));
    EXPECT_EQ(shell.Window, (TRect{0, 0, 1024, 22}));
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 22, 1024, 768}));
    EXPECT_EQ(shell.ZOrder, TZOrder::TopMost);
    EXPECT_EQ(shell.ApplicationWindowShown, 0);

    shell.Calls.clear();
    bar.SetEdge(E::abeFloat);
    EXPECT_EQ(shell.Calls,
              (std::vector<std::string>{"GetAutoHideBar 0", "GetAutoHideBar 1", "GetAutoHideBar 2",
                                        "GetAutoHideBar 3", "SetPos 5 0,0,0,0", "Activate"}));
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 768}));
    EXPECT_EQ(shell.Window, (TRect{100, 200, 400, 222}));
    EXPECT_EQ(shell.ApplicationWindowShown, 1);
}

TEST_F(AppBarTest, DockRectAvoidsOtherPanels) {
    shell.DesktopArea = {0, 0, 1024, 740};  // a panel along the bottom
    EXPECT_EQ(bar.DockRect(E::abeBottom, {}), (TRect{0, 718, 1024, 740}));
    EXPECT_EQ(bar.DockRect(E::abeLeft, {}), (TRect{0, 0, 32, 740}));
    EXPECT_EQ(bar.DockRect(E::abeRight, {}), (TRect{992, 0, 1024, 740}));
    EXPECT_EQ(bar.DockRect(E::abeFloat, {1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
    bar.AutoHide = true;  // an auto-hidden bar reserves nothing and ignores panels
    EXPECT_EQ(bar.DockRect(E::abeBottom, {}), (TRect{0, 746, 1024, 768}));
}

TEST_F(AppBarTest, AutoHidePositions) {
    struct Case {
        E edge;
        TRect rect;
        TPoint shown;
        TPoint hidden;
    };
    const Case cases[] = {
        {E::abeBottom, {0, 746, 1024, 768}, {0, 746}, {0, 766}},
        {E::abeTop, {0, 0, 1024, 22}, {0, 0}, {0, -20}},
        {E::abeLeft, {0, 0, 32, 768}, {0, 0}, {-30, 0}},
        {E::abeRight, {992, 0, 1024, 768}, {992, 0}, {1022, 0}},
    };
    bar.AutoHide = true;
    bar.SlideEffect = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.edge));
        bar.SetEdge(c.edge);
        EXPECT_EQ(bar.AutoHidePosition(c.rect, true), c.rect.MovedTo(c.shown.X, c.shown.Y));
        EXPECT_EQ(bar.AutoHidePosition(c.rect, false), c.rect.MovedTo(c.hidden.X, c.hidden.Y));
    }
    bar.SetEdge(E::abeFloat);
    EXPECT_EQ(bar.AutoHidePosition({5, 6, 7, 8}, false), (TRect{5, 6, 7, 8}));
}

TEST_F(AppBarTest, AutoHideBarSlidesInAndOutAndSticks) {
    bar.AutoHide = true;
    bar.SlideEffect = false;
    bar.SetEdge(E::abeBottom);
    EXPECT_EQ(shell.Window, (TRect{0, 766, 1024, 788}));    // hidden: a 2-pixel sliver shows
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 768}));  // nothing reserved
    EXPECT_EQ(shell.AutoHideOwners[3], TScreenEdgeShellMemory::TOwner::This);

    bar.ShowAutoHideBar(true);
    EXPECT_EQ(shell.Window, (TRect{0, 746, 1024, 768}));
    EXPECT_TRUE(bar.AutoHideShown());

    bar.Stick = true;
    bar.ShowAutoHideBar(false);
    EXPECT_EQ(shell.Window, (TRect{0, 746, 1024, 768}));
    bar.AutoHideCheck();  // pointer at (0, 0): far away, but the bar sticks
    EXPECT_EQ(shell.Window, (TRect{0, 746, 1024, 768}));

    bar.Stick = false;
    shell.Pointer = {500, 739};  // within twice the double-click height above the bar
    bar.AutoHideCheck();
    EXPECT_TRUE(bar.AutoHideShown());
    shell.Active = true;
    shell.Pointer = {500, 100};
    bar.AutoHideCheck();  // the active bar stays
    EXPECT_TRUE(bar.AutoHideShown());
    shell.Active = false;
    bar.AutoHideCheck();
    EXPECT_FALSE(bar.AutoHideShown());
    EXPECT_EQ(shell.Window.Top, 766);

    // Moving to another edge gives the old one up.
    bar.SetEdge(E::abeTop);
    EXPECT_EQ(shell.AutoHideOwners[3], TScreenEdgeShellMemory::TOwner::None);
    EXPECT_EQ(shell.AutoHideOwners[1], TScreenEdgeShellMemory::TOwner::This);
}

TEST_F(AppBarTest, ShowingAFloatingBarLeavesItWhereItIs) {
    bar.AutoHide = true;
    bar.SetEdge(E::abeFloat);
    const size_t placements = shell.Placements.size();
    bar.ShowAutoHideBar(true);
    bar.ShowAutoHideBar(false);
    EXPECT_EQ(shell.Placements.size(), placements);
    EXPECT_EQ(shell.Window, (TRect{100, 200, 400, 222}));
}

TEST_F(AppBarTest, AutoHideRefusedWhenTheEdgeIsTaken) {
    shell.AutoHideOwners[3] = TScreenEdgeShellMemory::TOwner::Other;
    bar.AutoHide = true;
    bar.SetEdge(E::abeBottom);
    EXPECT_FALSE(bar.AutoHide);
    ASSERT_EQ(shell.Messages.size(), 1u);
    EXPECT_EQ(shell.Messages[0].first, "Error");
    EXPECT_EQ(shell.Messages[0].second,
              "There is already an auto hidden window on this edge.\n\r"
              "Only one auto hidden window is allowed on each edge.");
    EXPECT_EQ(shell.Window, (TRect{0, 746, 1024, 768}));  // docked normally
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 746}));
}

TEST_F(AppBarTest, SlideFollowsTheClock) {
    bar.AutoHide = true;
    bar.SlideEffect = false;
    bar.SetEdge(E::abeBottom);
    bar.SlideEffect = true;
    shell.TickStep = 100;
    shell.Placements.clear();
    bar.ShowAutoHideBar(true);
    std::vector<int32_t> tops;
    for (const TRect& r : shell.Placements) {
        tops.push_back(r.Top);
        EXPECT_EQ(r.Height(), 22);
    }
    EXPECT_EQ(tops, (std::vector<int32_t>{761, 756, 751, 746}));
    EXPECT_EQ(shell.Paints, 3);

    shell.FullWindowDrag = false;  // no animation without full-window dragging
    shell.Placements.clear();
    bar.ShowAutoHideBar(false);
    EXPECT_EQ(shell.Placements, (std::vector<TRect>{{0, 766, 1024, 788}}));
}

TEST_F(AppBarTest, DraggingDocksAndUndocks) {
    bar.Flags = TAppBarFlags::Of({F::abfAllowTop, F::abfAllowBottom, F::abfAllowFloat});
    bar.SetEdge(E::abeFloat);
    bar.EnterSizeMove();
    MoveTo({512, 5});
    EXPECT_EQ(bar.Edge(), E::abeTop);  // reads as the proposed edge during the drag
    EXPECT_EQ(shell.Window, (TRect{0, 0, 1024, 22}));
    bar.ExitSizeMove();
    EXPECT_EQ(bar.Edge(), E::abeTop);
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 22, 1024, 768}));
    EXPECT_EQ(bar.HorzDockSize, 22);

    // Out again: the float size is placed under the pointer.
    bar.EnterSizeMove();
    MoveTo({600, 400});
    EXPECT_EQ(bar.Edge(), E::abeFloat);
    EXPECT_EQ(shell.Window, (TRect{450, 400, 750, 422}));
    bar.ExitSizeMove();
    EXPECT_EQ(bar.Edge(), E::abeFloat);
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 768}));
    EXPECT_EQ((TRect{bar.FloatLeft, bar.FloatTop, bar.FloatRight, bar.FloatBottom}),
              (TRect{450, 400, 750, 422}));

    // Moving a floating bar partly off the left edge brings it back to 0.
    bar.EnterSizeMove();
    shell.PlaceWindow({-40, 300, 260, 322});
    bar.ExitSizeMove();
    EXPECT_EQ(shell.Window, (TRect{0, 300, 300, 322}));
    EXPECT_EQ(bar.FloatLeft, 0);
}

TEST_F(AppBarTest, UndockingAFullWidthStripKeepsTheFloatWidth) {
    bar.SetEdge(E::abeTop);
    bar.EnterSizeMove();
    TRect proposed = shell.Window;
    bar.Moving({500, 400}, true, proposed);  // the window system kept the full-width outline
    bar.ExitSizeMove();
    EXPECT_EQ(bar.Edge(), E::abeFloat);
    EXPECT_EQ((TRect{bar.FloatLeft, bar.FloatTop, bar.FloatRight, bar.FloatBottom}),
              (TRect{0, 0, 300, 22}));
    EXPECT_EQ(shell.Window, (TRect{0, 0, 300, 22}));
}

TEST_F(AppBarTest, ResizingADockedBarKeepsItsSize) {
    bar.MaxHorzDockSize = 100;
    bar.SetEdge(E::abeBottom);
    bar.EnterSizeMove();
    shell.PlaceWindow({0, 708, 1024, 768});
    bar.ExitSizeMove();
    EXPECT_EQ(bar.HorzDockSize, 60);
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 708}));
}

TEST_F(AppBarTest, ResizeStepsAndLimits) {
    bar.HorzSizeInc = 10;
    bar.VertSizeInc = 0;
    struct Case {
        TSizingSide side;
        TRect proposed;
        TRect expected;
    };
    // Width 333 proposed: 250 + 10 * ((333 + 5 - 250) div 10) = 330.
    const Case cases[] = {
        {TSizingSide::Right, {100, 200, 433, 222}, {100, 200, 430, 222}},
        {TSizingSide::Left, {100, 200, 433, 222}, {103, 200, 433, 222}},
        {TSizingSide::BottomRight, {100, 200, 433, 230}, {100, 200, 430, 230}},
        {TSizingSide::Top, {100, 190, 433, 222}, {100, 190, 433, 222}},
        // Below the minimum the steps count from it; the size limits hold the window.
        {TSizingSide::Right, {100, 200, 200, 222}, {100, 200, 210, 222}},
    };
    bar.SetEdge(E::abeFloat);
    for (const Case& c : cases) {
        TRect rect = c.proposed;
        bar.Sizing(c.side, rect);
        EXPECT_EQ(rect, c.expected) << static_cast<int>(c.side);
    }

    EXPECT_EQ(bar.SizeLimits().MinWidth, 250);
    EXPECT_EQ(bar.SizeLimits().MaxWidth, 1024);
    EXPECT_EQ(bar.SizeLimits().MaxHeight, 22);
    bar.MinVertDockSize = 20;
    bar.MaxHorzDockSize = 60;
    bar.SetEdge(E::abeTop);
    const TSizeLimits top = bar.SizeLimits();
    EXPECT_EQ((std::vector<int32_t>{top.MinWidth, top.MinHeight, top.MaxWidth, top.MaxHeight}),
              (std::vector<int32_t>{20, 22, 1024, 60}));
    bar.SetEdge(E::abeLeft);
    const TSizeLimits left = bar.SizeLimits();
    EXPECT_EQ((std::vector<int32_t>{left.MinWidth, left.MaxWidth, left.MaxHeight}),
              (std::vector<int32_t>{20, 512, 768}));
}

TEST_F(AppBarTest, LifeCycleAndNotifications) {
    shell.Window = {40, 50, 340, 72};
    bar.FloatRight = bar.FloatBottom = 0;  // no float size yet: the size limits hold
    bar.Created();
    EXPECT_TRUE(shell.Registered);
    EXPECT_EQ(shell.TimerInterval, 400);
    EXPECT_EQ(shell.PostedSizeMoveCycles, 1);
    EXPECT_EQ(shell.Window, (TRect{40, 50, 290, 72}));
    bar.EnterSizeMove();  // the posted cycle fixes the float rectangle from the real window
    bar.ExitSizeMove();
    EXPECT_EQ((TRect{bar.FloatLeft, bar.FloatTop, bar.FloatRight, bar.FloatBottom}),
              (TRect{40, 50, 290, 72}));

    bar.SetSlideTime(250);
    EXPECT_EQ(shell.TimerInterval, 250);

    bar.SetEdge(E::abeBottom);
    shell.Calls.clear();
    bar.ShellNotify(static_cast<int32_t>(TShellNotification::PosChanged), 0);
    EXPECT_NE(std::find(shell.Calls.begin(), shell.Calls.end(), "SetPos 3 0,746,1024,768"),
              shell.Calls.end());
    bar.ShellNotify(static_cast<int32_t>(TShellNotification::FullScreenApp), 1);
    EXPECT_TRUE(bar.FullScreenAppOpen());
    EXPECT_EQ(shell.ZOrder, TZOrder::Bottom);
    bar.ShellNotify(static_cast<int32_t>(TShellNotification::FullScreenApp), 0);
    EXPECT_EQ(shell.ZOrder, TZOrder::TopMost);
    shell.Calls.clear();
    bar.ShellNotify(static_cast<int32_t>(TShellNotification::WindowArrange), 1);
    bar.ShellNotify(99, 1);
    EXPECT_TRUE(shell.Calls.empty());

    bar.AlwaysOnTop = false;
    bar.ReapplyEdge();
    EXPECT_EQ(shell.ZOrder, TZOrder::NotTopMost);

    bar.Destroying();
    EXPECT_FALSE(shell.Registered);
    EXPECT_EQ(shell.TimerInterval, 0);
    EXPECT_EQ(shell.WorkArea(), (TRect{0, 0, 1024, 768}));
    EXPECT_EQ(bar.Edge(), E::abeUnknown);
}

}  // namespace
}  // namespace quobel
