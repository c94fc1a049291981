#include "core/format_size.h"

#include <cstdlib>

namespace quobel {
namespace {

std::string GroupThousands(uint64_t value, char separator) {
    std::string digits = std::to_string(value);
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    const size_t lead = digits.size() % 3;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (i - lead) % 3 == 0 && separator != '\0') {
            grouped += separator;
        }
        grouped += digits[i];
    }
    return grouped;
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
