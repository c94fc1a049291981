#include "core/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quobel {
namespace {

using namespace std::literals;

TEST(Strings, CaseFolding) {
    struct Case {
        std::string text, lower, upper;
    };
    const Case cases[] = {
        {"", "", ""},
        {"MiXeD 123", "mixed 123", "MIXED 123"},
        // Only ASCII letters have a case: the neighbours of the letters, UTF-8 and NUL stay.
        {"@AZ[`az{", "@az[`az{", "@AZ[`AZ{"},
        {"caf\xc3\xa9 \xc3\x89T\xc3\x89", "caf\xc3\xa9 \xc3\x89t\xc3\x89",
         "CAF\xc3\xa9 \xc3\x89T\xc3\x89"},
        {"a\0B"s, "a\0b"s, "A\0B"s},
        {"\xff\x80\x7f", "\xff\x80\x7f", "\xff\x80\x7f"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ToLowerAscii(c.text), c.lower);
        EXPECT_EQ(ToUpperAscii(c.text), c.upper);
        std::string into = "left over from before, longer than any case";
        ToLowerAsciiInto(c.text, into);
        EXPECT_EQ(into, c.lower);
        for (size_t i = 0; i < c.text.size(); ++i) {
            EXPECT_EQ(LowerAscii(c.text[i]), c.lower[i]);
            EXPECT_EQ(UpperAscii(c.text[i]), c.upper[i]);
        }
    }
}

TEST(Strings, ComparingWithoutCase) {
    struct Case {
        std::string_view a, b;
        int order;  // of a against b
        bool aStartsWithB;
    };
    const Case cases[] = {
        {"", "", 0, true},
        {"abc", "ABC", 0, true},
        {"Subject", "sUBJECT", 0, true},
        {"abc", "abd", -1, false},
        {"ABD", "abc", 1, false},
        {"ab", "abc", -1, false},
        {"abc", "AB", 1, true},
        {"abc", "", 1, true},
        // Folded to lower case: '_' sorts before the letters, as in a lowered comparison.
        {"_", "a", -1, false},
        {"_", "A", -1, false},
        {"[", "z", -1, false},
        // Bytes above 0x7F compare unsigned, after all ASCII.
        {"\xc3\xa9", "z", 1, false},
        {"z", "\xc3\xa9", -1, false},
        {"\xc3\x89", "\xc3\xa9", -1, false},
        {"a\0b"sv, "A\0B"sv, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + std::string(c.b));
        const int order = CompareTextAscii(c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.order);
        EXPECT_EQ(CompareTextAscii(c.b, c.a) < 0, c.order > 0);
        EXPECT_EQ(SameTextAscii(c.a, c.b), c.order == 0);
        EXPECT_EQ(SameTextAscii(c.b, c.a), c.order == 0);
        EXPECT_EQ(LessTextAscii(c.a, c.b), c.order < 0);
        EXPECT_EQ(StartsWithTextAscii(c.a, c.b), c.aStartsWithB);
        // The order is that of the lowered texts, compared as std::string compares.
        const int lowered = ToLowerAscii(c.a).compare(ToLowerAscii(c.b));
        EXPECT_EQ((lowered > 0) - (lowered < 0), c.order);
    }
}

TEST(Strings, FindingWithoutCase) {
    constexpr size_t npos = std::string_view::npos;
    struct Case {
        std::string_view text, pattern;
        size_t from, found;
    };
    const Case cases[] = {
        {"xxBoDy", "body", 0, 2},
        {"xxBoDy", "BODY", 3, npos},
        {"xxBoDy", "BODY", 2, 2},
        {"body body", "BODY", 1, 5},
        {"caf\xc3\xa9", "\xc3\xa9", 0, 3},
        {"caf\xc3\x89", "\xc3\xa9", 0, npos},  // no case outside ASCII
        {"[a", "{A", 0, npos},                 // '[' and '{' are not letters of one case
        {"abc", "abcd", 0, npos},
        {"abc", "c", 3, npos},
        {"abc", "c", 4, npos},
        {"aAa", "AA", 0, 0},
        {"aAa", "AA", 1, 1},
        {"", "", 0, 0},
        {"abc", "", 2, 2},
        {"abc", "", 3, 3},
        {"abc", "", 4, npos},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + std::string(c.pattern) + " from " +
                     std::to_string(c.from));
        EXPECT_EQ(FindTextAscii(c.text, c.pattern, c.from), c.found);
        // Where the lowered texts agree.
        EXPECT_EQ(std::string_view(ToLowerAscii(c.text)).find(ToLowerAscii(c.pattern), c.from),
                  c.found);
    }
}

TEST(Strings, Trims) {
    struct Case {
        std::string text, blanks, controls, controlsAndDelete;
    };
    const Case cases[] = {
        {"", "", "", ""},
        {"plain", "plain", "plain", "plain"},
        {" \t a b \t ", "a b", "a b", "a b"},
        {"\r\n a \r\n", "\r\n a \r\n", "a", "a"},
        {"\x01\x1f"
         "a\x00"s,
         "\x01\x1f"
         "a\x00"s,
         "a", "a"},
        {"\x7f a \x7f", "\x7f a \x7f", "\x7f a \x7f", "a"},
        {" \x7f \xa0", "\x7f \xa0", "\x7f \xa0", "\xa0"},  // a byte above 0x7F is text
        {" \t\r\n\x7f", "\r\n\x7f", "\x7f", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TrimBlanks(c.text), c.blanks);
        EXPECT_EQ(TrimControls(c.text), c.controls);
        EXPECT_EQ(TrimIf(c.text, IsBlankOrAsciiControl), c.controlsAndDelete);
    }
    // One side only.
    EXPECT_EQ(TrimLeftIf("  a  ", IsBlank), "a  ");
    EXPECT_EQ(TrimRightIf("  a  ", IsBlank), "  a");
    EXPECT_EQ(TrimLeftIf("    ", IsBlank), "");
}

TEST(Strings, HexDigits) {
    const std::string_view digits = "0123456789abcdefABCDEF";
    const int values[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                          11, 12, 13, 14, 15, 10, 11, 12, 13, 14, 15};
    for (size_t i = 0; i < digits.size(); ++i) {
        EXPECT_EQ(HexDigitValue(digits[i]), values[i]) << digits[i];
    }
    for (const char c : std::string_view("gG/:@`x \xff")) {
        EXPECT_EQ(HexDigitValue(c), -1) << c;
    }
}

}  // namespace
}  // namespace quobel
