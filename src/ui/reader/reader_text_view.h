#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <vector>

#include "ui/reader/reader_links.h"

class QTimer;

namespace quobel {

// A read-only text view for texts of any size: the text goes in in pieces, the first at once and
// the rest from the event loop, so that a message of many megabytes shows its beginning at once
// and never holds the window up for long. Nothing in the text is interpreted: it is inserted as
// plain text, and only the web addresses found in it become links (with `Links` set), which are
// reported when clicked with the left button.
class TReaderTextView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TReaderTextView(QWidget* parent = nullptr);

    // Replaces the text. Line ends of any kind become line breaks.
    void SetText(const QString& text);
    // Puts the rest of the text in now (before copying or selecting everything).
    void FinishText();
    bool Filling() const { return fillAt_ < text_.size(); }
    // The whole text the view shows or is about to show.
    const QString& FullText() const { return text_; }

    bool Links = false;
    // The link under a point of the viewport; empty when there is none.
    QString AnchorAt(const QPoint& position) const;

  signals:
    void LinkClicked(const QString& link);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void AppendPiece();

    QTimer* fillTimer_;
    QString text_;
    std::vector<TTextLink> links_;
    qsizetype fillAt_ = 0;
    size_t nextLink_ = 0;
    QString pressedAnchor_;
};

}  // namespace quobel
