#pragma once

#include <cstdint>

#include "bar/app_bar.h"
#include "bar/ticker_layout.h"

namespace quobel {

// Owns the user's drag of the bar window: the move bar moves it (and docks or floats it), the
// size bar moves its right side. Pointer positions are in screen coordinates; each step asks
// the TAppBar where the window may go and places it there through the window.
class TBarDrag {
  public:
    // Both must outlive this.
    TBarDrag(TAppBar& appBar, TAppBarWindow& window) : appBar_(appBar), window_(window) {}
    TBarDrag(const TBarDrag&) = delete;
    TBarDrag& operator=(const TBarDrag&) = delete;

    bool Active() const { return mode_ != TMode::None; }

    // A left press on `part` at `pointer`: the move bar or the size bar starts a drag, the
    // client area does not (false).
    bool Start(TBarHit part, TPoint pointer);
    // The pointer moved to `pointer` during a drag; Control held floats the bar.
    void MoveTo(TPoint pointer, bool ctrlDown);
    // The button went up: the bar settles where the drag left it.
    void Finish();

  private:
    enum class TMode { None, Move, Size };

    TAppBar& appBar_;
    TAppBarWindow& window_;
    TMode mode_ = TMode::None;
    TPoint last_;
    // From the pointer to the window's right side while sizing, so the side keeps its distance.
    int32_t sizeOffset_ = 0;
};

}  // namespace quobel
