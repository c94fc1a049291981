#include "bar/bmp_image.h"

#include <gtest/gtest.h>

#include "bmp_writer.h"
#include "core/error.h"

namespace quobel {
namespace {

using test::MakeBmp;
using test::TBmpSpec;

// A pattern that differs in every pixel, so a swapped row or a wrong shift shows.
uint32_t Pattern(int32_t x, int32_t y) {
    return static_cast<uint32_t>((x * 40) << 16 | (y * 50) << 8 | ((x + y) * 30 & 0xFF));
}

TEST(BmpImage, DecodesEveryRowLayoutAndDepth) {
    struct Case {
        const char* name;
        TBmpSpec spec;
        std::function<uint32_t(int32_t, int32_t)> expected;  // 0x00RRGGBB
    };
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                                           0x123456, 0xFFFFFF, 0x808080, 0xABCDEF};
    const auto fromPalette = [palette](int32_t x, int32_t y) {
        return palette[static_cast<size_t>((x + 2 * y) % 8)];
    };
    const auto index = [](int32_t x, int32_t y) { return static_cast<uint32_t>((x + 2 * y) % 8); };
    std::vector<Case> cases = {
        {"24-bit bottom-up, padded rows", {5, 3, 24, 0, {}, {}, Pattern}, Pattern},
        {"24-bit top-down", {5, -3, 24, 0, {}, {}, Pattern}, Pattern},
        {"32-bit", {3, 2, 32, 0, {}, {}, Pattern}, Pattern},
        {"8-bit palette", {7, 3, 8, 0, palette, {}, index}, fromPalette},
        {"4-bit palette", {7, 3, 4, 0, palette, {}, index}, fromPalette},
        {"1-bit",
         {9,
          2,
          1,
          0,
          {0x000000, 0xFFFFFF},
          {},
          [](int32_t x, int32_t y) { return static_cast<uint32_t>((x + y) % 2); }},
         [](int32_t x, int32_t y) { return (x + y) % 2 ? 0xFFFFFFu : 0u; }},
        {"16-bit 5-5-5",
         {2, 1, 16, 0, {}, {}, [](int32_t x, int32_t) { return x == 0 ? 0x7C00u : 0x001Fu; }},
         [](int32_t x, int32_t) { return x == 0 ? 0xFF0000u : 0x0000FFu; }},
        {"16-bit 5-6-5 masks",
         {2,
          1,
          16,
          3,
          {},
          {0xF800, 0x07E0, 0x001F},
          [](int32_t x, int32_t) { return x == 0 ? 0x07E0u : 0xF800u; }},
         [](int32_t x, int32_t) { return x == 0 ? 0x00FF00u : 0xFF0000u; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TBmpImage image = TBmpImage::Decode(MakeBmp(c.spec));
        ASSERT_EQ(image.Width(), c.spec.Width);
        ASSERT_EQ(image.Height(), std::abs(c.spec.Height));
        for (int32_t y = 0; y < image.Height(); ++y) {
            for (int32_t x = 0; x < image.Width(); ++x) {
                EXPECT_EQ(image.Pixel(x, y), 0xFF000000u | c.expected(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(BmpImage, DecodesTheCoreHeader) {
    // 2 x 2, 1 bit, palette of two 3-byte entries (black, white); rows bottom-up.
    std::string bytes = "BM";
    test::Put32(bytes, 14 + 12 + 6 + 8);
    test::Put32(bytes, 0);
    test::Put32(bytes, 14 + 12 + 6);
    test::Put32(bytes, 12);
    test::Put16(bytes, 2);
    test::Put16(bytes, 2);
    test::Put16(bytes, 1);
    test::Put16(bytes, 1);
    bytes += std::string("\0\0\0\xFF\xFF\xFF", 6);
    bytes += std::string("\x40\0\0\0\x80\0\0\0", 8);
    const TBmpImage image = TBmpImage::Decode(bytes);
    EXPECT_EQ(image.Pixels(),
              (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF}));
}

TEST(BmpImage, IndexBeyondTheShortPaletteIsBlack) {
    TBmpSpec spec{2, 1, 8, 0, {0xFFFFFF}, {}, [](int32_t x, int32_t) { return x == 0 ? 0u : 9u; }};
    const TBmpImage image = TBmpImage::Decode(MakeBmp(spec));
    EXPECT_EQ(image.Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(image.Pixel(1, 0), 0xFF000000u);
}

TEST(BmpImage, EmptyImageIsNotAnError) {
    const TBmpImage image = TBmpImage::Decode(test::SolidBmp(0, 5));
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Height(), 5);
    EXPECT_TRUE(image.Empty());
}

TEST(BmpImage, RejectsBrokenAndHostileFiles) {
    const std::string good = test::SolidBmp(4, 4);
    const auto patched = [&](size_t at, uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) {
            bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
        }
        return bytes;
    };
    struct Case {
        const char* name;
        std::string bytes;
        const char* text;
    };
    const Case cases[] = {
        {"empty", "", "too short"},
        {"not BM", "XY" + good.substr(2), "\"BM\""},
        {"truncated pixels", good.substr(0, good.size() - 1), "truncated"},
        {"truncated header", good.substr(0, 30), "truncated"},
        {"pixel offset past the end", patched(10, 0xFFFFFFF0u), "truncated"},
        {"unknown header size", patched(14, 20), "header size"},
        {"RLE8", patched(30, 1), "compressed"},
        {"huge width", patched(18, 0x7FFFFFFF), "size"},
        {"most negative height", patched(22, 0x80000000u), "size"},
        {"bit count 7",
         [&] {
             std::string b = good;
             b[28] = 7;
             return b;
         }(),
         "bit count"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            TBmpImage::Decode(c.bytes);
            ADD_FAILURE() << "accepted";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(c.text), std::string::npos) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("Bitmap image is not valid", 0), 0u);
        }
    }
}

TEST(BmpImage, MissingFileNamesThePath) {
    try {
        TBmpImage::LoadFromFile("/nonexistent/quobel/x.bmp");
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Cannot open file \"/nonexistent/quobel/x.bmp\".");
    }
}

}  // namespace
}  // namespace quobel
