#pragma once

#include <cstdint>

#include "bar/skin.h"
#include "bar/ticker_layout.h"

namespace quobel {

class TMailItem;
class TMailItems;

// Owns what is under the bar's pointer: the pointer's client position and button, and what the
// last layout found there (the hot part, and the hot message, which is kept after the pointer
// leaves). The window part under a client x (move bar, size bar or client area) is asked of
// WindowPart.
class TBarHitTest {
  public:
    // The part at client x of a bar `clientWidth` wide; without a skin to measure (nullptr)
    // everything is client area.
    static TBarHit WindowPart(const TSkin* skin, int32_t clientWidth, int32_t x);

    int32_t HotX = -1;  // pointer in client coordinates; -1 when it is not over the client area
    int32_t HotY = -1;
    bool Pressed = false;
    THotPart HotPart = THotPart::None;
    TMailItem* HotItem = nullptr;  // kept after the pointer leaves

    bool PointerOver() const { return HotX != -1 || HotY != -1; }
    void PointerAt(int32_t x, int32_t y) {
        HotX = x;
        HotY = y;
    }
    void PointerAway() {
        HotX = -1;
        HotY = -1;
    }

    // The pointer as a layout reads it.
    void Into(TBarLayoutInput& input) const;
    // What the layout over `items` found under the pointer.
    void Take(const TBarLayout& layout, TMailItems& items);
};

}  // namespace quobel
