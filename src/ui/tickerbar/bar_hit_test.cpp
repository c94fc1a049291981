#include "ui/tickerbar/bar_hit_test.h"

#include "store/mail_item.h"

namespace quobel {

TBarHit TBarHitTest::WindowPart(const TSkin* skin, int32_t clientWidth, int32_t x) {
    if (skin == nullptr) {
        return TBarHit::Client;
    }
    return BarHitTest(*skin, clientWidth, x);
}

void TBarHitTest::Into(TBarLayoutInput& input) const {
    input.HotX = HotX;
    input.HotY = HotY;
    input.Pressed = Pressed;
}

void TBarHitTest::Take(const TBarLayout& layout, TMailItems& items) {
    HotPart = layout.HotPart;
    if (layout.HotItem >= 0) {
        HotItem = &items.Items(static_cast<size_t>(layout.HotItem));
    }
}

}  // namespace quobel
