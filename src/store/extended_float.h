#pragma once

#include <array>
#include <cstdint>

namespace quobel {

// The 80-bit extended form of the table file: bytes 0..7 the 64-bit significand with an
// explicit leading bit, bytes 8..9 the sign (bit 15) and the exponent biased by 16383.
using TExtended = std::array<uint8_t, 10>;

// Every double (including subnormals, infinities and NaN) converts exactly.
TExtended DoubleToExtended(double value);

// Values that a double holds come back exactly; others are rounded to the nearest double (out of
// range gives an infinity or zero).
double ExtendedToDouble(const uint8_t* bytes);

}  // namespace quobel
