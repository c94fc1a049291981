#include "core/format_size.h"

#include <cstdlib>

namespace quobel {
namespace {

std::string GroupThousands(uint64_t value, char separator) {
    // Written backwards into a buffer: a mailbox formats one size per message when it loads.
    char buffer[32];
    char* end = buffer + sizeof buffer;
    char* begin = end;
    int digits = 0;
    do {
        if (digits != 0 && digits % 3 == 0 && separator != '\0') {
            *--begin = separator;
        }
        *--begin = static_cast<char>('0' + value % 10);
        value /= 10;
        ++digits;
    } while (value != 0);
    return std::string(begin, end);
}

// value / divisor with one or two decimals ("0.0#"), rounded half away from zero.
std::string FormatQuotient(int64_t value, int64_t divisor, NumberSeparators separators) {
    const bool negative = value < 0;
    const uint64_t magnitude = static_cast<uint64_t>(negative ? -value : value);
    const uint64_t hundredths =
        (magnitude * 100 + static_cast<uint64_t>(divisor) / 2) / static_cast<uint64_t>(divisor);
    std::string text = negative && hundredths != 0 ? "-" : "";
    text += GroupThousands(hundredths / 100, separators.thousands);
    text += separators.decimal;
    const uint64_t fraction = hundredths % 100;
    text += static_cast<char>('0' + fraction / 10);
    if (fraction % 10 != 0) {
        text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

}  // namespace

std::string FormatSize(int32_t value, bool bare, NumberSeparators separators) {
    const int64_t signedValue = value;
    if (bare) {
        const std::string digits =
            GroupThousands(static_cast<uint64_t>(std::llabs(signedValue)), separators.thousands);
        return value < 0 ? "-" + digits : digits;
    }
    const uint32_t unsignedValue = static_cast<uint32_t>(value);
    if (unsignedValue < 1024) {
        return GroupThousands(unsignedValue, separators.thousands) + " bytes";
    }
    if (unsignedValue < 1024000) {
        return FormatQuotient(signedValue, 1024, separators) + " Kb";
    }
    return FormatQuotient(signedValue, 1024000, separators) + " Mb";
}

}  // namespace quobel
