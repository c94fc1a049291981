#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bar/app_bar.h"
#include "platform/screen_edge_shell_memory.h"
#include "ui/tickerbar/bar_drag.h"

namespace quobel::testing {
namespace {

// A floating bar 500 by 20 pixels at (100, 100) on a 1024 by 768 desktop that lets it dock at
// the top or bottom, dragged by its move bar or its size bar.
class BarDrag : public ::testing::Test {
  protected:
    BarDrag() : appBar(desktop, desktop), drag(appBar, desktop) {
        appBar.Flags = TAppBarFlags::Of(
            {TAppBarFlag::abfAllowTop, TAppBarFlag::abfAllowBottom, TAppBarFlag::abfAllowFloat});
        appBar.HorzDockSize = 20;
        appBar.MinWidth = 250;
        appBar.Created();
        // The window gets its size, and the float rectangle takes it, as after the window's
        // first size-move cycle.
        desktop.Window = {100, 100, 600, 120};
        appBar.EnterSizeMove();
        appBar.ExitSizeMove();
    }

    TScreenEdgeShellMemory desktop{1024, 768};
    TAppBar appBar;
    TBarDrag drag;
};

TEST_F(BarDrag, SetUpFloatsWhereTheWindowIs) {
    EXPECT_EQ(appBar.Edge(), TAppBarEdge::abeFloat);
    EXPECT_EQ(desktop.Window, (TRect{100, 100, 600, 120}));
    EXPECT_FALSE(drag.Active());
}

// Each row: the part pressed and where, the pointer's way, whether Control is held, and where
// the window is (and at which edge) once the button goes up.
TEST_F(BarDrag, PressMoveRelease) {
    struct Case {
        const char* What;
        TBarHit Part;
        TPoint Press;
        std::vector<TPoint> Way;
        bool Ctrl;
        bool Starts;
        TRect Window;
        TAppBarEdge Edge;
    } const cases[] = {
        {"size bar narrows",
         TBarHit::RightBorder,
         {598, 110},
         {{498, 110}},
         false,
         true,
         {100, 100, 500, 120},
         TAppBarEdge::abeFloat},
        {"size bar keeps the grip's distance to the side",
         TBarHit::RightBorder,
         {595, 110},
         {{650, 110}, {700, 115}},
         false,
         true,
         {100, 100, 705, 120},
         TAppBarEdge::abeFloat},
        {"move bar moves by the pointer's travel",
         TBarHit::Caption,
         {102, 110},
         {{152, 130}},
         false,
         true,
         {150, 120, 650, 140},
         TAppBarEdge::abeFloat},
        {"each step moves from the last",
         TBarHit::Caption,
         {102, 110},
         {{112, 115}, {132, 135}},
         false,
         true,
         {130, 125, 630, 145},
         TAppBarEdge::abeFloat},
        {"top edge docks",
         TBarHit::Caption,
         {102, 110},
         {{512, 2}},
         false,
         true,
         {0, 0, 1024, 20},
         TAppBarEdge::abeTop},
        {"bottom edge docks",
         TBarHit::Caption,
         {102, 110},
         {{512, 766}},
         false,
         true,
         {0, 748, 1024, 768},
         TAppBarEdge::abeBottom},
        {"Control keeps it floating at the edge",
         TBarHit::Caption,
         {102, 110},
         {{512, 2}},
         true,
         true,
         {510, -8, 1010, 12},
         TAppBarEdge::abeFloat},
        {"the client area drags nothing",
         TBarHit::Client,
         {300, 110},
         {{400, 300}},
         false,
         false,
         {100, 100, 600, 120},
         TAppBarEdge::abeFloat},
    };
    for (const Case& c : cases) {
        // Each drag starts from the same floating place.
        appBar.SetEdge(TAppBarEdge::abeFloat);
        desktop.Window = {100, 100, 600, 120};
        appBar.EnterSizeMove();
        appBar.ExitSizeMove();
        ASSERT_EQ(desktop.Window, (TRect{100, 100, 600, 120})) << c.What;

        EXPECT_EQ(drag.Start(c.Part, c.Press), c.Starts) << c.What;
        EXPECT_EQ(drag.Active(), c.Starts) << c.What;
        for (const TPoint& point : c.Way) {
            drag.MoveTo(point, c.Ctrl);
        }
        drag.Finish();
        EXPECT_FALSE(drag.Active()) << c.What;
        EXPECT_EQ(RectText(desktop.Window), RectText(c.Window)) << c.What;
        EXPECT_EQ(appBar.Edge(), c.Edge) << c.What;
    }
}

TEST_F(BarDrag, DockingAtAnEdgeReservesItsStripAndLeavingFreesIt) {
    ASSERT_TRUE(drag.Start(TBarHit::Caption, {102, 110}));
    drag.MoveTo({512, 2}, false);
    EXPECT_EQ(appBar.Edge(), TAppBarEdge::abeTop);  // proposed while dragging
    drag.Finish();
    EXPECT_EQ(desktop.Reserved, (TRect{0, 0, 1024, 20}));

    // Back into the middle: floating again with the earlier size, centred under the pointer.
    ASSERT_TRUE(drag.Start(TBarHit::Caption, {2, 10}));
    drag.MoveTo({512, 384}, false);
    drag.Finish();
    EXPECT_EQ(appBar.Edge(), TAppBarEdge::abeFloat);
    EXPECT_EQ(desktop.Window, (TRect{262, 384, 762, 404}));
    EXPECT_EQ(desktop.Reserved, TRect{});
}

}  // namespace
}  // namespace quobel::testing
