#include "ui/reader/reader_links.h"

#include <array>

namespace quobel {
namespace {

constexpr std::array<QStringView, 7> kPrefixes = {
    u"http://", u"https://", u"ftp://", u"file://", u"news:", u"mailto:", u"www.",
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool EndsAddress(QChar c) {
    const char16_t u = c.unicode();
    return u <= u' ' || u == 0x7F || u == u'"' || u == u'<' || u == u'>' || u == u'`' ||
           c.isSpace();
}

bool IsTrailingPunctuation(QChar c) {
    const char16_t u = c.unicode();
    return u == u'.' || u == u',' || u == u';' || u == u':' || u == u'!' || u == u'?' ||
           u == u'\'' || u == u')' || u == u']' || u == u'}';
}

// The prefix that begins at `at`, or an empty view.
QStringView PrefixAt(QStringView text, qsizetype at) {
    for (QStringView prefix : kPrefixes) {
        if (text.size() - at > prefix.size() &&
            text.mid(at, prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0) {
            return prefix;
        }
    }
    return {};
}

}  // namespace

std::vector<TTextLink> FindWebLinks(QStringView text) {
    std::vector<TTextLink> links;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size) {
        // Cheap filter first: every prefix starts with one of these ASCII letters.
        const char16_t first = text[i].unicode() | 0x20;
        const bool candidate =
            first == u'h' || first == u'f' || first == u'n' || first == u'm' || first == u'w';
        if (!candidate || (i > 0 && IsWordChar(text[i - 1]))) {
            ++i;
            continue;
        }
        const QStringView prefix = PrefixAt(text, i);
        if (prefix.isEmpty()) {
            ++i;
            continue;
        }
        qsizetype end = i + prefix.size();
        qsizetype opened = 0;  // parentheses inside the address, as in wiki links
        while (end < size && !EndsAddress(text[end])) {
            if (text[end] == u'(') {
                ++opened;
            } else if (text[end] == u')') {
                --opened;
            }
            ++end;
        }
        while (end > i + prefix.size() && IsTrailingPunctuation(text[end - 1])) {
            if (text[end - 1] == u')' && opened >= 0) {
                break;  // a balanced closing parenthesis belongs to the address
            }
            if (text[end - 1] == u')') {
                ++opened;
            }
            --end;
        }
        if (end > i + prefix.size()) {
            links.push_back({i, end - i});
        }
        i = end > i ? end : i + 1;
    }
    return links;
}

bool IsMailToLink(const QString& link, QString* address) {
    constexpr QStringView kMailTo = u"mailto:";
    if (link.size() < kMailTo.size() ||
        QStringView(link).left(kMailTo.size()).compare(kMailTo, Qt::CaseInsensitive) != 0) {
        return false;
    }
    if (address != nullptr) {
        *address = link.mid(kMailTo.size());
    }
    return true;
}

}  // namespace quobel
