#include "ui/tickerbar/bar_scroller.h"

#include <algorithm>
#include <utility>

#include "bar/ticker_layout.h"

namespace quobel {
namespace {

constexpr int kScrollDelayMs = 5000;
constexpr int kScrollMs = 1450;

}  // namespace

TBarScroller::TBarScroller(std::function<bool()> scrollOn, std::function<void()> paint)
    : scrollOn_(std::move(scrollOn)), paint_(std::move(paint)) {
    delay_.setInterval(kScrollDelayMs);
    scroll_.setInterval(kScrollMs);
    QObject::connect(&delay_, &QTimer::timeout, &delay_, [this] { DelayElapsed(); });
    QObject::connect(&scroll_, &QTimer::timeout, &scroll_, [this] { Step(); });
}

void TBarScroller::SetDelaySeconds(int32_t seconds) {
    delay_.setInterval(std::clamp(seconds, 0, 24 * 3600) * 1000);
    if (delay_.interval() <= 0) {
        delay_.stop();
    }
}

void TBarScroller::StartDelay() {
    if (delay_.interval() > 0) {
        delay_.start();
    }
}

void TBarScroller::Stop() {
    delay_.stop();
    scroll_.stop();
}

void TBarScroller::DelayElapsed() {
    delay_.stop();
    if (scrollOn_()) {
        scroll_.start();
        Step();
    }
}

void TBarScroller::Step() {
    ScrollStep(FirstIndex, ScrollMark, [this](int32_t first) {
        FirstIndex = first;
        paint_();
        return FirstIndex;
    });
}

}  // namespace quobel
