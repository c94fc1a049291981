#include "ui/reader/reader_text_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>

namespace quobel {
namespace {

// The first piece fills a screen; the later ones are big enough that the text goes in quickly and
// small enough that inserting one takes a few dozen milliseconds at most. Messages shorter than
// the first piece go in at once.
constexpr qsizetype kFirstPieceSize = 64 * 1024;
constexpr qsizetype kPieceSize = 256 * 1024;

// One pass over raw characters: appending character by character or replacing in place cost
// several times the whole parse of a large message.
QString NormalizeLineEnds(const QString& text) {
    if (!text.contains(u'\r')) {
        return text;
    }
    QString out(text.size(), Qt::Uninitialized);
    QChar* to = out.data();
    const QChar* from = text.constData();
    const QChar* const end = from + text.size();
    while (from < end) {
        if (*from == u'\r') {
            *to++ = u'\n';
            ++from;
            if (from < end && *from == u'\n') {
                ++from;
            }
        } else {
            *to++ = *from++;
        }
    }
    out.truncate(to - out.constData());
    return out;
}

}  // namespace

TReaderTextView::TReaderTextView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setUndoRedoEnabled(false);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, [this] {
        AppendPiece();
        if (!Filling()) {
            fillTimer_->stop();
        }
    });
}

void TReaderTextView::SetText(const QString& text) {
    fillTimer_->stop();
    text_ = NormalizeLineEnds(text);
    links_ = Links ? FindWebLinks(text_) : std::vector<TTextLink>{};
    fillAt_ = 0;
    nextLink_ = 0;
    clear();
    AppendPiece();
    if (Filling()) {
        fillTimer_->start();
    }
}

void TReaderTextView::FinishText() {
    while (Filling()) {
        AppendPiece();
    }
    fillTimer_->stop();
}

void TReaderTextView::AppendPiece() {
    if (!Filling()) {
        return;
    }
    const qsizetype size = fillAt_ == 0 ? kFirstPieceSize : kPieceSize;
    qsizetype end = std::min(fillAt_ + size, text_.size());
    // A piece never splits a link or a surrogate pair.
    size_t straddling = nextLink_;
    while (straddling < links_.size() &&
           links_[straddling].Start + links_[straddling].Length <= end) {
        ++straddling;
    }
    if (straddling < links_.size() && links_[straddling].Start < end) {
        end = links_[straddling].Start + links_[straddling].Length;
    }
    if (end < text_.size() && text_[end - 1].isHighSurrogate()) {
        ++end;
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // One edit block per piece: the layout follows once, not after every link.
    cursor.beginEditBlock();
    const QTextCharFormat plain;
    QTextCharFormat link;
    link.setAnchor(true);
    link.setFontUnderline(true);
    link.setForeground(palette().link());
    qsizetype at = fillAt_;
    while (nextLink_ < links_.size() && links_[nextLink_].Start < end) {
        const TTextLink& found = links_[nextLink_];
        if (found.Start > at) {
            cursor.insertText(text_.mid(at, found.Start - at), plain);
        }
        const QString address = text_.mid(found.Start, found.Length);
        link.setAnchorHref(address);
        cursor.insertText(address, link);
        at = found.Start + found.Length;
        ++nextLink_;
    }
    if (end > at) {
        cursor.insertText(text_.mid(at, end - at), plain);
    }
    cursor.endEditBlock();
    fillAt_ = end;
}

QString TReaderTextView::AnchorAt(const QPoint& position) const {
    if (!Links) {
        return {};
    }
    const QTextBlock block = cursorForPosition(position).block();
    if (!block.isValid() || block.layout() == nullptr) {
        return {};
    }
    const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
    const QPointF inBlock = QPointF(position) - box.topLeft();
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QRectF text = line.naturalTextRect();
        if (inBlock.y() < text.top() || inBlock.y() >= text.bottom() || inBlock.x() < text.left() ||
            inBlock.x() >= text.right()) {
            continue;
        }
        const int at = line.xToCursor(inBlock.x(), QTextLine::CursorOnCharacter);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = fragment.position() - block.position();
            if (at >= start && at < start + fragment.length()) {
                const QTextCharFormat format = fragment.charFormat();
                return format.isAnchor() ? format.anchorHref() : QString();
            }
        }
    }
    return {};
}

void TReaderTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        FinishText();
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TReaderTextView::mousePressEvent(QMouseEvent* event) {
    pressedAnchor_ =
        event->button() == Qt::LeftButton ? AnchorAt(event->position().toPoint()) : QString();
    QPlainTextEdit::mousePressEvent(event);
}

void TReaderTextView::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || pressedAnchor_.isEmpty()) {
        return;
    }
    const QString link = pressedAnchor_;
    pressedAnchor_.clear();
    // A press on a link that became a selection drag is not a click.
    if (AnchorAt(event->position().toPoint()) == link && !textCursor().hasSelection()) {
        emit LinkClicked(link);
    }
}

void TReaderTextView::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    const bool overLink = !AnchorAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
}

}  // namespace quobel
