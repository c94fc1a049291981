#pragma once

#include <QTimer>
#include <functional>
#include <string>

#include "bar/app_bar.h"

class QWidget;

namespace quobel {

// Owns the bar's side of docking: TAppBarWindow over the bar's QWidget (its geometry, z-order,
// painting, the pointer and the clock) and the auto-hide timer that ticks its TAppBar.
class TBarShellWindow : public TAppBarWindow {
  public:
    using TInformation = std::function<void(const std::string& title, const std::string& text)>;

    // `onInformation` (the bar's handler, kept by reference) shows the auto-hide refusal; a
    // message box when it is empty. `dragging` tells whether the user is moving or sizing the
    // window. Both must outlive this.
    TBarShellWindow(QWidget& window, const TInformation& onInformation,
                    std::function<bool()> dragging);
    TBarShellWindow(const TBarShellWindow&) = delete;
    TBarShellWindow& operator=(const TBarShellWindow&) = delete;

    // The bar the window docks through, made after this (it needs this window); it keeps the
    // placements within its size limits and is ticked by the auto-hide timer.
    void Attach(TAppBar& appBar) { appBar_ = &appBar; }
    // From here on the window is going: its flags are left alone.
    void SetClosing() { closing_ = true; }
    bool Closing() const { return closing_; }
    const QTimer& AutoHideTimer() const { return autoHide_; }

    TScreenMetrics Metrics() override;
    TRect WorkArea() override;
    TRect WindowRect() override;
    void PlaceWindow(const TRect& rect) override;
    void PaintNow() override;
    void SetZOrder(TZOrder order) override;
    void ShowApplicationWindow(bool show) override;
    bool IsActiveWindow() override;
    TPoint PointerPos() override;
    bool DragFullWindows() override { return true; }
    int64_t TickCount() override;
    void SetAutoHideTimer(int32_t intervalMs) override;
    void PostSizeMoveCycle() override;
    void ShowInformation(const std::string& title, const std::string& text) override;

  private:
    QWidget& window_;
    const TInformation& onInformation_;
    std::function<bool()> dragging_;
    TAppBar* appBar_ = nullptr;
    QTimer autoHide_;
    bool closing_ = false;
};

}  // namespace quobel
