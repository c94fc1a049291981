#include "bar/ticker_layout.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quobel {
namespace {

// The metrics of the worked example: move bar 6, menu button 20, drop-down 12, size bar 6,
// arrows 10, 20 pixels high; message button image 30 wide with borders 4/4/2/3.
TSkin ExampleSkin() {
    TSkin skin("Example", "/skins/Example");
    skin.Height = 20;
    skin.Background = TBmpImage(8, 20);
    skin.Arrows = {TBmpImage(6 + 6 + 3 * 52, 20), 6, 6, 10, 10, 10, 10, 12};
    skin.MenuButton = {TBmpImage(60, 20), 20};
    skin.Button.Image = TBmpImage(90, 20);
    skin.Button.Width = 30;
    skin.Button.BorderLeft = 4;
    skin.Button.BorderRight = 4;
    skin.Button.BorderTop = 2;
    skin.Button.BorderBottom = 3;
    skin.Button.Font.Color = 0xFFFFFF;
    return skin;
}

// Items from a pattern: 'U' unread, 'R' read; subjects are "m<index>".
std::vector<TBarMessage> Items(const std::string& pattern) {
    std::vector<TBarMessage> items;
    for (const char c : pattern) {
        TBarMessage item;
        item.Read = c == 'R';
        item.Subject = "m" + std::to_string(items.size());
        items.push_back(item);
    }
    return items;
}

const char* StateText(TPartState state) {
    return state == TPartState::Hot ? ":hot" : state == TPartState::Pressed ? ":pressed" : "";
}

// The layout in words: every part but the background tiles with its position, then the buttons
// as item@x+width.
std::string Describe(const TSkin& skin, const TBarLayout& layout) {
    std::ostringstream out;
    static const std::pair<TArrowPart, const char*> kNames[] = {
        {TArrowPart::MoveBar, "move"},  {TArrowPart::SizeBar, "size"},
        {TArrowPart::Previous, "prev"}, {TArrowPart::Next, "next"},
        {TArrowPart::First, "first"},   {TArrowPart::Last, "last"},
        {TArrowPart::Dropdown, "drop"}};
    for (const TSkinCut& cut : layout.Parts) {
        if (cut.Image == TSkinImage::Background) {
            continue;
        }
        if (cut.Image == TSkinImage::MenuButton) {
            for (const TPartState s : {TPartState::Normal, TPartState::Hot, TPartState::Pressed}) {
                if (MenuButtonCut(skin, s, cut.DestX) == cut) {
                    out << "menu@" << cut.DestX << StateText(s) << " ";
                }
            }
            continue;
        }
        for (const auto& [part, name] : kNames) {
            for (const TPartState s : {TPartState::Normal, TPartState::Hot, TPartState::Pressed}) {
                const bool stateless = part == TArrowPart::MoveBar || part == TArrowPart::SizeBar;
                if ((s == TPartState::Normal || !stateless) &&
                    ArrowCut(skin, part, s, cut.DestX) == cut) {
                    out << name << "@" << cut.DestX << StateText(s) << " ";
                }
            }
        }
    }
    out << "|";
    for (const TBarButton& button : layout.Buttons) {
        out << " " << button.ItemIndex << "@" << button.X << "+" << button.Width
            << StateText(button.State);
    }
    return out.str();
}

TEST(TickerLayout, Table) {
    struct Case {
        const char* name;
        int32_t width;
        std::string items;
        int32_t firstIndex;
        int32_t slots;
        int32_t buttonWidth;
        int32_t firstAfter;
        std::string picture;
    };
    const Case cases[] = {
        {"worked example", 800, std::string(10, 'U'), 0, 4, 173, 0,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772 size@794 |"
         " 0@58+173 1@231+173 2@404+173 3@577+173"},
        {"no unread message", 800, "RRR", 0, 0, 0, 0, "move@0 menu@6 drop@26 drop@782 size@794 |"},
        {"no items at all", 800, "", 0, 0, 0, 0, "move@0 menu@6 drop@26 drop@782 size@794 |"},
        {"all fit", 800, "URUU", 0, 3, 230, 0,
         "move@0 menu@6 drop@26 drop@782 size@794 | 0@58+230 2@288+230 3@518+230"},
        {"too narrow for one button", 250, "UUU", 0, 1, 142, 0,
         "move@0 menu@6 drop@26 drop@232 next@212 last@222 size@244 | 0@58+142"},
        {"leading read items are skipped", 800, "RRUUUUUU", 0, 4, 173, 2,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772 size@794 |"
         " 2@58+173 3@231+173 4@404+173 5@577+173"},
        {"view in the middle", 800, "UUURUUUUU", 3, 4, 173, 4,
         "move@0 menu@6 drop@26 drop@782 first@38 prev@48 next@762 last@772 size@794 |"
         " 4@58+173 5@231+173 6@404+173 7@577+173"},
        {"past the end pulls back to the last slots", 800, "UUUUUUR", 7, 4, 173, 2,
         "move@0 menu@6 drop@26 drop@782 first@38 prev@48 size@794 |"
         " 2@58+173 3@231+173 4@404+173 5@577+173"},
        {"index beyond the list is clamped", 800, "UUUUU", 99, 4, 173, 1,
         "move@0 menu@6 drop@26 drop@782 first@38 prev@48 size@794 |"
         " 1@58+173 2@231+173 3@404+173 4@577+173"},
        {"narrower than its fixed parts draws no button", 100, "UU", 0, 1, -8, 0,
         "move@0 menu@6 drop@26 drop@82 next@62 last@72 size@94 |"},
    };
    const TSkin skin = ExampleSkin();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBarLayoutInput input;
        input.ClientWidth = c.width;
        input.FirstIndex = c.firstIndex;
        const TBarLayout layout = LayoutBar(skin, Items(c.items), input);
        EXPECT_EQ(layout.Slots, c.slots);
        EXPECT_EQ(layout.ButtonWidth, c.buttonWidth);
        EXPECT_EQ(layout.FirstIndex, c.firstAfter);
        EXPECT_EQ(Describe(skin, layout), c.picture);
        EXPECT_EQ(layout.HotPart, THotPart::None);
        EXPECT_EQ(layout.Hint, "");
    }
}

