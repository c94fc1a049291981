#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace quobel {

// A web address found in a text: where it starts and how long it is (UTF-16 units).
struct TTextLink {
    qsizetype Start = 0;
    qsizetype Length = 0;
};

// The web addresses in a text, in order, found in one pass: words beginning with a scheme the
// desktop opens ("http://", "https://", "ftp://", "file://", "news:", "mailto:", in any letter
// case) or with "www.", up to the next blank, control character, quote or angle bracket.
// Trailing punctuation that usually ends a sentence is not part of the address.
std::vector<TTextLink> FindWebLinks(QStringView text);

// Whether a link's text is a mail address link ("mailto:" in any letter case); `address` gets
// the text after the prefix.
bool IsMailToLink(const QString& link, QString* address = nullptr);

}  // namespace quobel
