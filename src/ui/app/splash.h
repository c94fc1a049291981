#pragma once

#include <QWidget>

namespace quobel {

// The start-up picture: borderless, centred on the screen, 400 x 300, nothing else.
class TfrmSplash : public QWidget {
    Q_OBJECT
  public:
    TfrmSplash();
    // Shows the window and paints it before returning.
    void ShowNow();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

}  // namespace quobel
