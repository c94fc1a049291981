#include <gtest/gtest.h>

#include <QDir>
#include <QKeyEvent>
#include <QStyleOptionMenuItem>
#include <QTimer>

#include "bar_fixture.h"
#include "core/error.h"
#include "core/ini_file.h"

namespace quobel::testing {
namespace {

constexpr QRgb kBackground = 0xFF202020;
constexpr QRgb kArrows = 0xFF404040;
constexpr QRgb kMenuButton = 0xFF606060;
constexpr QRgb kButton = 0xFF808080;

class Bar : public ::testing::Test, public BarFixture {
  protected:
    // The worked example's bar: 800 pixels wide, floating at the top left.
    std::unique_ptr<TfrmBar> WideBar() {
        Set("Edge", 5);
        Set("Left", 0);
        Set("Top", 100);
        Set("Width", 800);
        return NewBar();
    }
};

// Where the built program keeps pictures of its runs: the build folder's "artifacts".
QString ArtifactFolder() {
    QDir dir(QCoreApplication::applicationDirPath());
    dir.cdUp();
    dir.cdUp();
    dir.mkpath(QStringLiteral("artifacts"));
    return dir.filePath(QStringLiteral("artifacts"));
}

bool HasPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(image.pixelColor(x, y))) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(Bar, PaintsTheWorkedLayoutWithSubjectsInAccountColours) {
    TAccount& red = AddAccount("Work", 0x0000FF);
    AddItem("Read before", true);
    AddItem("Quarterly figures", false, &red);
    for (int i = 2; i <= 10; ++i) {
        AddItem("Message " + std::to_string(i));
    }
    auto bar = WideBar();
    ASSERT_EQ(bar->width(), 800);
    ASSERT_EQ(bar->height(), 20);

    const QImage& image = bar->BackBuffer();
    ASSERT_EQ(image.size(), QSize(800, 20));
    const TBarLayout& layout = bar->Layout();
    EXPECT_EQ(layout.Slots, 4);
    EXPECT_EQ(layout.ButtonWidth, 173);
    EXPECT_EQ(bar->Scroller().FirstIndex, 1);  // the read item before the first unread never shows
    EXPECT_FALSE(layout.Previous);
    EXPECT_TRUE(layout.More);

    struct Probe {
        int X;
        QRgb Color;
        const char* What;
    } const probes[] = {
        {0, kArrows, "move bar"},          {6, kMenuButton, "menu button"},
        {26, kArrows, "left drop-down"},   {40, kBackground, "no previous arrows"},
        {58, kButton, "first button"},     {749, kButton, "last button"},
        {762, kArrows, "next arrow"},      {772, kArrows, "last arrow"},
        {782, kArrows, "right drop-down"}, {797, kArrows, "size bar"},
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(image.pixel(probe.X, 0), probe.Color) << probe.What;
    }
    // The first button's subject is drawn in the account's red, the second in the skin's white.
    const auto reddish = [](QColor c) { return c.red() > 150 && c.green() < 100; };
    const auto whitish = [](QColor c) { return c.red() > 200 && c.green() > 200; };
    EXPECT_TRUE(HasPixel(image, QRect(62, 2, 165, 15), reddish));
    EXPECT_FALSE(HasPixel(image, QRect(62, 2, 165, 15), whitish));
    EXPECT_TRUE(HasPixel(image, QRect(235, 2, 165, 15), whitish));
    EXPECT_FALSE(HasPixel(image, QRect(235, 2, 165, 15), reddish));

    image.save(ArtifactFolder() + QStringLiteral("/bar-sound-skin.png"));
}

TEST_F(Bar, PaintsAnInstalledSkinAsArtifact) {
    TSkin installed("Graphite", std::string(QUOBEL_SOURCE_DIR) + "/skins/Graphite");
    TAccount& work = AddAccount("Work", 0x3CAAF0);
    AddItem("Quarterly figures & the budget", false, &work);
    AddItem("Lunch on Friday?");
    AddItem("A subject far too long to fit into one button of the bar, cut with an ellipsis");
    AddItem("Read one", true);
    AddItem("Release notes");
    AddItem("Travel plans");
    auto bar = WideBar();
    bar->ApplySkin(&installed);
    const QImage& image = bar->BackBuffer();
    EXPECT_EQ(image.height(), installed.Height);
    EXPECT_EQ(image.width(), 800);
    EXPECT_TRUE(image.save(ArtifactFolder() + QStringLiteral("/bar-graphite.png")));
    bar.reset();
    EXPECT_FALSE(installed.Loaded());  // the bar unloads its skin when it goes
}

TEST_F(Bar, WithoutInboxOrSkinNothingIsLaidOut) {
    AddItem("One");
    auto bar = WideBar();
    bar->MailBox = nullptr;
    bar->Pointer().HotX = 100;
    bar->FormPaint();
    EXPECT_EQ(bar->Pointer().HotX, 100);
    EXPECT_FALSE(bar->Layout().Buttons.empty());  // unchanged since the last paint with a box

    bar->MailBox = &inbox;
    TSkin missing("Missing", folder.File("no-such-skin"));
    EXPECT_THROW(bar->ApplySkin(&missing), quobel::Error);
    EXPECT_FALSE(skin.Loaded());  // the previous skin was unloaded
    bar->FormPaint();
    EXPECT_TRUE(bar->Layout().Buttons.empty());
    EXPECT_EQ(bar->BackBuffer().width(), 800);
}

// Each row: where the pointer goes (client x), what is hot there, and what a left click does.
TEST_F(Bar, HitTestAndClicks) {
    for (int i = 1; i <= 10; ++i) {
        AddItem("Message " + std::to_string(i));
    }
    auto bar = WideBar();

    struct Case {
        int X;
        THotPart Hot;
        int FirstIndexBefore;
        int FirstIndexAfter;
        const char* Call;
    } const cases[] = {
        {10, THotPart::MenuButton, 0, 0, ""},
        {30, THotPart::Dropdown, 0, 0, "HideToTray (stuck)"},
        {785, THotPart::Dropdown, 0, 0, "HideToTray (stuck)"},
        {765, THotPart::NextArrow, 0, 1, ""},
        {775, THotPart::LastArrow, 0, 6, ""},
        {42, THotPart::FirstArrow, 3, 0, ""},
        {52, THotPart::PreviousArrow, 3, 2, ""},
        // Opening marks it read, and the view moves past it.
        {100, THotPart::MessageButton, 2, 3, "Open Message 3"},
        {38, THotPart::None, 0, 0, ""},  // the background where the arrows would be
    };
    for (const Case& c : cases) {
        host.Calls.clear();
        bar->Scroller().FirstIndex = c.FirstIndexBefore;
        bar->FormPaint();
        Mouse(*bar, QEvent::MouseMove, {c.X, 10});
        EXPECT_EQ(bar->Pointer().HotPart, c.Hot) << c.X;
        Mouse(*bar, QEvent::MouseButtonPress, {c.X, 10}, Qt::LeftButton);
        EXPECT_TRUE(bar->Pointer().Pressed);
        Mouse(*bar, QEvent::MouseButtonRelease, {c.X, 10}, Qt::LeftButton);
        EXPECT_FALSE(bar->Pointer().Pressed);
        EXPECT_EQ(bar->Scroller().FirstIndex, c.FirstIndexAfter) << c.X;
        EXPECT_EQ(host.Calls.empty() ? std::string() : host.Calls.front(), c.Call) << c.X;
        if (c.Hot == THotPart::MenuButton) {
            EXPECT_TRUE(bar->Menu(TBarMenuId::Main).isVisible());
            EXPECT_EQ(bar->Menu(TBarMenuId::Main).pos().y(),
                      bar->mapToGlobal(QPoint(0, bar->height())).y());
            bar->Menu(TBarMenuId::Main).close();
        }
        inbox.Items.Items(2).Read = false;
    }

    // The drop-down shows a hidden main window; arrows ignore other buttons.
    host.Calls.clear();
    host.Visible = false;
    Click(*bar, {30, 10});
    EXPECT_EQ(host.Calls, std::vector<std::string>{"LeaveTray (stuck)"});
    EXPECT_FALSE(bar->AppBar().Stick);
    bar->Scroller().FirstIndex = 0;
    Click(*bar, {765, 10}, Qt::RightButton);
    EXPECT_EQ(bar->Scroller().FirstIndex, 0);
}

TEST_F(Bar, ReleasingOutsideOnlyClearsThePressedLook) {
    AddItem("One");
    auto bar = WideBar();
    Mouse(*bar, QEvent::MouseMove, {100, 10});
    Mouse(*bar, QEvent::MouseButtonPress, {100, 10}, Qt::LeftButton);
    EXPECT_TRUE(bar->Pointer().Pressed);
    EXPECT_EQ(bar->Layout().Buttons.front().State, TPartState::Pressed);
    Mouse(*bar, QEvent::MouseButtonRelease, {100, 200}, Qt::LeftButton);
    EXPECT_FALSE(bar->Pointer().Pressed);
    EXPECT_EQ(bar->Pointer().HotX, -1);
    EXPECT_TRUE(host.Calls.empty());
    EXPECT_EQ(bar->Layout().Buttons.front().State, TPartState::Normal);
}

TEST_F(Bar, ButtonMenuActsOnItsMessageAfterThePointerLeft) {
    AddItem("First");
    AddItem("Second");
    auto bar = WideBar();
    Click(*bar, {100, 10}, Qt::RightButton);
    ASSERT_TRUE(bar->Menu(TBarMenuId::Button).isVisible());
    Leave(*bar);
    // Hovering another message while the menu is open does not change whom it acts on.
    Mouse(*bar, QEvent::MouseMove, {500, 10});
    EXPECT_EQ(bar->Pointer().HotItem, &inbox.Items.Items(1));
    bar->Command(TCommandId::BarDelete).trigger();
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Delete First", "StartNext"}));

    host.Calls.clear();
    bar->Command(TCommandId::BarMarkRead).trigger();
    EXPECT_EQ(host.Calls, std::vector<std::string>{"MarkRead First notify"});

    // A message removed meanwhile is left alone.
    host.Calls.clear();
    inbox.Items.Delete(0);
    bar->Command(TCommandId::BarDelete).trigger();
    EXPECT_TRUE(host.Calls.empty());
}

TEST_F(Bar, MarkAllReadGoesBackwardsNotifyingOnce) {
    AddItem("A");
    AddItem("B", true);
    AddItem("C");
    AddItem("D");
    auto bar = WideBar();
    bar->Command(TCommandId::BarMarkAllRead).trigger();
    EXPECT_EQ(host.Calls,
              (std::vector<std::string>{"MarkRead D", "MarkRead C", "MarkRead A notify"}));
    EXPECT_TRUE(bar->Layout().Buttons.empty());
}

TEST_F(Bar, PreviousArrowStepsBackToTheNearestEarlierUnreadMessage) {
    // Six unread messages with read ones between: four slots show at a time.
    AddItem("U0");
    AddItem("R1", true);
    AddItem("R2", true);
    for (int i = 3; i <= 7; ++i) {
        AddItem("U" + std::to_string(i));
    }
    auto bar = WideBar();
    bar->Scroller().FirstIndex = 4;
    bar->FormPaint();
    ASSERT_EQ(bar->Scroller().FirstIndex, 4);
    ASSERT_TRUE(bar->Layout().Previous);
    Click(*bar, {52, 10});  // previous
    EXPECT_EQ(bar->Scroller().FirstIndex, 3);
    Click(*bar, {52, 10});
    EXPECT_EQ(bar->Scroller().FirstIndex, 0);  // not 2, which would show the same view again
    EXPECT_FALSE(bar->Layout().Previous);
}

TEST_F(Bar, HintsNameAccountSenderRecipientsAndDate) {
    TAccount& work = AddAccount("Work");
    AddItem("With account", false, &work);
    AddItem("Without account");
    auto bar = WideBar();

    struct Case {
        int X;
        std::string Hint;
    } const cases[] = {
        {100, "Account: Work\r\nFrom: Ann Example\r\nTo: Bob, Carol\r\nDate: 12-09-2026 10:00:00"},
        {500, "From: Ann Example\r\nTo: Bob, Carol\r\nDate: 12-09-2026 10:00:00"},
        {10, ""},
    };
    for (const Case& c : cases) {
        Mouse(*bar, QEvent::MouseMove, {c.X, 10});
        EXPECT_EQ(bar->HintText(), c.Hint);
        EXPECT_EQ(bar->LastHint, c.Hint);
    }
    // The account's skin colour "none" leaves the skin's colour.
    Mouse(*bar, QEvent::MouseMove, {100, 10});
    EXPECT_EQ(bar->Layout().Buttons.front().TextColor, skin.Button.Font.Color);
}

TEST_F(Bar, PointerOverTheBarStopsScrollingAndLeavingRestartsTheDelay) {
    for (int i = 1; i <= 6; ++i) {
        AddItem("U" + std::to_string(i));
    }
    Set("ScrollTime", 3);
    auto bar = WideBar();
    EXPECT_EQ(bar->Scroller().DelayTimer().interval(), 3000);
    EXPECT_TRUE(bar->Scroller().DelayTimer().isActive());

    // Six unread, four slots: the views begin at the 1st, 2nd, 3rd, 3rd again, then the 1st.
    bar->Scroller().DelayElapsed();
    EXPECT_TRUE(bar->Scroller().ScrollTimer().isActive());
    std::vector<int> views{bar->Scroller().FirstIndex};
    for (int i = 0; i < 4; ++i) {
        bar->Scroller().Step();
        views.push_back(bar->Scroller().FirstIndex);
    }
    EXPECT_EQ(views, (std::vector<int>{1, 2, 2, 0, 1}));

    Mouse(*bar, QEvent::MouseMove, {100, 10});
    EXPECT_FALSE(bar->Scroller().ScrollTimer().isActive());
    EXPECT_FALSE(bar->Scroller().DelayTimer().isActive());
    Leave(*bar);
    EXPECT_EQ(bar->Pointer().HotX, -1);
    EXPECT_TRUE(bar->Scroller().DelayTimer().isActive());

    // Scrolling switched off: the delay runs out and nothing scrolls.
    Set("Scroll", 0);
    bar->Scroller().DelayElapsed();
    EXPECT_FALSE(bar->Scroller().ScrollTimer().isActive());
    EXPECT_FALSE(bar->Scroller().DelayTimer().isActive());

    // A scroll time of 0 never starts scrolling.
    Set("ScrollTime", 0);
    bar->ApplySkin(&skin);
    Leave(*bar);
    EXPECT_FALSE(bar->Scroller().DelayTimer().isActive());
}

TEST_F(Bar, SettingsRoundTrip) {
    Set("ButtonWidth", 200);
    {
        auto bar = WideBar();
        EXPECT_EQ(bar->ButtonWidth, 200);
        EXPECT_EQ(bar->geometry(), QRect(0, 100, 800, 20));
        bar->move(40, 60);
        bar->resize(500, 20);
        bar->close();
    }
    {
        const TIniFile ini(folder.File("settings.ini"));
        EXPECT_EQ(ini.ReadInteger("Bar", "Edge", -1), 5);
        EXPECT_EQ(ini.ReadInteger("Bar", "Left", -1), 40);
        EXPECT_EQ(ini.ReadInteger("Bar", "Top", -1), 60);
        EXPECT_EQ(ini.ReadInteger("Bar", "Width", -1), 500);
    }
    {
        auto bar = NewBar();
        EXPECT_EQ(bar->geometry(), QRect(40, 60, 500, 20));
        bar->AppBar().SetEdge(TAppBarEdge::abeBottom);
        EXPECT_EQ(bar->geometry(), QRect(0, screenHeight - 20, screenWidth, 20));
        EXPECT_EQ(shell->Reserved, (TRect{0, screenHeight - 20, screenWidth, screenHeight}));
        // Another panel below it: the bar moves up when the shell reports the new work area.
        shell->DesktopArea.Bottom = screenHeight - 30;
        workAreaChanged();
        EXPECT_EQ(bar->geometry(), QRect(0, screenHeight - 50, screenWidth, 20));
        shell->DesktopArea.Bottom = screenHeight;
        workAreaChanged();
        bool hidden = false;
        bar->OnHide = [&hidden](TfrmBar&) { hidden = true; };
        bar->close();
        EXPECT_TRUE(hidden);
    }
    {
        const TIniFile ini(folder.File("settings.ini"));
        EXPECT_EQ(ini.ReadInteger("Bar", "Edge", -1), 3);
        EXPECT_EQ(ini.ReadInteger("Bar", "Left", -1), 40);  // written only when floating
    }
    {
        auto bar = NewBar();
        EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeBottom);
        EXPECT_EQ(bar->geometry(), QRect(0, screenHeight - 20, screenWidth, 20));
    }

