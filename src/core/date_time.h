#pragma once

#include <cstdint>
#include <string>

namespace quobel {

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Fails (returns false) for an impossible date or time.
bool TryEncodeDateTime(const DateParts& parts, TDateTime& result);
DateParts DecodeDateTime(TDateTime value);

// The current local wall-clock time.
TDateTime Now();

// "mm-dd-yyyy hh:nn:ss"
std::string FormatDateTimeMdy(TDateTime value);

}  // namespace quobel
