#pragma once

namespace quobel {

// The reader panel takes half of every change of the window's height. The odd pixel of an odd
// change is carried into the next resize instead of being lost: 5 then 5 pixels give 2 then 3.
class THeightSplit {
  public:
    // The change of the reader panel's height for a window that now has this height.
    int Resize(int newHeight) {
        if (LastHeight < 0) {
            LastHeight = newHeight;
            return 0;
        }
        const int change = newHeight - LastHeight;
        LastHeight = newHeight - change % 2;
        return change / 2;
    }

    int LastHeight = -1;
};

}  // namespace quobel
