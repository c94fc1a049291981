#include "ui/common/lower_texts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "bar/ticker_layout.h"
#include "cycle/announcer.h"
#include "cycle/msg_list_controller.h"
#include "retrieval/account_test.h"
#include "retrieval/custom_task.h"
#include "ui/common/qt_text.h"

namespace quobel {

namespace {

constexpr const char* kContext = "Quobel";

// Every marked pattern with filled-in parts. A pattern is matched whole; those with the most
// fixed text go first, so that "%1 more new messages" is not read as "%1 new messages" with
// "3 more" for its count.
constexpr const char* kPatterns[] = {
    TCustomTask::kConnectingText,
    TCustomTask::kConnectFailedText,
    kBarHint,
    kBarHintWithAccount,
    kOneNewMessageText,
    kNewMessagesText,
    kOneMoreNewMessageText,
    kMoreNewMessagesText,
    kNextCheckText,
};

struct TPattern {
    QString Source;
    QRegularExpression Matcher;
    std::vector<int> Numbers;  // the %n of each captured part, in order
    qsizetype FixedLength = 0;
};

TPattern Compile(const char* source) {
    TPattern pattern;
    pattern.Source = QString::fromUtf8(source);
    static const QRegularExpression marker(QStringLiteral("%([1-9])"));
    QString expression = QStringLiteral("^");
    qsizetype from = 0;
    for (auto it = marker.globalMatch(pattern.Source); it.hasNext();) {
        const QRegularExpressionMatch found = it.next();
        const QString fixed = pattern.Source.mid(from, found.capturedStart() - from);
        expression += QRegularExpression::escape(fixed) + QStringLiteral("(.*?)");
        pattern.FixedLength += fixed.size();
        pattern.Numbers.push_back(found.captured(1).toInt());
        from = found.capturedEnd();
    }
    const QString tail = pattern.Source.mid(from);
    expression += QRegularExpression::escape(tail) + QStringLiteral("$");
    pattern.FixedLength += tail.size();
    pattern.Matcher.setPattern(expression);
    pattern.Matcher.setPatternOptions(QRegularExpression::DotMatchesEverythingOption);
    return pattern;
}

const std::vector<TPattern>& Patterns() {
    static const std::vector<TPattern> patterns = [] {
        std::vector<TPattern> compiled;
        for (const char* source : kPatterns) {
            compiled.push_back(Compile(source));
        }
        std::ranges::stable_sort(compiled, [](const TPattern& a, const TPattern& b) {
            return a.FixedLength > b.FixedLength;
        });
        return compiled;
    }();
    return patterns;
}

// The translated pattern with each %n replaced at once, so that a filled-in part holding "%2"
// stays as it is.
QString Fill(const QString& translated, const TPattern& pattern,
             const QRegularExpressionMatch& found) {
    QString text;
    for (qsizetype i = 0; i < translated.size(); ++i) {
        const QChar next = i + 1 < translated.size() ? translated[i + 1] : QChar();
        if (translated[i] == u'%' && next >= u'1' && next <= u'9') {
            const auto at = std::ranges::find(pattern.Numbers, next.digitValue());
            if (at != pattern.Numbers.end()) {
                text += found.captured(static_cast<int>(at - pattern.Numbers.begin()) + 1);
                ++i;
                continue;
            }
        }
        text += translated[i];
    }
    return text;
}

}  // namespace

QString ShownText(std::string_view text) {
    const QString english = Q(text);
    if (english.isEmpty()) {
        return english;
    }
    const QByteArray source = english.toUtf8();
    const QString whole = QCoreApplication::translate(kContext, source.constData());
    return whole != english ? whole : ShownPatternText(text);
}

QString ShownPatternText(std::string_view text) {
    const QString english = Q(text);
    for (const TPattern& pattern : Patterns()) {
        const QRegularExpressionMatch found = pattern.Matcher.match(english);
        if (found.hasMatch()) {
            const QByteArray patternSource = pattern.Source.toUtf8();
            return Fill(QCoreApplication::translate(kContext, patternSource.constData()), pattern,
                        found);
        }
    }
    return english;
}

}  // namespace quobel
