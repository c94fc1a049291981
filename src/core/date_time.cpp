#include "core/date_time.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace quobel {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian), after H. Hinnant.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr int64_t kEpochOffsetDays = 25569;  // 1899-12-30 .. 1970-01-01

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

bool TryEncodeDateTime(const DateParts& p, TDateTime& result) {
    if (p.year < 1 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59 || p.millisecond < 0 ||
        p.millisecond > 999) {
        return false;
    }
    const int64_t days =
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) +
        kEpochOffsetDays;
    const double time =
        ((p.hour * 3600.0 + p.minute * 60.0 + p.second) * 1000.0 + p.millisecond) / 86400000.0;
    // Before 1899-12-30 the fraction counts away from zero, as the date-time format has it.
    result = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    return true;
}

DateParts DecodeDateTime(TDateTime value) {
    DateParts parts;
    const double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    int64_t ms = std::llround(fraction * 86400000.0);
    int64_t days = static_cast<int64_t>(whole);
    if (ms >= 86400000) {
        ms -= 86400000;
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays(days - kEpochOffsetDays, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

TDateTime Now() {
    const auto now = std::chrono::system_clock::now();
    const auto micros =
        std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(micros / 1000000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int64_t localSeconds = static_cast<int64_t>(seconds) + local.tm_gmtoff;
    const double localDays =
        (static_cast<double>(localSeconds) + static_cast<double>(micros % 1000000) / 1e6) / 86400.0;
    return localDays + static_cast<double>(kEpochOffsetDays);
}

std::string FormatDateTimeMdy(TDateTime value) {
    const DateParts p = DecodeDateTime(value);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%04d %02d:%02d:%02d", p.month, p.day, p.year,
                  p.hour, p.minute, p.second);
    return buffer;
}

}  // namespace quobel
