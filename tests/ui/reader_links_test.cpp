// Web addresses found in a message's text.
#include <gtest/gtest.h>

#include <QStringList>

#include "ui/reader/reader_links.h"

namespace quobel {
namespace {

QStringList Links(const QString& text) {
    QStringList found;
    for (const TTextLink& link : FindWebLinks(text)) {
        found << text.mid(link.Start, link.Length);
    }
    return found;
}

TEST(ReaderLinksTest, FindsAddressesAndLeavesSentencePunctuationOut) {
    struct Case {
        const char* text;
        QStringList links;
    };
    const Case cases[] = {
        {"see http://a.example/x.", {"http://a.example/x"}},
        {"HTTPS://A.example/Path?q=1&r=2, then", {"HTTPS://A.example/Path?q=1&r=2"}},
        {"(www.example.com/page)", {"www.example.com/page"}},
        {"https://en.example/wiki/A_(b) end", {"https://en.example/wiki/A_(b)"}},
        {"<mailto:mara@example.org>", {"mailto:mara@example.org"}},
        {"ftp://f.example file://x news:comp.lang",
         {"ftp://f.example", "file://x", "news:comp.lang"}},
        {"\"http://q.example\"", {"http://q.example"}},
        {"nohttp://x.example and http:// alone and swww.x", {}},
        {"a\thttp://t.example\r\nhttp://n.example", {"http://t.example", "http://n.example"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Links(QString::fromUtf8(c.text)), c.links) << c.text;
    }
}

TEST(ReaderLinksTest, MailToInAnyLetterCase) {
    QString address;
    EXPECT_TRUE(IsMailToLink(QStringLiteral("MAILTO:a@b.example"), &address));
    EXPECT_EQ(address, QStringLiteral("a@b.example"));
    EXPECT_TRUE(IsMailToLink(QStringLiteral("mailTo:"), &address));
    EXPECT_EQ(address, QString());
    EXPECT_FALSE(IsMailToLink(QStringLiteral("mail:a@b.example")));
    EXPECT_FALSE(IsMailToLink(QStringLiteral("http://mailto:x")));
}

}  // namespace
}  // namespace quobel
