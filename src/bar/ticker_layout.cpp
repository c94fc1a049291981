#include "bar/ticker_layout.h"
#include "core/user_text.h"

#include <algorithm>

namespace quobel {

TBarLayout LayoutBar(const TSkin& skin, const TBarMessages& items, const TBarLayoutInput& in) {
    TBarLayout out;
    const int32_t count = items.Count();
    // No screen is wider; the bound keeps the tile count and the sums below small.
    constexpr int32_t kMaxBarWidth = 1 << 16;
    const int32_t W = std::clamp(in.ClientWidth, 0, kMaxBarWidth);
    const int32_t H = skin.Height;
    const int32_t MB = skin.Arrows.MoveBarWidth;
    const int32_t SB = skin.Arrows.SizeBarWidth;
    const int32_t L = skin.Arrows.LeftArrowWidth;
    const int32_t R = skin.Arrows.RightArrowWidth;
    const int32_t F = skin.Arrows.FirstArrowWidth;
    const int32_t LA = skin.Arrows.LastArrowWidth;
    const int32_t D = skin.Arrows.DropdownWidth;
    const int32_t MW = skin.MenuButton.Width;

    const auto stateOf = [&](bool hot) {
        return !hot ? TPartState::Normal : in.Pressed ? TPartState::Pressed : TPartState::Hot;
    };
    // A part is hot strictly inside its span; the caller marks it as HotPart.
    const auto isHot = [&](int32_t x, int32_t width) {
        return in.HotY >= 0 && x < in.HotX && in.HotX < x + width;
    };
    const auto arrow = [&](TArrowPart part, THotPart kind, int32_t x, bool forcePressed) {
        const bool hot = isHot(x, ArrowWidth(skin, part));
        if (hot) {
            out.HotPart = kind;
        }
        out.Parts.push_back(
            ArrowCut(skin, part, forcePressed ? TPartState::Pressed : stateOf(hot), x));
    };

    out.Parts.push_back(ArrowCut(skin, TArrowPart::MoveBar, TPartState::Normal, 0));
    const bool menuHot = isHot(MB, MW);
    if (menuHot) {
        out.HotPart = THotPart::MenuButton;
    }
    out.Parts.push_back(MenuButtonCut(skin, stateOf(menuHot), MB));

    const int32_t x0 = MB + MW;
    const int32_t tile = skin.Background.Width();
    if (tile > 0) {
        const int64_t tiles = (int64_t{W} - x0) / tile + 2;
        for (int64_t i = 0; i < tiles; ++i) {
            out.Parts.push_back(BackgroundCut(skin, static_cast<int32_t>(x0 + i * tile)));
        }
    }
    arrow(TArrowPart::Dropdown, THotPart::Dropdown, x0, in.MainWindowVisible);
    const int32_t x1 = x0 + D;
    arrow(TArrowPart::Dropdown, THotPart::Dropdown, W - SB - D, in.MainWindowVisible);

    int32_t unread = 0;
    for (int32_t i = 0; i < count; ++i) {
        unread += items.Read(i) ? 0 : 1;
    }
    out.Unread = unread;
    // With nothing unread the view has no place; it starts at the beginning again, so the
    // scroll steps leave it alone and the next new message is shown from the start.
    out.FirstIndex = unread > 0 ? std::clamp(in.FirstIndex, 0, count) : 0;
    if (unread > 0) {
        const int32_t A = W - x1 - SB - L - R - F - LA - 2 * D;
        int32_t S = unread;
        while (in.ButtonWidth > A / S && S > 1) {
            --S;
        }
        const int32_t w = A / S;
        out.Available = A;
        out.Slots = S;
        out.ButtonWidth = w;

        int32_t first = out.FirstIndex;
        int32_t shown = 0;
        for (int32_t i = first; i < count && !out.More; ++i) {
            if (!items.Read(i)) {
                if (shown < S) {
                    ++shown;
                } else {
                    out.More = true;
                }
            } else if (i == first) {
                ++first;  // leading read items never show
            }
        }
        if (shown < S) {
            // Too few after the view's start: show the last S unread messages.
            first = count;
            int32_t counted = 0;
            for (int32_t i = count - 1; i >= 0; --i) {
                if (!items.Read(i) && ++counted == S) {
                    first = i;
                    break;
                }
            }
        }
        out.FirstIndex = first;
        for (int32_t i = 0; i < first; ++i) {
            if (!items.Read(i)) {
                out.Previous = true;
                break;
            }
        }

        if (out.Previous) {
            arrow(TArrowPart::First, THotPart::FirstArrow, x1, false);
            arrow(TArrowPart::Previous, THotPart::PreviousArrow, x1 + F, false);
        }
        if (out.More) {
            arrow(TArrowPart::Next, THotPart::NextArrow, W - SB - D - LA - R, false);
            arrow(TArrowPart::Last, THotPart::LastArrow, W - SB - D - LA, false);
        }

        int32_t x = x1 + F + L;
        for (int32_t i = first; i < count && w > 0 && static_cast<int32_t>(out.Buttons.size()) < S;
             ++i) {
            if (items.Read(i)) {
                continue;
            }
            const TBarMessage& item = items.Message(i);
            const bool hot = in.HotY >= 0 && x <= in.HotX && in.HotX < x + w;
            TBarButton button;
            button.ItemIndex = i;
            button.X = x;
            button.Width = w;
            button.State = stateOf(hot);
            button.Pieces = MessageButtonCuts(skin, button.State, w);
            const int32_t shift = button.State == TPartState::Pressed ? 1 : 0;
            button.TextRect = {skin.Button.BorderLeft + shift, skin.Button.BorderTop + shift,
                               w - skin.Button.BorderRight + shift,
                               H - skin.Button.BorderBottom + shift};
            button.TextColor = item.HasAccount && item.AccountSkinColor != kUseSkinColor
                                   ? item.AccountSkinColor
                                   : skin.Button.Font.Color;
            if (hot) {
                out.HotPart = THotPart::MessageButton;
                out.HotItem = i;
                out.Hint = BarHint(item);
            }
            out.Buttons.push_back(std::move(button));
            x += w;
        }
    }
    out.Parts.push_back(ArrowCut(skin, TArrowPart::SizeBar, TPartState::Normal, W - SB));
    return out;
}

TBarHit BarHitTest(const TSkin& skin, int32_t clientWidth, int32_t x) {
    if (x < skin.Arrows.MoveBarWidth) {
        return TBarHit::Caption;
    }
    if (x > clientWidth - skin.Arrows.SizeBarWidth) {
        return TBarHit::RightBorder;
    }
    return TBarHit::Client;
}

std::string BarHint(const TBarMessage& message) {
    if (message.HasAccount) {
        return FormatUserText(kBarHintWithAccount, {message.AccountName, message.SenderText,
                                                    message.RecipientsText, message.DateText});
    }
    return FormatUserText(kBarHint, {message.SenderText, message.RecipientsText, message.DateText});
}

int32_t ArrowClick(THotPart arrow, int32_t firstIndex, const TBarMessages& items) {
    const int32_t count = items.Count();
    switch (arrow) {
        case THotPart::FirstArrow:
            return 0;
        case THotPart::LastArrow:
            return count;
        case THotPart::NextArrow:
            return std::min(firstIndex, count) + 1;
        case THotPart::PreviousArrow:
            for (int32_t i = std::min(firstIndex, count) - 1; i >= 0; --i) {
                if (!items.Read(i)) {
                    return i;
                }
            }
            return std::max(firstIndex - 1, 0);
        default:
            return firstIndex;
    }
}

std::vector<std::pair<int32_t, bool>> MarkAllReadOrder(const TBarMessages& items) {
    std::vector<std::pair<int32_t, bool>> calls;
    for (int32_t i = items.Count() - 1; i >= 0; --i) {
        if (!items.Read(i)) {
            calls.emplace_back(i, false);
        }
    }
    if (!calls.empty()) {
        calls.back().second = true;
    }
    return calls;
}

void ScrollStep(int32_t& firstIndex, int32_t& scrollMark,
                const std::function<int32_t(int32_t)>& paint) {
    if (scrollMark == -1) {
        firstIndex = -1;
    }
    scrollMark = firstIndex;
    firstIndex = paint(firstIndex + 1);
    scrollMark = firstIndex == scrollMark ? -1 : firstIndex;
}

}  // namespace quobel
