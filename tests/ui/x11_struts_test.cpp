#include "ui/x11/x11_struts.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/x11/desktop_shell.h"

namespace quobel {
namespace {

using E = TAppBarEdge;
using V = std::array<uint32_t, TStrut::Count>;

TStrut Strut(const V& values) {
    TStrut strut;
    strut.Values = values;
    return strut;
}

TEST(X11StrutsTest, StrutReservesFromTheRootEdgeToTheFarSideOfTheStrip) {
    struct Case {
        const char* name;
        E edge;
        TRect rect;
        V expected;
    };
    // Root 1280 x 800; ranges are inclusive, so the last pixel is one before the exclusive end.
    const Case cases[] = {
        {"top", E::abeTop, {0, 0, 1280, 30}, {0, 0, 30, 0, 0, 0, 0, 0, 0, 1279, 0, 0}},
        {"top below a 20-pixel panel",
         E::abeTop,
         {0, 20, 1280, 50},
         {0, 0, 50, 0, 0, 0, 0, 0, 0, 1279, 0, 0}},
        {"bottom", E::abeBottom, {0, 778, 1280, 800}, {0, 0, 0, 22, 0, 0, 0, 0, 0, 0, 0, 1279}},
        {"left", E::abeLeft, {0, 0, 40, 800}, {40, 0, 0, 0, 0, 799, 0, 0, 0, 0, 0, 0}},
        {"right, part of the height",
         E::abeRight,
         {1240, 100, 1280, 700},
         {0, 40, 0, 0, 0, 0, 100, 699, 0, 0, 0, 0}},
        {"floating", E::abeFloat, {0, 0, 1280, 30}, {}},
        {"unknown", E::abeUnknown, {0, 0, 1280, 30}, {}},
        {"empty rectangle", E::abeTop, {}, {}},
        {"inverted rectangle", E::abeTop, {0, 30, 1280, 0}, {}},
        {"off the root clamps at zero",
         E::abeBottom,
         {0, 900, 1280, 930},
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1279}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TStrut strut = StrutForDock(c.edge, c.rect, 1280, 800);
        EXPECT_EQ(strut.Values, c.expected);
    }
    EXPECT_TRUE(StrutForDock(E::abeBottom, {0, 900, 1280, 930}, 1280, 800).IsEmpty());
    EXPECT_TRUE(StrutForDock(E::abeFloat, {0, 0, 10, 10}, 1280, 800).IsEmpty());
    EXPECT_FALSE(StrutForDock(E::abeTop, {0, 0, 10, 10}, 1280, 800).IsEmpty());
}

TEST(X11StrutsTest, StrutFromPropertyPrefersThePartialOne) {
    const std::vector<uint32_t> partial{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<uint32_t> plain{0, 0, 25, 0};
    EXPECT_EQ(TStrut::FromProperty(partial, plain).Values,
              (V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(TStrut::FromProperty({}, plain).Values, (V{0, 0, 25, 0}));
    // A short partial strut is malformed; the plain one still counts.
    EXPECT_EQ(TStrut::FromProperty({1, 2, 3}, plain).Values, (V{0, 0, 25, 0}));
    EXPECT_TRUE(TStrut::FromProperty({1, 2, 3}, {7}).IsEmpty());
}

TEST(X11StrutsTest, WorkAreaWithoutTheBarsOwnStrip) {
    const TStrut ownTop30 = Strut({0, 0, 30, 0});
    const TStrut ownBottom22 = Strut({0, 0, 0, 22});
    const TStrut panelTop20 = Strut({0, 0, 20, 0});
    const TStrut panelTop50 = Strut({0, 0, 50, 0});
    const TStrut panelLeft64 = Strut({64, 0, 0, 0});
    struct Case {
        const char* name;
        TRect workArea;
        TStrut own;
        std::vector<TStrut> others;
        TRect expected;
    };
    const Case cases[] = {
        {"no strip of its own", {0, 20, 1280, 800}, {}, {panelTop20}, {0, 20, 1280, 800}},
        {"own strip alone", {0, 30, 1280, 800}, ownTop30, {}, {0, 0, 1280, 800}},
        {"own strip below a panel", {0, 30, 1280, 800}, ownTop30, {panelTop20}, {0, 20, 1280, 800}},
        {"a deeper panel limits the side",
         {0, 50, 1280, 800},
         ownTop30,
         {panelTop50},
         {0, 50, 1280, 800}},
        {"other sides stay as the desktop says",
         {64, 30, 1280, 800},
         ownTop30,
         {panelLeft64},
         {64, 0, 1280, 800}},
        {"bottom strip", {0, 0, 1280, 778}, ownBottom22, {}, {0, 0, 1280, 800}},
        {"work area not updated yet", {0, 0, 1280, 800}, ownTop30, {}, {0, 0, 1280, 800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WorkAreaWithout(c.workArea, c.own, c.others, 1280, 800), c.expected);
    }
    EXPECT_EQ(WorkAreaWithout({0, 0, 1240, 800}, Strut({0, 40, 0, 0}), {}, 1280, 800),
              (TRect{0, 0, 1280, 800}));
    EXPECT_EQ(WorkAreaWithout({40, 0, 1280, 800}, Strut({40, 0, 0, 0}), {}, 1280, 800),
              (TRect{0, 0, 1280, 800}));
}

TEST(X11StrutsTest, WorkAreaOfTheCurrentDesktop) {
    const std::vector<uint32_t> twoDesktops{0, 30, 1280, 770, 0, 0, 1280, 800};
    EXPECT_EQ(WorkAreaOfDesktop(twoDesktops, 0), (TRect{0, 30, 1280, 800}));
    EXPECT_EQ(WorkAreaOfDesktop(twoDesktops, 1), (TRect{0, 0, 1280, 800}));
    EXPECT_EQ(WorkAreaOfDesktop(twoDesktops, 2), std::nullopt);
    EXPECT_EQ(WorkAreaOfDesktop(twoDesktops, 0xFFFFFFFF), std::nullopt);
    EXPECT_EQ(WorkAreaOfDesktop({0, 30, 1280}, 0), std::nullopt);
    EXPECT_EQ(WorkAreaOfDesktop({}, 0), std::nullopt);
    EXPECT_EQ(WorkAreaOfDesktop({0, 0, 0, 800}, 0), std::nullopt);
    EXPECT_EQ(WorkAreaOfDesktop({0xFFFFFFF0, 0, 0xFFFFFFF0, 800}, 0), std::nullopt);
}

TEST(X11StrutsTest, ScaleBetweenLogicalAndDevicePixels) {
    EXPECT_EQ(ScaleRect({0, 0, 1280, 30}, 1.0), (TRect{0, 0, 1280, 30}));
    EXPECT_EQ(ScaleRect({0, 0, 1280, 30}, 1.5), (TRect{0, 0, 1920, 45}));
    EXPECT_EQ(ScaleRect({0, 45, 1920, 800}, 1.0 / 1.5), (TRect{0, 30, 1280, 533}));
}

// Off X11 (these tests run offscreen) there is no shell: the bar floats, and the work area is the
// screen's available geometry.
TEST(X11StrutsTest, NoShellOffX11) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        GTEST_SKIP() << "the X11 shell has its own test under Xvfb";
    }
    QWidget window;
    EXPECT_EQ(CreateScreenEdgeShell(window, [] {}), nullptr);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(DesktopWorkArea(),
              (TRect{available.left(), available.top(), available.left() + available.width(),
                     available.top() + available.height()}));
}

}  // namespace
}  // namespace quobel