    // A place on a screen that is no longer there: where a new bar starts.
    Set("Edge", 5);
    Set("Left", screenWidth + 500);
    auto bar = NewBar();
    EXPECT_EQ(bar->geometry(), QRect(screenWidth - 500, screenHeight - 32, 500, 20));
}

TEST_F(Bar, StaysOnTopExceptUnderAFullScreenApplication) {
    auto bar = WideBar();
    EXPECT_TRUE(bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    fullScreenApp(true);
    EXPECT_TRUE(bar->windowFlags().testFlag(Qt::WindowStaysOnBottomHint));
    EXPECT_FALSE(bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(bar->isVisible());
    fullScreenApp(false);
    EXPECT_TRUE(bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->geometry(), QRect(0, 100, 800, 20));
}

TEST_F(Bar, WithoutAShellTheBarOnlyFloats) {
    Set("Edge", 1);  // from a desktop that could dock
    auto bar = std::make_unique<TfrmBar>(host, options, TfrmBar::TShellFactory{});
    bar->MailBox = &inbox;
    bar->ApplySkin(&skin);
    bar->show();
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeFloat);
    EXPECT_FALSE(bar->AppBar().Flags.AllowsAnyDockedEdge());
    // Never placed before: in the bottom right corner of the work area.
    EXPECT_EQ(bar->geometry().topRight(), QPoint(screenWidth - 1, screenHeight - 32));
}

TEST_F(Bar, SizeBarResizesMoveBarDocksAndUndocks) {
    AddItem("One");
    auto bar = WideBar();

    // The size bar makes it narrower, but never below 250 pixels; the floating size is kept.
    const QPoint grip(bar->width() - 2, 5);
    Mouse(*bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    Mouse(*bar, QEvent::MouseMove, grip - QPoint(100, 0), Qt::LeftButton);
    EXPECT_EQ(bar->width(), 700);
    Mouse(*bar, QEvent::MouseMove, grip - QPoint(600, 0), Qt::LeftButton);
    EXPECT_EQ(bar->width(), 250);
    Mouse(*bar, QEvent::MouseButtonRelease, grip - QPoint(600, 0), Qt::LeftButton);
    EXPECT_EQ(bar->AppBar().FloatRight - bar->AppBar().FloatLeft, 250);
    EXPECT_EQ(bar->Layout().Buttons.size(), 1u);

    // Drag by the move bar to the middle of the top edge: the bar docks there.
    Mouse(*bar, QEvent::MouseButtonPress, {2, 5}, Qt::LeftButton);
    const QPoint top(screenWidth / 2, 2);
    Mouse(*bar, QEvent::MouseMove, bar->mapFromGlobal(top), Qt::LeftButton);
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeTop);  // proposed while dragging
    Mouse(*bar, QEvent::MouseButtonRelease, bar->mapFromGlobal(top), Qt::LeftButton);
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeTop);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, screenWidth, 20));
    EXPECT_EQ(shell->Reserved, (TRect{0, 0, screenWidth, 20}));

    // Back into the middle of the screen: it floats with its earlier size under the pointer.
    Mouse(*bar, QEvent::MouseButtonPress, {2, 5}, Qt::LeftButton);
    const QPoint middle(screenWidth / 2, screenHeight / 2);
    Mouse(*bar, QEvent::MouseMove, bar->mapFromGlobal(middle), Qt::LeftButton);
    Mouse(*bar, QEvent::MouseButtonRelease, bar->mapFromGlobal(middle), Qt::LeftButton);
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeFloat);
    EXPECT_EQ(bar->geometry(), QRect(middle.x() - 125, middle.y(), 250, 20));
    EXPECT_EQ(shell->Reserved, TRect{});
    EXPECT_TRUE(host.Calls.empty());
}

