#include "message/shown_text.h"

#include <gtest/gtest.h>

#include "message_test_util.h"

namespace quobel {
namespace {

using testing::Crlf;

std::string Multipart(const std::vector<std::string>& types) {
    std::string text = "Content-Type: multipart/mixed; boundary=b\n\n";
    for (std::size_t i = 0; i < types.size(); ++i) {
        text += "--b\n";
        if (!types[i].empty())
            text += "Content-Type: " + types[i] + "\n";
        text += "\npart" + std::to_string(i + 1) + "\n";
    }
    return Crlf(text + "--b--\n");
}

TEST(ShownTextTest, PartChoice) {
    struct Case {
        const char* name;
        std::string message;
        int index;
        bool html;
    };
    const Case cases[] = {
        {"single part without type is HTML", Crlf("Subject: x\n\nbody\n"), 0, true},
        {"single part text/html", Crlf("Content-Type: text/html\n\nbody\n"), 0, true},
        {"single part text/enriched is text", Crlf("Content-Type: text/enriched\n\nbody\n"), 0,
         false},
        {"single part image shows nothing", Crlf("Content-Type: image/png\n\nbody\n"), -1, false},
        {"header only shows nothing", Crlf("Subject: x\n"), -1, false},
        {"plain after html wins", Multipart({"text/html", "text/plain"}), 2, false},
        {"plain first", Multipart({"TEXT/PLAIN", "text/html"}), 1, false},
        {"html alone", Multipart({"image/gif", "text/html"}), 2, true},
        {"something containing text", Multipart({"image/gif", "application/x-text-ish"}), 2, false},
        {"first part without type", Multipart({"image/gif", "", ""}), 2, false},
        {"typeless part before a text part", Multipart({"", "text/enriched"}), 2, false},
        {"nothing qualifies", Multipart({"image/gif", "audio/ogg"}), -1, false},
    };
    for (const Case& c : cases) {
        TQBMessage message;
        message.LoadFromText(c.message);
        const TShownPart shown = ChooseShownPart(message);
        EXPECT_EQ(shown.Index, c.index) << c.name;
        EXPECT_EQ(shown.Html, c.html) << c.name;
    }
}

TEST(ShownTextTest, TextInUtf8FromTheRightCharset) {
    const std::pair<const char*, const char*> samples[] = {
        {"plain_latin1.eml",
         "Hallo Anna, \r\ndie Straße ist gesperrt, wir kommen später. Diese Zeile ist sehr lang "
         "und "
         "wurde weich umbrochen.\r\n\r\nHans\r\n"},
        {"alternative_utf8.eml", "Café tonight? ☕\r\n"},
        {"nested.eml", "\u201cquoted\u201d \u20ac\r\n"},
        {"koi8r.eml", "Текст письма\r\n"},
        {"html_no_type.eml", "Hello <Anna>\r\nPrice: 10 € ©2026 end"},
        {"inline_uuencode.eml", "Here is the file:\r\n\r\n\r\n\r\n\r\nBye.\r\n"},
        {"headers_only.eml", ""},
    };
    for (const auto& [name, text] : samples) {
        TQBMessage message;
        message.LoadFromText(testing::ReadSample(name));
        EXPECT_EQ(ShownText(message), text) << name;
    }
    TQBMessage message;
    message.LoadFromText(testing::ReadSample("alternative_utf8.eml"));
    EXPECT_EQ(ShownText(message, [](const std::string& text) { return "[" + text + "]"; }),
              "[Café tonight? ☕\r\n]");
}

}  // namespace
}  // namespace quobel
