#include <gtest/gtest.h>

#include "bar/skin.h"
#include "bar/skin_fixture.h"
#include "store/mail_box.h"
#include "store/mail_item.h"
#include "support/temp_folder.h"
#include "ui/tickerbar/bar_hit_test.h"

namespace quobel::testing {
namespace {

// Each row: a bar 800 pixels wide, with the sound skin (move bar and size bar 6 pixels each) or
// without a skin, and the window part at a client x.
TEST(BarHitTest, WindowPartUnderAClientX) {
    TempFolder folder;
    TSkin skin("Sound", test::WriteSoundSkin(folder.Path(), "Sound"));
    skin.Load();
    struct Case {
        bool Skinned;
        int X;
        TBarHit Part;
    } const cases[] = {
        {true, 0, TBarHit::Caption},       {true, 5, TBarHit::Caption},
        {true, 6, TBarHit::Client},        {true, 400, TBarHit::Client},
        {true, 794, TBarHit::Client},      {true, 795, TBarHit::RightBorder},
        {true, 799, TBarHit::RightBorder}, {false, 0, TBarHit::Client},
        {false, 799, TBarHit::Client},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TBarHitTest::WindowPart(c.Skinned ? &skin : nullptr, 800, c.X), c.Part)
            << (c.Skinned ? "skinned, x " : "no skin, x ") << c.X;
    }
}

// Each row: what a layout found under the pointer, and the hot part and message taken from it;
// a layout without a hot message leaves the last one.
TEST(BarHitTest, TakesTheHotPartAndKeepsTheLastHotMessage) {
    TMailBox inbox;
    inbox.Items.Add().CachedData.Subject = "First";
    inbox.Items.Add().CachedData.Subject = "Second";
    struct Case {
        THotPart Part;
        int32_t Item;
        THotPart HotPart;
        const char* HotSubject;
    } const cases[] = {
        {THotPart::None, -1, THotPart::None, nullptr},
        {THotPart::MessageButton, 1, THotPart::MessageButton, "Second"},
        {THotPart::NextArrow, -1, THotPart::NextArrow, "Second"},
        {THotPart::MessageButton, 0, THotPart::MessageButton, "First"},
        {THotPart::None, -1, THotPart::None, "First"},
    };
    TBarHitTest pointer;
    for (const Case& c : cases) {
        TBarLayout layout;
        layout.HotPart = c.Part;
        layout.HotItem = c.Item;
        pointer.Take(layout, inbox.Items);
        EXPECT_EQ(pointer.HotPart, c.HotPart) << c.Item;
        if (c.HotSubject == nullptr) {
            EXPECT_EQ(pointer.HotItem, nullptr);
        } else {
            ASSERT_NE(pointer.HotItem, nullptr);
            EXPECT_EQ(pointer.HotItem->CachedData.Subject, c.HotSubject);
        }
    }
}

// Each row: the pointer's moves, and what a layout is then given.
TEST(BarHitTest, GivesThePointerToTheLayout) {
    struct Case {
        const char* What;
        bool Over;
        bool Pressed;
        int32_t X;
        int32_t Y;
        bool PointerOver;
    } const cases[] = {
        {"over the bar", true, false, 120, 7, true},
        {"pressed over the bar", true, true, 300, 0, true},
        {"away", false, false, -1, -1, false},
        {"away with the button down", false, true, -1, -1, false},
    };
    for (const Case& c : cases) {
        TBarHitTest pointer;
        if (c.Over) {
            pointer.PointerAt(c.X, c.Y);
        } else {
            pointer.PointerAt(50, 5);
            pointer.PointerAway();
        }
        pointer.Pressed = c.Pressed;
        TBarLayoutInput input;
        pointer.Into(input);
        EXPECT_EQ(input.HotX, c.X) << c.What;
        EXPECT_EQ(input.HotY, c.Y) << c.What;
        EXPECT_EQ(input.Pressed, c.Pressed) << c.What;
        EXPECT_EQ(pointer.PointerOver(), c.PointerOver) << c.What;
    }
}

}  // namespace
}  // namespace quobel::testing