// Each row: a rectangle the docking rules ask for, and where the real window goes. A floating
// bar stays between its 250 pixels and the screen's width, and exactly as high as its skin.
TEST_F(Bar, ShellWindowPlacesTheRealWindowWithinItsLimits) {
    auto bar = WideBar();
    TBarShellWindow& window = bar->ShellWindow();
    struct Case {
        TRect Asked;
        QRect Placed;
    } const cases[] = {
        {{10, 20, 510, 40}, QRect(10, 20, 500, 20)},
        {{10, 20, 110, 40}, QRect(10, 20, 250, 20)},
        {{0, 0, screenWidth + 300, 90}, QRect(0, 0, screenWidth, 20)},
        {{30, 40, 630, 41}, QRect(30, 40, 600, 20)},
    };
    for (const Case& c : cases) {
        window.PlaceWindow(c.Asked);
        EXPECT_EQ(bar->geometry(), c.Placed) << RectText(c.Asked);
        const TRect reported = window.WindowRect();
        EXPECT_EQ(reported, (TRect{c.Placed.left(), c.Placed.top(), c.Placed.right() + 1,
                                   c.Placed.bottom() + 1}))
            << RectText(c.Asked);
    }
}

// Each row: the z-order the docking rules ask for and the real window's stacking hints; a bar
// that is closing keeps the hints it has.
TEST_F(Bar, ShellWindowStacksTheRealWindow) {
    auto bar = WideBar();
    TBarShellWindow& window = bar->ShellWindow();
    struct Case {
        TZOrder Order;
        bool Closing;
        bool OnTop;
        bool OnBottom;
    } const cases[] = {
        {TZOrder::Bottom, false, false, true},      {TZOrder::TopMost, false, true, false},
        {TZOrder::NotTopMost, false, false, false}, {TZOrder::TopMost, false, true, false},
        {TZOrder::Bottom, true, true, false},
    };
    for (const Case& c : cases) {
        if (c.Closing) {
            window.SetClosing();
        }
        window.SetZOrder(c.Order);
        EXPECT_EQ(bar->windowFlags().testFlag(Qt::WindowStaysOnTopHint), c.OnTop)
            << static_cast<int>(c.Order);
        EXPECT_EQ(bar->windowFlags().testFlag(Qt::WindowStaysOnBottomHint), c.OnBottom)
            << static_cast<int>(c.Order);
        EXPECT_TRUE(bar->isVisible());
    }
}

