#include "ui/common/qt_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quobel {
namespace {

using namespace std::literals;

TEST(QtText, UtfEightBothWays) {
    struct Case {
        std::string bytes;
        QString text;
    };
    const Case cases[] = {
        {"", QString()},
        {"plain", QStringLiteral("plain")},
        {"caf\xc3\xa9 \xe2\x82\xac", QString::fromUtf16(u"caf\u00e9 \u20ac")},
        {"\xf0\x9f\x93\xa7", QString::fromUtf16(u"\U0001F4E7")},  // beyond 16 bits
        {"a\0b"s, QString::fromUtf16(u"a\0b", 3)},                // a NUL does not end it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(Q(c.bytes), c.text);
        EXPECT_EQ(Q(std::string_view(c.bytes)), c.text);
        EXPECT_EQ(S(c.text), c.bytes);
    }
    // Only part of a text, as the list's fields are views into longer ones.
    EXPECT_EQ(Q(std::string_view("subject line").substr(0, 7)), QStringLiteral("subject"));
}

}  // namespace
}  // namespace quobel
