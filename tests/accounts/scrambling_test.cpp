#include <gtest/gtest.h>

#include "accounts/base64.h"
#include "accounts/password_scrambler.h"
#include "core/digest.h"
#include "core/error.h"

namespace quobel {
namespace {

TEST(Base64, EncodesWithPadding) {
    EXPECT_EQ(Base64Encode(""), "");
    EXPECT_EQ(Base64Encode("A"), "QQ==");
    EXPECT_EQ(Base64Encode("AB"), "QUI=");
    EXPECT_EQ(Base64Encode("ABC"), "QUJD");
    EXPECT_EQ(Base64Encode("\xff\xfe\xfd"), "//79");
}

TEST(Base64, DecodesLenientlyButInsistsOnLength) {
    struct Case {
        const char* text;
        std::string bytes;
    };
    const Case cases[] = {
        {"", ""},
        {"QQ==", "A"},
        {"QR==", "A"},  // unused low bits are ignored
        {"QUI=", "AB"},
        {"QUJD", "ABC"},
        {"//79", "\xff\xfe\xfd"},
        {"+/+/", "\xfb\xff\xbf"},
        // Characters outside the alphabet count 63, nothing is skipped.
        {"QU\nD", std::string("A\x4f\xc3", 3)},
        {"====", std::string("\xff", 1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
    }
    for (const char* bad : {"QQ=", "Q", "QUJDQ"}) {
        try {
            Base64Decode(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& error) {
            EXPECT_STREQ(error.what(), "Base64: Incorrect string format");
        }
    }
    // A line break every 76 characters is a character of its own, not skipped.
    const std::string encoded = Base64Encode(std::string(57 * 2, 'x'));
    const std::string wrapped = encoded.substr(0, 76) + "\r\n" + encoded.substr(76) + "==";
    ASSERT_EQ(wrapped.size() % 4, 0u);
    EXPECT_NE(Base64Decode(wrapped).substr(0, 60), std::string(60, 'x'));
}

TEST(PasswordScrambler, MatchesTheReferenceValues) {
    EXPECT_EQ(HexLower(Sha1("PaperHarbor_14071999_MossyLantern?").data(), 20),
              "e2531bd3286ff60c6cede74b912af3a8136c5e82");
    struct Case {
        const char* plain;
        const char* stored;
    };
    const Case cases[] = {
        {"", ""},
        {"a", "4w=="},
        {"secret", "8fB6LpOM"},
        {"password1", "u0quUn5086O3"},
        {"12345678", "Fjd0JDpROLM="},
        {"exactly16bytes!!", "w6cWVQwHKGtyLrCZROuoQg=="},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScramblePassword(c.plain), c.stored) << c.plain;
        EXPECT_EQ(UnscramblePassword(c.stored), c.plain) << c.stored;
    }
}

TEST(PasswordScrambler, RoundTripsEveryLengthUpTo40) {
    std::string plain;
    for (int length = 0; length <= 40; ++length) {
        const std::string stored = ScramblePassword(plain);
        EXPECT_EQ(stored.size(), (plain.size() + 2) / 3 * 4);
        EXPECT_EQ(UnscramblePassword(stored), plain) << length;
        plain += static_cast<char>(0x80 + length * 3);
    }
    EXPECT_THROW(UnscramblePassword("abc"), Error);
    // Valid Base64 that was never scrambled still unscrambles, into whatever bytes come out.
    EXPECT_EQ(UnscramblePassword("QUJD").size(), 3u);
}

}  // namespace
}  // namespace quobel