TEST_F(Bar, ShellWindowRunsTheAutoHideTimer) {
    auto bar = WideBar();
    TBarShellWindow& window = bar->ShellWindow();
    // The bar starts it at its slide time when the window is made.
    EXPECT_TRUE(window.AutoHideTimer().isActive());
    EXPECT_EQ(window.AutoHideTimer().interval(), bar->AppBar().SlideTime());
    struct Case {
        int32_t Interval;
        bool Active;
    } const cases[] = {{250, true}, {0, false}, {1000, true}, {-5, false}};
    for (const Case& c : cases) {
        window.SetAutoHideTimer(c.Interval);
        EXPECT_EQ(window.AutoHideTimer().isActive(), c.Active) << c.Interval;
        if (c.Active) {
            EXPECT_EQ(window.AutoHideTimer().interval(), c.Interval);
        }
    }
}

TEST_F(Bar, APostedSizeMoveCycleWaitsForTheDragToEnd) {
    auto bar = WideBar();
    Mouse(*bar, QEvent::MouseButtonPress, {2, 5}, Qt::LeftButton);
    const QPoint top(screenWidth / 2, 2);
    Mouse(*bar, QEvent::MouseMove, bar->mapFromGlobal(top), Qt::LeftButton);
    bar->ShellWindow().PostSizeMoveCycle();
    QCoreApplication::processEvents();
    // The drag's proposed edge survives the cycle, and the bar docks there when it ends.
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeTop);
    EXPECT_EQ(shell->Reserved, TRect{});
    Mouse(*bar, QEvent::MouseButtonRelease, bar->mapFromGlobal(top), Qt::LeftButton);
    EXPECT_EQ(shell->Reserved, (TRect{0, 0, screenWidth, 20}));
}

