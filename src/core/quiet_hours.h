#pragma once

#include <cstdint>

namespace quobel {

inline constexpr int32_t kMinutesPerDay = 24 * 60;

// A daily quiet time in minutes after local midnight: from `From` (included) to `To` (excluded).
// A span whose start lies after its end runs across midnight (22:00 to 07:00); equal ends make
// no quiet time at all, so that an unset span never silences the whole day.
struct TQuietHours {
    int32_t From = 0;
    int32_t To = 0;

    bool Contains(int32_t minuteOfDay) const;
};

// The minute of the day of a local time of day given in days (the fraction of a TDateTime).
int32_t MinuteOfDay(double dayFraction);

}  // namespace quobel
