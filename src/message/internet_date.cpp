#include "message/internet_date.h"
#include "core/strings.h"

#include <string>

namespace quobel {

namespace {

constexpr std::string_view kWeekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
constexpr std::string_view kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

void DropLeadingBlanks(std::string_view& text) {
    text = TrimLeftIf(text, [](char c) { return c == ' '; });
}

// Takes the text up to the delimiter (or all of it) off the front, with the delimiter.
std::string_view TakeToken(std::string_view& text, char delimiter) {
    const std::size_t p = text.find(delimiter);
    const std::string_view token = text.substr(0, p);
    text = p == std::string_view::npos ? std::string_view{} : text.substr(p + 1);
    return token;
}

bool ToInt(std::string_view text, int& value) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        i = 1;
    }
    if (i >= text.size() || text.size() - i > 9) {
        return false;
    }
    int result = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        result = result * 10 + (text[i] - '0');
    }
    value = negative ? -result : result;
    return true;
}

int IntOr(std::string_view text, int fallback) {
    int value;
    return ToInt(text, value) ? value : fallback;
}

int MonthNumber(std::string_view token) {
    const std::string upper = ToUpperAscii(token);
    for (int i = 0; i < 12; ++i) {
        if (upper == kMonths[i])
            return i + 1;
    }
    return 0;
}

}  // namespace

TDateTime ParseInternetDate(std::string_view value) {
    std::string_view text = TrimControls(value);
    if (text.empty()) {
        return 0;
    }
    const std::string head = ToUpperAscii(text.substr(0, 3));
    for (const std::string_view weekday : kWeekdays) {
        if (head == weekday) {
            const std::size_t blank = text.find(' ');
            text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
            DropLeadingBlanks(text);
            break;
        }
    }
    const std::size_t firstBlank = text.find(' ');
    const std::size_t dash = text.find('-', 1);
    const char delimiter = (dash != std::string_view::npos &&
                            (firstBlank == std::string_view::npos || dash < firstBlank))
                               ? '-'
                               : ' ';

    DateParts parts;
    const std::size_t p = text.find(delimiter);
    const bool monthFirst = MonthNumber(text.substr(0, p)) != 0;
    if (monthFirst) {
        parts.month = MonthNumber(TakeToken(text, delimiter));
        DropLeadingBlanks(text);
        parts.day = IntOr(TakeToken(text, delimiter), 1);
        DropLeadingBlanks(text);
    } else {
        parts.day = IntOr(TakeToken(text, delimiter), 1);
        DropLeadingBlanks(text);
        parts.month = MonthNumber(TakeToken(text, delimiter));
        DropLeadingBlanks(text);
    }
    const std::string_view yearToken = TakeToken(text, ' ');
    if (!ToInt(yearToken, parts.year)) {
        // Layout "weekday month day time year": the year is last and the token was the time.
        parts.year = IntOr(TrimControls(text), 1900);
        text = yearToken;
    }
    if (parts.year < 80) {
        parts.year += 2000;
    } else if (parts.year >= 80 && parts.year <= 99) {
        parts.year += 1900;
    }
    parts.hour = parts.minute = parts.second = 0;
    if (text.find(':') != std::string_view::npos) {
        DropLeadingBlanks(text);
        std::string_view time = TakeToken(text, ' ');
        parts.hour = IntOr(TakeToken(time, ':'), 0);
        parts.minute = IntOr(TakeToken(time, ':'), 0);
        parts.second = IntOr(TakeToken(time, ' '), 0);
    }
    TDateTime result = 0;
    if (!TryEncodeDateTime(parts, result)) {
        return 0;
    }
    return result;
}

}  // namespace quobel