TEST_F(Bar, PopsUpAfterNewMailAndGoesBackIn) {
    Set("Edge", 3);
    {
        OptionsScope scope(options);
        scope.Ini().WriteBool("Bar", "AutoHide", true);
    }
    AddItem("New");
    auto bar = NewBar();
    const int hiddenY = screenHeight - 2;  // a sliver two border heights deep stays
    const int shownY = screenHeight - 20;
    EXPECT_TRUE(bar->AppBar().AutoHide);
    EXPECT_EQ(bar->y(), hiddenY);

    bar->PopUp();
    EXPECT_EQ(bar->y(), shownY);
    EXPECT_TRUE(bar->AppBar().Stick);
    bar->AppBar().AutoHideCheck();  // the pointer is far away, but the bar stays
    EXPECT_EQ(bar->y(), shownY);

    // Escape sends it back in.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(bar.get(), &escape);
    EXPECT_EQ(bar->y(), hiddenY);
    EXPECT_FALSE(bar->AppBar().Stick);

    bar->PopUp();
    bar->PopDown();
    EXPECT_EQ(bar->y(), hiddenY);
    EXPECT_FALSE(bar->AppBar().Stick);

    // The pointer on the sliver brings it out; moving on over it ends a pop-up's stay.
    Mouse(*bar, QEvent::MouseMove, {100, 1});
    EXPECT_EQ(bar->y(), shownY);
    bar->PopUp();
    Mouse(*bar, QEvent::MouseMove, {120, 5});
    EXPECT_FALSE(bar->AppBar().Stick);

    // A floating bar does not pop.
    bar->AppBar().SetEdge(TAppBarEdge::abeFloat);
    bar->PopUp();
    EXPECT_FALSE(bar->AppBar().Stick);
}

