#pragma once

#include <QTimer>
#include <cstdint>
#include <functional>

namespace quobel {

// Owns the ticker's movement: where the shown run of messages begins, the delay after the
// pointer left before scrolling starts, and the scroll timer that steps through the messages.
class TBarScroller {
  public:
    // `scrollOn` tells whether scrolling is switched on when the delay runs out; `paint` paints
    // the bar from FirstIndex and leaves FirstIndex where the paint settled. Both outlive this.
    TBarScroller(std::function<bool()> scrollOn, std::function<void()> paint);
    TBarScroller(const TBarScroller&) = delete;
    TBarScroller& operator=(const TBarScroller&) = delete;

    int32_t FirstIndex = 0;
    int32_t ScrollMark = 0;

    QTimer& DelayTimer() { return delay_; }
    QTimer& ScrollTimer() { return scroll_; }

    // The delay before scrolling, kept in range; zero or less means the bar never starts
    // scrolling (and a running delay stops).
    void SetDelaySeconds(int32_t seconds);
    // The pointer left the bar: scrolling starts again after the delay, if there is one.
    void StartDelay();
    // The pointer is over the bar, or the bar closes: nothing moves.
    void Stop();

    // The delay ran out: scrolling starts with a first step at once, if it is switched on.
    void DelayElapsed();
    // One tick of the scroll timer.
    void Step();

  private:
    std::function<bool()> scrollOn_;
    std::function<void()> paint_;
    QTimer delay_;
    QTimer scroll_;
};

}  // namespace quobel
