#pragma once

#include <QWidget>

namespace quobel {

// Start-up measurement: when the environment variable QUOBEL_STARTUP_PROBE is set, the first
// complete paint of `window` prints "first-paint NANOSECONDS" (the monotonic clock, the one a
// launching script reads) on standard output and ends the event loop. Otherwise nothing happens.
void WatchFirstPaintIfAsked(QWidget& window);

}  // namespace quobel
