#include "store/extended_float.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <random>

#include "table_test_util.h"

namespace quobel {
namespace {

using test::Hex;

std::string HexOf(double value) {
    const TExtended e = DoubleToExtended(value);
    return Hex(std::string_view(reinterpret_cast<const char*>(e.data()), e.size()));
}

TEST(ExtendedFloat, KnownEncodings) {
    struct Case {
        double value;
        const char* bytes;
    };
    const Case cases[] = {
        {1.0, "00 00 00 00 00 00 00 80 FF 3F"},
        {38000.5, "00 00 00 00 00 80 70 94 0E 40"},
        {0.0, "00 00 00 00 00 00 00 00 00 00"},
        {-2.0, "00 00 00 00 00 00 00 80 00 C0"},
        {0.5, "00 00 00 00 00 00 00 80 FE 3F"},
        {std::numeric_limits<double>::infinity(), "00 00 00 00 00 00 00 80 FF 7F"},
        // The smallest subnormal double, 2^-1074, is a normal extended value.
        {std::numeric_limits<double>::denorm_min(), "00 00 00 00 00 00 00 80 CD 3B"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexOf(c.value), c.bytes) << c.value;
        const TExtended e = DoubleToExtended(c.value);
        EXPECT_EQ(ExtendedToDouble(e.data()), c.value) << c.value;
    }
}

TEST(ExtendedFloat, EveryDoubleRoundTripsExactly) {
    std::mt19937_64 random(7);
    const double specials[] = {std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::min(),
                               -std::numeric_limits<double>::denorm_min(),
                               46000.123456789,
                               -0.0,
                               1e-310,
                               2958465.99999999};
    for (double value : specials) {
        const TExtended e = DoubleToExtended(value);
        const double back = ExtendedToDouble(e.data());
        EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << value;
    }
    for (int i = 0; i < 100000; ++i) {
        const double value = std::bit_cast<double>(random());
        const TExtended e = DoubleToExtended(value);
        const double back = ExtendedToDouble(e.data());
        if (std::isnan(value)) {
            EXPECT_TRUE(std::isnan(back));
        } else {
            ASSERT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << value;
        }
    }
}

TEST(ExtendedFloat, WiderValuesRoundToNearestDouble) {
    // 1 + 2^-63: beyond a double's precision, rounds to 1.0; 1 + 2^-52 + 2^-53 rounds to even
    // (up, to 1 + 2^-51).
    TExtended e = DoubleToExtended(1.0);
    e[0] = 1;
    EXPECT_EQ(ExtendedToDouble(e.data()), 1.0);
    e = DoubleToExtended(1.0);
    e[1] = 0x0C;  // significand bits 10 and 11: 2^-53 and 2^-52 below the integer bit
    EXPECT_EQ(ExtendedToDouble(e.data()), 1.0 + std::ldexp(1.0, -51));
    // Exponents beyond a double's range.
    const uint8_t huge[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F};
    EXPECT_TRUE(std::isinf(ExtendedToDouble(huge)));
    const uint8_t tiny[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00};
    EXPECT_EQ(ExtendedToDouble(tiny), 0.0);
}

}  // namespace
}  // namespace quobel