TEST(TickerLayout, WorkedExampleRoomAndTiles) {
    const TSkin skin = ExampleSkin();
    TBarLayoutInput input;
    input.ClientWidth = 800;
    const TBarLayout layout = LayoutBar(skin, Items(std::string(10, 'U')), input);
    EXPECT_EQ(layout.Available, 692);
    EXPECT_EQ(layout.Unread, 10);
    EXPECT_TRUE(layout.More);
    EXPECT_FALSE(layout.Previous);
    // (800 - 26) div 8 + 2 tiles from x = 26 on.
    int tiles = 0;
    for (const TSkinCut& cut : layout.Parts) {
        if (cut.Image == TSkinImage::Background) {
            EXPECT_EQ(cut.DestX, 26 + 8 * tiles);
            EXPECT_EQ(cut.Source, (TRect{0, 0, 8, 20}));
            ++tiles;
        }
    }
    EXPECT_EQ(tiles, 98);
    EXPECT_EQ(layout.Parts.back(), ArrowCut(skin, TArrowPart::SizeBar, TPartState::Normal, 794));
}

TEST(TickerLayout, HotPartsStatesAndHint) {
    const TSkin skin = ExampleSkin();
    std::vector<TBarMessage> items = Items(std::string(6, 'U'));
    items[1].HasAccount = true;
    items[1].AccountName = "Work";
    items[1].AccountSkinColor = 0x0000FF;
    items[1].SenderText = "Ann <ann@example.org>";
    items[1].RecipientsText = "me@example.org";
    items[1].DateText = "12-09-2026 10:00:00";
    items[2].HasAccount = true;
    items[2].AccountSkinColor = kUseSkinColor;
    struct Case {
        const char* name;
        int32_t hotX;
        int32_t hotY;
        bool pressed;
        bool mainVisible;
        THotPart part;
        int32_t item;
        std::string picture;
    };
    const std::string tail = " size@794 | 0@58+173 1@231+173 2@404+173 3@577+173";
    const Case cases[] = {
        {"pointer away", -1, -1, false, false, THotPart::None, -1,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772" + tail},
        {"on the next arrow", 763, 5, false, false, THotPart::NextArrow, -1,
         "move@0 menu@6 drop@26 drop@782 next@762:hot last@772" + tail},
        {"left edge of a part is not in it", 762, 5, false, false, THotPart::None, -1,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772" + tail},
        {"pressing the last arrow", 780, 5, true, false, THotPart::LastArrow, -1,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772:pressed" + tail},
        {"y below 0 is away", 763, -1, false, false, THotPart::None, -1,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772" + tail},
        {"menu button", 10, 3, false, false, THotPart::MenuButton, -1,
         "move@0 menu@6:hot drop@26 drop@782 next@762 last@772" + tail},
        {"drop-downs pressed while the main window shows", -1, -1, false, true, THotPart::None, -1,
         "move@0 menu@6 drop@26:pressed drop@782:pressed next@762 last@772" + tail},
        {"left edge of a message button is in it", 231, 3, false, false, THotPart::MessageButton, 1,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772 size@794 |"
         " 0@58+173 1@231+173:hot 2@404+173 3@577+173"},
        {"pressed message button", 500, 3, true, false, THotPart::MessageButton, 2,
         "move@0 menu@6 drop@26 drop@782 next@762 last@772 size@794 |"
         " 0@58+173 1@231+173 2@404+173:pressed 3@577+173"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBarLayoutInput input;
        input.ClientWidth = 800;
        input.HotX = c.hotX;
        input.HotY = c.hotY;
        input.Pressed = c.pressed;
        input.MainWindowVisible = c.mainVisible;
        const TBarLayout layout = LayoutBar(skin, items, input);
        EXPECT_EQ(layout.HotPart, c.part);
        EXPECT_EQ(layout.HotItem, c.item);
        EXPECT_EQ(Describe(skin, layout), c.picture);
        EXPECT_EQ(layout.Hint, c.item >= 0 ? BarHint(items[static_cast<size_t>(c.item)]) : "");
    }

    TBarLayoutInput input;
    input.ClientWidth = 800;
    input.HotX = 500;
    input.HotY = 3;
    input.Pressed = true;
    const TBarLayout layout = LayoutBar(skin, items, input);
    EXPECT_EQ(layout.Buttons[0].TextColor, 0xFFFFFFu);
    EXPECT_EQ(layout.Buttons[1].TextColor, 0x0000FFu);  // the account's colour
    EXPECT_EQ(layout.Buttons[2].TextColor, 0xFFFFFFu);  // the account keeps the skin's
    EXPECT_EQ(layout.Buttons[0].TextRect, (TRect{4, 2, 169, 17}));
    EXPECT_EQ(layout.Buttons[2].TextRect, (TRect{5, 3, 170, 18}));  // pressed: one down-right
    EXPECT_EQ(layout.Buttons[2].Pieces, MessageButtonCuts(skin, TPartState::Pressed, 173));
}

TEST(TickerLayout, HintText) {
    TBarMessage message;
    message.SenderText = "Ann <ann@example.org>";
    message.RecipientsText = "me@example.org";
    message.DateText = "12-09-2026 10:00:00";
    EXPECT_EQ(BarHint(message),
              "From: Ann <ann@example.org>\r\nTo: me@example.org\r\nDate: 12-09-2026 10:00:00");
    message.HasAccount = true;
    message.AccountName = "Work";
    EXPECT_EQ(BarHint(message),
              "Account: Work\r\nFrom: Ann <ann@example.org>\r\nTo: me@example.org\r\n"
              "Date: 12-09-2026 10:00:00");
}

TEST(TickerLayout, HitTest) {
    const TSkin skin = ExampleSkin();
    EXPECT_EQ(BarHitTest(skin, 800, 0), TBarHit::Caption);
    EXPECT_EQ(BarHitTest(skin, 800, 5), TBarHit::Caption);
    EXPECT_EQ(BarHitTest(skin, 800, 6), TBarHit::Client);
    EXPECT_EQ(BarHitTest(skin, 800, 794), TBarHit::Client);
    EXPECT_EQ(BarHitTest(skin, 800, 795), TBarHit::RightBorder);
}

// The views a run of scroll steps shows, as the first shown item of each (the first paint too).
std::vector<int32_t> ScrollViews(const std::string& pattern, int steps, int32_t width = 800) {
    const TSkin skin = ExampleSkin();
    const std::vector<TBarMessage> items = Items(pattern);
    const auto paint = [&](int32_t firstIndex) {
        TBarLayoutInput input;
        input.ClientWidth = width;
        input.FirstIndex = firstIndex;
        return LayoutBar(skin, items, input).FirstIndex;
    };
    int32_t firstIndex = paint(0);
    int32_t scrollMark = 0;
    std::vector<int32_t> views{firstIndex};
    for (int i = 0; i < steps; ++i) {
        ScrollStep(firstIndex, scrollMark, paint);
        views.push_back(firstIndex);
    }
    return views;
}

TEST(TickerScroll, StepsThroughTheUnreadMessages) {
    // Six unread, four slots: 1st, 2nd, 3rd, 3rd again, then the 1st.
    EXPECT_EQ(ScrollViews("UUUUUU", 5), (std::vector<int32_t>{0, 1, 2, 2, 0, 1}));
    // Read items in between are stepped over.
    EXPECT_EQ(ScrollViews("RUURUUUU", 5), (std::vector<int32_t>{1, 2, 4, 4, 1, 2}));
    // All fit, or nothing unread: the view never moves.
    EXPECT_EQ(ScrollViews("RUUU", 4), (std::vector<int32_t>{1, 1, 1, 1, 1}));
    EXPECT_EQ(ScrollViews("RR", 3), (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(TickerArrows, ClicksMoveTheView) {
    const std::vector<TBarMessage> items = Items("UURRUUUUU");
    EXPECT_EQ(ArrowClick(THotPart::FirstArrow, 5, items), 0);
    EXPECT_EQ(ArrowClick(THotPart::LastArrow, 0, items), 9);
    EXPECT_EQ(ArrowClick(THotPart::NextArrow, 4, items), 5);
    // Back over the read pair to the nearest earlier unread message.
    EXPECT_EQ(ArrowClick(THotPart::PreviousArrow, 4, items), 1);
    EXPECT_EQ(ArrowClick(THotPart::PreviousArrow, 1, items), 0);
    EXPECT_EQ(ArrowClick(THotPart::MenuButton, 4, items), 4);

    // The first arrow's click shows the first unread message, never the read ones before it.
    const TSkin skin = ExampleSkin();
    TBarLayoutInput input;
    input.ClientWidth = 800;
    input.FirstIndex = ArrowClick(THotPart::FirstArrow, 6, Items("RRUUUUUU"));
    EXPECT_EQ(LayoutBar(skin, Items("RRUUUUUU"), input).FirstIndex, 2);
}

TEST(TickerMarkAllRead, BackwardsNotifyingOnlyAtTheEnd) {
    using Calls = std::vector<std::pair<int32_t, bool>>;
    EXPECT_EQ(MarkAllReadOrder(Items("URUUR")), (Calls{{3, false}, {2, false}, {0, true}}));
    EXPECT_EQ(MarkAllReadOrder(Items("RU")), (Calls{{1, true}}));
    EXPECT_EQ(MarkAllReadOrder(Items("RR")), Calls{});
}

TEST(SkinCuts, PartsComeFromTheirStrips) {
    const TSkin skin = ExampleSkin();
    struct Case {
        TSkinCut cut;
        int32_t sourceX;
        int32_t width;
    };
    const Case cases[] = {
        {ArrowCut(skin, TArrowPart::MoveBar, TPartState::Pressed, 0), 0, 6},
        {ArrowCut(skin, TArrowPart::SizeBar, TPartState::Hot, 0), 6, 6},
        {ArrowCut(skin, TArrowPart::Previous, TPartState::Normal, 0), 12, 10},
        {ArrowCut(skin, TArrowPart::Previous, TPartState::Pressed, 0), 32, 10},
        {ArrowCut(skin, TArrowPart::Next, TPartState::Normal, 0), 42, 10},
        {ArrowCut(skin, TArrowPart::First, TPartState::Hot, 0), 82, 10},
        {ArrowCut(skin, TArrowPart::Last, TPartState::Normal, 0), 102, 10},
        {ArrowCut(skin, TArrowPart::Dropdown, TPartState::Pressed, 0), 156, 12},
        {MenuButtonCut(skin, TPartState::Hot, 0), 20, 20},
        {BackgroundCut(skin, 0), 0, 8},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.cut.Source, (TRect{c.sourceX, 0, c.sourceX + c.width, 20})) << c.sourceX;
    }
}

TEST(SkinCuts, MessageButtonIsEdgesAroundARepeatedMiddle) {
    const TSkin skin = ExampleSkin();
    const auto cut = [](int32_t sourceX, int32_t width, int32_t destX) {
        return TSkinCut{TSkinImage::Button, {sourceX, 0, sourceX + width, 20}, destX};
    };
    // Middle 22 wide: copies at 4, 26 and 48 (clipped to 2), then the right edge at 46.
    EXPECT_EQ(MessageButtonCuts(skin, TPartState::Hot, 50),
              (std::vector<TSkinCut>{cut(30, 4, 0), cut(34, 22, 4), cut(34, 22, 26), cut(34, 2, 48),
                                     cut(56, 4, 46)}));
    EXPECT_EQ(MessageButtonCuts(skin, TPartState::Normal, 6),
              (std::vector<TSkinCut>{cut(0, 4, 0), cut(4, 2, 4), cut(26, 4, 2)}));
    EXPECT_TRUE(MessageButtonCuts(skin, TPartState::Normal, 0).empty());
}

}  // namespace
}  // namespace quobel
