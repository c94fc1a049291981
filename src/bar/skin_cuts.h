#pragma once

#include <cstdint>
#include <vector>

#include "bar/skin.h"
#include "platform/screen_edge_shell.h"

namespace quobel {

enum class TSkinImage { Background, Arrows, MenuButton, Button, Error };

// The three looks of a part, side by side in its bitmap.
enum class TPartState { Normal = 0, Hot = 1, Pressed = 2 };

// The segments of "arrows.bmp", in their order in the strip.
enum class TArrowPart { MoveBar, SizeBar, Previous, Next, First, Last, Dropdown };

// One opaque copy: `Source` (always from row 0, the skin's height) of a skin image drawn with
// its left edge at `DestX` (its top at 0).
struct TSkinCut {
    TSkinImage Image = TSkinImage::Background;
    TRect Source;
    int32_t DestX = 0;
    bool operator==(const TSkinCut&) const = default;
};

// Width of one state of an arrow-strip segment.
int32_t ArrowWidth(const TSkin& skin, TArrowPart part);

TSkinCut BackgroundCut(const TSkin& skin, int32_t destX);
// The move and size bars have one state; `state` is ignored for them.
TSkinCut ArrowCut(const TSkin& skin, TArrowPart part, TPartState state, int32_t destX);
TSkinCut MenuButtonCut(const TSkin& skin, TPartState state, int32_t destX);
// A message button `width` pixels wide, built from one state of "button.bmp": left edge, the
// middle repeated and clipped at `width`, right edge, in drawing order. Positions are relative
// to the button.
std::vector<TSkinCut> MessageButtonCuts(const TSkin& skin, TPartState state, int32_t width);

}  // namespace quobel
