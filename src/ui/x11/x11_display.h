#pragma once

namespace quobel {

// The default screen number of an Xlib display (given as void* so that callers need not see
// Xlib's macros); 0 for none.
int X11DefaultScreenNumber(void* display);

}  // namespace quobel
