#include "core/quiet_hours.h"

#include <cmath>

namespace quobel {
namespace {

// Settings edited by hand may hold any number: they are taken round the clock.
int32_t Wrapped(int32_t minute) {
    const int32_t wrapped = minute % kMinutesPerDay;
    return wrapped < 0 ? wrapped + kMinutesPerDay : wrapped;
}

}  // namespace

bool TQuietHours::Contains(int32_t minuteOfDay) const {
    const int32_t from = Wrapped(From);
    const int32_t to = Wrapped(To);
    const int32_t now = Wrapped(minuteOfDay);
    if (from == to) {
        return false;
    }
    if (from < to) {
        return now >= from && now < to;
    }
    return now >= from || now < to;
}

int32_t MinuteOfDay(double dayFraction) {
    const double fraction = dayFraction - std::floor(dayFraction);
    return Wrapped(static_cast<int32_t>(std::floor(fraction * kMinutesPerDay + 1e-7)));
}

}  // namespace quobel
