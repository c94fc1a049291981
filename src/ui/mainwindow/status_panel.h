#pragma once

#include <QString>
#include <QWidget>

namespace quobel {

// A task status as the status panel shows it: "2|Checking for new mail..." is image 2 and the
// text after the first "|"; a text without "|" (or with no number before it) has no image.
struct TStatusText {
    int Image = -1;
    QString Text;

    static TStatusText Parse(const QString& panelText);
};

// The status bar panel that shows the current task status: an image of the status list, then
// the text on one line, "&" literal, cut with an ellipsis when it does not fit.
class TStatusPanel : public QWidget {
    Q_OBJECT
  public:
    explicit TStatusPanel(QWidget* parent = nullptr);

    void SetText(const QString& text);
    const QString& Text() const { return text_; }

  signals:
    void Pressed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QString text_;
};

}  // namespace quobel
