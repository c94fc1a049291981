#include <gtest/gtest.h>

#include "message/charset.h"
#include "message/html_to_text.h"
#include "message/text_search.h"

namespace quobel {
namespace {

TEST(TextSearchTest, FindAndReplace) {
    EXPECT_EQ(FindText("abcabc", "bc", 1), 2u);
    EXPECT_EQ(FindText("abcabc", "bc", 3), 5u);
    EXPECT_EQ(FindText("abcabc", "bc", 6), 0u);
    EXPECT_EQ(FindText("abc", "abcd", 1), 0u);
    EXPECT_EQ(FindText("abc", "B", 1), 0u);
    EXPECT_EQ(FindTextNoCase("xxBoDy", "body", 1), 3u);
    EXPECT_EQ(FindTextNoCase("xxBoDy", "BODY", 4), 0u);
    EXPECT_EQ(FindTextNoCase("caf\xc3\xa9", "\xc3\xa9", 1), 4u);
    EXPECT_EQ(FindTextBack("a.b.c", "."), 4u);
    EXPECT_EQ(FindTextBack("\r\n.\r\n\r\n.\r\n", "\r\n.\r\n"), 6u);
    EXPECT_EQ(FindTextBack("abc", "x"), 0u);
    EXPECT_EQ(FindTextBack("ab", "abc"), 0u);
    EXPECT_EQ(ReplaceAll("aaaa", "aa", "a", false), "aa");
    EXPECT_EQ(ReplaceAll("xAbyaB", "ab", "[ab]", true), "x[ab]y[ab]");
    EXPECT_EQ(ReplaceAll("xAby", "ab", "-", false), "xAby");
    EXPECT_EQ(ReplaceAll("", "ab", "-", true), "");
}

TEST(HtmlToTextTest, Cases) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"no tags at all", "no tags at all"},
        {"<html><head><style>p{}</style></head><BODY class=x>in<b>side</b></Body>after",
         "in"
         "side"},
        {"<p>a<BR>b<br />c<Br/>d</p>", "a\r\nb\r\ncd"},
        {"a&nbsp;b&NBSP;c", "a b&NBSP;c"},  // only the lower-case form is a blank
        {"&copy; &EURO; &amp;lt; &lt;x&gt; &quot;q&quot; &#65;&#x42;&#x1F600; &#0; &bogus;",
         "\u00a9 \u20ac &lt; <x> \"q\" AB\U0001F600 &#0; &bogus;"},
        {"1 < 2 and 3 > 2", "1  2"},
        {"unclosed <tag and more", "unclosed <tag and more"},
        {"<!-- a > b -->text", " b -->text"},
        {"line1\n   line2", "line1\n   line2"},
    };
    for (const auto& [html, text] : cases) {
        EXPECT_EQ(HtmlToText(html), text) << html;
    }
}

TEST(CharsetTest, TextToUtf8) {
    const struct {
        std::string bytes, charset, utf8;
    } cases[] = {
        {"caf\xe9", "ISO-8859-1", "café"},
        {"\x93q\x94 \x80", "windows-1252", "\u201cq\u201d \u20ac"},
        {"\xf0\xd2\xc9\xd7\xc5\xd4", "koi8-r", "Привет"},
        {"caf\xc3\xa9", "", "café"},
        {"caf\xe9", "", "café"},
        {"caf\xe9", "x-no-such-charset", "café"},
        {"caf\xe9", "us-ascii", "café"},
        {"caf\xe9", "utf-8", "caf\xef\xbf\xbd"},
        {"caf\xe9", "utf-8//IGNORE", "café"},
        {"\x81\x8d", "", "\u0081\u008d"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToUtf8(c.bytes, c.charset), c.utf8) << c.charset;
    }
    EXPECT_TRUE(IsValidUtf8("plain ascii and \xe2\x98\x95"));
    for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x98", "\x80"}) {
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    }
}

}  // namespace
}  // namespace quobel
