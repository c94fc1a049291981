#pragma once

#include <QWidget>

#include "core/form_size.h"

namespace quobel {

// A top-level widget as the placement memory sees it: its normal bounds and its state.
class QtPlacedWindow : public PlacedWindow {
  public:
    explicit QtPlacedWindow(QWidget& window) : window_(window) {}

    WindowPlacement Placement() const override;
    void SetPlacement(const WindowPlacement& placement) override;

  private:
    QWidget& window_;
};

}  // namespace quobel
