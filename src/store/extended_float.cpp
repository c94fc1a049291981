#include "store/extended_float.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace quobel {
namespace {

constexpr int kBias = 16383;
constexpr uint16_t kMaxExponent = 0x7FFF;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

TExtended Pack(uint64_t significand, uint16_t signAndExponent) {
    TExtended bytes{};
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<uint8_t>(significand >> (8 * i));
    }
    bytes[8] = static_cast<uint8_t>(signAndExponent);
    bytes[9] = static_cast<uint8_t>(signAndExponent >> 8);
    return bytes;
}

}  // namespace

TExtended DoubleToExtended(double value) {
    const uint16_t sign = std::signbit(value) ? 0x8000 : 0;
    if (value == 0) {
        return Pack(0, sign);
    }
    if (std::isinf(value)) {
        return Pack(kIntegerBit, sign | kMaxExponent);
    }
    if (std::isnan(value)) {
        // Keep the double's payload in the top fraction bits (quiet bit included).
        const uint64_t fraction = std::bit_cast<uint64_t>(value) & ((uint64_t{1} << 52) - 1);
        return Pack(kIntegerBit | (fraction << 11), sign | kMaxExponent);
    }
    int exponent = 0;
    // frexp is exact: |value| = mantissa * 2^exponent with mantissa in [0.5, 1), and
    // mantissa * 2^64 is an integer because a double has at most 53 significant bits (a
    // subnormal's exponent is normalised by frexp as well).
    const double mantissa = std::frexp(std::fabs(value), &exponent);
    const auto significand = static_cast<uint64_t>(std::ldexp(mantissa, 64));
    return Pack(significand, static_cast<uint16_t>(sign | (exponent - 1 + kBias)));
}

double ExtendedToDouble(const uint8_t* bytes) {
    uint64_t significand = 0;
    for (int i = 7; i >= 0; --i) {
        significand = (significand << 8) | bytes[i];
    }
    const uint16_t signAndExponent = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    const bool negative = (signAndExponent & 0x8000) != 0;
    const int exponent = signAndExponent & kMaxExponent;
    double magnitude = 0;
    if (exponent == kMaxExponent) {
        if ((significand & ~kIntegerBit) == 0) {
            magnitude = std::numeric_limits<double>::infinity();
        } else {
            const uint64_t payload = (significand & ~kIntegerBit) >> 11;
            magnitude =
                std::bit_cast<double>(uint64_t{0x7FF0000000000000} | payload | (uint64_t{1} << 51));
        }
    } else if (significand != 0) {
        // Shift the significand so that its top bit is bit 63 (unnormal and denormal forms), then
        // round once to 53 bits before scaling, so a value that a double holds stays exact and a
        // subnormal result is not rounded twice where it can be helped.
        const int shift = std::countl_zero(significand);
        significand <<= shift;
        int scale = (exponent == 0 ? 1 : exponent) - kBias - 63 - shift;
        const double rounded = static_cast<double>(significand);  // rounds to nearest, even
        magnitude = std::ldexp(rounded, scale);
    }
    return negative ? -magnitude : magnitude;
}

}  // namespace quobel