TEST_F(Bar, AutoHideRefusedWhenAnotherBarOwnsTheEdge) {
    Set("Edge", 1);
    {
        OptionsScope scope(options);
        scope.Ini().WriteBool("Bar", "AutoHide", true);
    }
    auto bar = NewBar(false);
    shell->AutoHideOwners[1] = TScreenEdgeShellMemory::TOwner::Other;
    bar->show();
    EXPECT_EQ(bar->AppBar().Edge(), TAppBarEdge::abeTop);
    EXPECT_FALSE(bar->AppBar().AutoHide);
    EXPECT_EQ(bar->y(), 0);
    ASSERT_EQ(information.size(), 1u);
    EXPECT_EQ(information.front(), std::string("Error: ") + TAppBar::kAutoHideRefusedText);
}

TEST_F(Bar, CheckMenuFollowsTheAccounts) {
    TAccount& home = AddAccount("Home");
    AddAccount("Work");
    auto bar = WideBar();
    const auto captions = [&bar] {
        std::vector<std::string> result;
        for (QAction* action : bar->Menu(TBarMenuId::CheckNow).actions()) {
            result.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return result;
    };
    EXPECT_EQ(captions(), (std::vector<std::string>{"&All accounts...", "-", "Home", "Work"}));

    host.AccountList.pop_back();
    bar->RebuildCheckMenu();
    EXPECT_EQ(captions(), (std::vector<std::string>{"&All accounts...", "-", "Home"}));

    bar->Menu(TBarMenuId::CheckNow).actions().at(2)->trigger();
    bar->Menu(TBarMenuId::CheckNow).actions().at(0)->trigger();
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Check " + home.Name, "CheckAll"}));

    // The main menu and its commands.
    std::vector<std::string> main;
    for (QAction* action : bar->Menu(TBarMenuId::Main).actions()) {
        main.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    EXPECT_EQ(main,
              (std::vector<std::string>{"&Compose", "&Address book", "-", "Check email &now...",
                                        "&Options...", "Do not disturb", "-", "&Hide", "E&xit"}));
    host.Calls.clear();
    bar->Command(TCommandId::BarOptions).trigger();
    bar->Command(TCommandId::BarExit).trigger();
    bar->Command(TCommandId::BarCompose).trigger();
    EXPECT_EQ(host.Calls, (std::vector<std::string>{"Options", "Close", "Compose"}));
}

// Every command of the bar as it reads: caption, tool tip, shortcut, no icon (the skin draws the
// menus), the menu it sits in; found by its object name and held by the bar window, so that its
// shortcut works while the bar is active.
TEST_F(Bar, CommandsReadAsDesigned) {
    using enum TCommandId;
    struct Case {
        TCommandId id;
        const char* name;
        const char* caption;
        const char* toolTip;
        QKeySequence shortcut;
        TBarMenuId menu;
    };
    const QKeySequence none;
    const Case cases[] = {
        {BarCompose, "actCompose", "&Compose", "Compose", QKeySequence(Qt::CTRL | Qt::Key_N),
         TBarMenuId::Main},
        {BarAddressBook, "actAddressBook", "&Address book", "Address book (not available)", none,
         TBarMenuId::Main},
        {BarCheckAll, "actCheckMail", "&All accounts...", "All accounts", none,
         TBarMenuId::CheckNow},
        {BarOptions, "actOptions", "&Options...", "Options", none, TBarMenuId::Main},
        {BarHide, "actHide", "&Hide", "Hide", QKeySequence(Qt::CTRL | Qt::Key_F4),
         TBarMenuId::Main},
        {BarExit, "actExit", "E&xit", "Exit", QKeySequence(Qt::ALT | Qt::Key_F4), TBarMenuId::Main},
        {BarMarkRead, "actMarkRead", "&Mark as read", "Mark as read", none, TBarMenuId::Button},
        {BarMarkAllRead, "actMarkAllRead", "Mar&k all read", "Mark all read", none,
         TBarMenuId::Button},
        {BarDelete, "actDelete", "&Delete", "Delete", none, TBarMenuId::Button},
        {BarAntiSpam, "actAntiSpam", "&Anti-Spam", "Anti-Spam (not available)", none,
         TBarMenuId::Button},
    };
    auto bar = WideBar();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QAction& action = bar->Command(c.id);
        EXPECT_EQ(bar->findChildren<QAction*>(QString::fromLatin1(c.name)),
                  QList<QAction*>{&action});
        EXPECT_EQ(action.text(), c.caption);
        EXPECT_EQ(action.toolTip(), c.toolTip);
        EXPECT_EQ(action.shortcut(), c.shortcut);
        EXPECT_TRUE(action.icon().isNull());
        EXPECT_FALSE(action.isCheckable());
        EXPECT_TRUE(bar->actions().contains(&action));
        EXPECT_TRUE(bar->Menu(c.menu).actions().contains(&action));
    }
}

TEST_F(Bar, MenusAreDrawnInTheSkinsColours) {
    auto bar = WideBar();
    QMenu& menu = bar->Menu(TBarMenuId::Button);
    menu.popup(bar->mapToGlobal(QPoint(0, bar->height())));
    QCoreApplication::processEvents();
    menu.setActiveAction(&bar->Command(TCommandId::BarDelete));
    const QImage image = menu.grab().toImage();
    menu.close();

    // Frame: the border colour outside, then two lines of the normal fill.
    EXPECT_EQ(image.pixelColor(0, image.height() / 2), QColor(1, 2, 3));
    EXPECT_EQ(image.pixelColor(1, image.height() / 2), QColor(7, 8, 9));
    EXPECT_EQ(image.pixelColor(2, image.height() / 2), QColor(7, 8, 9));
    // The selected entry: its outline, then its fill.
    const QRect selected = menu.actionGeometry(&bar->Command(TCommandId::BarDelete));
    EXPECT_EQ(image.pixelColor(selected.left(), selected.center().y()), QColor(16, 17, 18));
    EXPECT_EQ(image.pixelColor(selected.left() + 1, selected.top() + 1), QColor(13, 14, 15));
    const QRect normal = menu.actionGeometry(&bar->Command(TCommandId::BarMarkRead));
    EXPECT_EQ(image.pixelColor(normal.left(), normal.center().y()), QColor(10, 11, 12));
    EXPECT_EQ(image.pixelColor(normal.left() + 1, normal.top() + 1), QColor(7, 8, 9));

    // Every entry is 25 pixels wider than the style beneath would make it.
    QStyleOptionMenuItem option;
    option.initFrom(&menu);
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.text = QStringLiteral("&Delete");
    const QSize base(40, 18);
    EXPECT_EQ(
        menu.style()->sizeFromContents(QStyle::CT_MenuItem, &option, base, &menu).width(),
        QApplication::style()->sizeFromContents(QStyle::CT_MenuItem, &option, base, &menu).width() +
            25);
}

}  // namespace
}  // namespace quobel::testing
