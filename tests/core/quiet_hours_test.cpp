#include <gtest/gtest.h>

#include "core/quiet_hours.h"

namespace quobel {
namespace {

constexpr int32_t At(int32_t hour, int32_t minute) {
    return hour * 60 + minute;
}

TEST(QuietHours, ContainsTheMinutesFromItsStartToBeforeItsEndAcrossMidnight) {
    struct Case {
        const char* name;
        TQuietHours hours;
        int32_t now;
        bool quiet;
    };
    const TQuietHours night{At(22, 0), At(7, 0)};
    const TQuietHours lunch{At(12, 0), At(13, 30)};
    const Case cases[] = {
        {"night, before it starts", night, At(21, 59), false},
        {"night, its first minute", night, At(22, 0), true},
        {"night, just before midnight", night, At(23, 59), true},
        {"night, midnight", night, At(0, 0), true},
        {"night, after midnight", night, At(3, 15), true},
        {"night, its last minute", night, At(6, 59), true},
        {"night, its end", night, At(7, 0), false},
        {"night, midday", night, At(12, 0), false},
        {"lunch, before", lunch, At(11, 59), false},
        {"lunch, start", lunch, At(12, 0), true},
        {"lunch, end", lunch, At(13, 30), false},
        {"lunch, midnight", lunch, At(0, 0), false},
        {"equal ends: none", TQuietHours{At(8, 0), At(8, 0)}, At(8, 0), false},
        {"from midnight", TQuietHours{At(0, 0), At(6, 0)}, At(0, 0), true},
        {"to midnight", TQuietHours{At(20, 0), At(0, 0)}, At(23, 59), true},
        {"to midnight, its end", TQuietHours{At(20, 0), At(0, 0)}, At(0, 0), false},
        {"hand-edited values wrap", TQuietHours{At(22, 0) + kMinutesPerDay, -At(17, 0)}, At(1, 0),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.hours.Contains(c.now), c.quiet);
    }
}

TEST(QuietHours, MinuteOfDayTakesTheTimeOfADateTime) {
    EXPECT_EQ(MinuteOfDay(46000.0), 0);
    EXPECT_EQ(MinuteOfDay(46000.5), At(12, 0));
    EXPECT_EQ(MinuteOfDay(46000.0 + (At(23, 59) + 0.5) / 1440.0), At(23, 59));
    EXPECT_EQ(MinuteOfDay(46000.0 + At(7, 0) / 1440.0), At(7, 0));
}

}  // namespace
}  // namespace quobel
