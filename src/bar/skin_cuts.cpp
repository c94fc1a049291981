#include "bar/skin_cuts.h"

#include <algorithm>

namespace quobel {
namespace {

TSkinCut Cut(const TSkin& skin, TSkinImage image, int32_t sourceX, int32_t width, int32_t destX) {
    return {image, {sourceX, 0, sourceX + width, skin.Height}, destX};
}

}  // namespace

int32_t ArrowWidth(const TSkin& skin, TArrowPart part) {
    const TSkinArrows& a = skin.Arrows;
    switch (part) {
        case TArrowPart::MoveBar:
            return a.MoveBarWidth;
        case TArrowPart::SizeBar:
            return a.SizeBarWidth;
        case TArrowPart::Previous:
            return a.LeftArrowWidth;
        case TArrowPart::Next:
            return a.RightArrowWidth;
        case TArrowPart::First:
            return a.FirstArrowWidth;
        case TArrowPart::Last:
            return a.LastArrowWidth;
        case TArrowPart::Dropdown:
            return a.DropdownWidth;
    }
    return 0;
}

TSkinCut BackgroundCut(const TSkin& skin, int32_t destX) {
    return Cut(skin, TSkinImage::Background, 0, skin.Background.Width(), destX);
}

TSkinCut ArrowCut(const TSkin& skin, TArrowPart part, TPartState state, int32_t destX) {
    const TSkinArrows& a = skin.Arrows;
    const int32_t width = ArrowWidth(skin, part);
    if (part == TArrowPart::MoveBar) {
        return Cut(skin, TSkinImage::Arrows, 0, width, destX);
    }
    if (part == TArrowPart::SizeBar) {
        return Cut(skin, TSkinImage::Arrows, a.MoveBarWidth, width, destX);
    }
    // The three-state segments follow the two grips, each three times its width.
    int32_t x = a.MoveBarWidth + a.SizeBarWidth;
    for (const TArrowPart before :
         {TArrowPart::Previous, TArrowPart::Next, TArrowPart::First, TArrowPart::Last}) {
        if (before == part) {
            break;
        }
        x += 3 * ArrowWidth(skin, before);
    }
    return Cut(skin, TSkinImage::Arrows, x + static_cast<int32_t>(state) * width, width, destX);
}

TSkinCut MenuButtonCut(const TSkin& skin, TPartState state, int32_t destX) {
    const int32_t width = skin.MenuButton.Width;
    return Cut(skin, TSkinImage::MenuButton, static_cast<int32_t>(state) * width, width, destX);
}

std::vector<TSkinCut> MessageButtonCuts(const TSkin& skin, TPartState state, int32_t width) {
    const TSkinButton& b = skin.Button;
    const int32_t offset = static_cast<int32_t>(state) * b.Width;
    const int32_t middle = b.Width - b.BorderLeft - b.BorderRight;
    std::vector<TSkinCut> cuts;
    if (width <= 0 || middle <= 0) {
        return cuts;
    }
    cuts.push_back(Cut(skin, TSkinImage::Button, offset, b.BorderLeft, 0));
    // width div middle + 2 copies from BorderLeft on reach past the right end; what lies beyond
    // it is clipped away.
    const int32_t copies = width / middle + 2;
    for (int32_t i = 0; i < copies; ++i) {
        const int64_t x = b.BorderLeft + int64_t{i} * middle;
        if (x >= width) {
            break;
        }
        const int32_t visible = static_cast<int32_t>(std::min<int64_t>(middle, width - x));
        cuts.push_back(
            Cut(skin, TSkinImage::Button, offset + b.BorderLeft, visible, static_cast<int32_t>(x)));
    }
    cuts.push_back(Cut(skin, TSkinImage::Button, offset + b.Width - b.BorderRight, b.BorderRight,
                       width - b.BorderRight));
    return cuts;
}

}  // namespace quobel
