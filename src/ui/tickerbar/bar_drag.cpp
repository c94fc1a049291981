#include "ui/tickerbar/bar_drag.h"

namespace quobel {

bool TBarDrag::Start(TBarHit part, TPoint pointer) {
    if (part == TBarHit::Client) {
        return false;
    }
    mode_ = part == TBarHit::Caption ? TMode::Move : TMode::Size;
    last_ = pointer;
    sizeOffset_ = window_.WindowRect().Right - pointer.X;
    appBar_.EnterSizeMove();
    return true;
}

void TBarDrag::MoveTo(TPoint pointer, bool ctrlDown) {
    if (mode_ == TMode::None) {
        return;
    }
    TRect proposed = window_.WindowRect();
    if (mode_ == TMode::Move) {
        proposed = proposed.MovedTo(proposed.Left + pointer.X - last_.X,
                                    proposed.Top + pointer.Y - last_.Y);
        appBar_.Moving(pointer, ctrlDown, proposed);
    } else {
        proposed.Right = pointer.X + sizeOffset_;
        appBar_.Sizing(TSizingSide::Right, proposed);
    }
    last_ = pointer;
    window_.PlaceWindow(proposed);
}

void TBarDrag::Finish() {
    if (mode_ == TMode::None) {
        return;
    }
    mode_ = TMode::None;
    appBar_.ExitSizeMove();
}

}  // namespace quobel
