// Alone in its file: Xlib's header defines macros (None, Bool, Status) that clash with other code.
#include "ui/x11/x11_display.h"

#include <X11/Xlib.h>

namespace quobel {

int X11DefaultScreenNumber(void* display) {
    return display != nullptr ? DefaultScreen(static_cast<Display*>(display)) : 0;
}

}  // namespace quobel
