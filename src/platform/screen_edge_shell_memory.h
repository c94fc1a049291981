#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/screen_edge_shell.h"

namespace quobel {

// A simulated desktop for one bar window: a screen, a work area that the bar's reserved strip
// shrinks, an auto-hide registry per edge, a clock that advances by a fixed step on every read,
// and a record of every shell call and window placement.
class TScreenEdgeShellMemory : public TScreenEdgeShell, public TAppBarWindow {
  public:
    enum class TOwner { None, This, Other };

    explicit TScreenEdgeShellMemory(int32_t screenWidth = 1024, int32_t screenHeight = 768);

    // The simulated desktop.
    TScreenMetrics ScreenMetrics;
    TRect DesktopArea;  // the screen minus panels other than this bar
    std::array<TOwner, 4> AutoHideOwners{TOwner::None, TOwner::None, TOwner::None, TOwner::None};
    bool Registered = false;
    TAppBarEdge ReservedEdge = TAppBarEdge::abeUnknown;
    TRect Reserved;  // empty when nothing is reserved

    // The simulated window.
    TRect Window;
    TZOrder ZOrder = TZOrder::NotTopMost;
    int ApplicationWindowShown = -1;  // -1 never set, else 0 or 1
    bool Active = false;
    TPoint Pointer;
    bool FullWindowDrag = true;
    int64_t Now = 0;
    // Added to Now after each read of the clock; the default ends every slide at its first frame.
    int64_t TickStep = 1000;
    int32_t TimerInterval = 0;
    int PostedSizeMoveCycles = 0;
    int Paints = 0;
    std::vector<TRect> Placements;
    std::vector<std::pair<std::string, std::string>> Messages;
    // Shell calls in order, e.g. "SetPos 1 0,0,1024,22".
    std::vector<std::string> Calls;

    // TScreenEdgeShell
    void New() override;
    void Remove() override;
    void QueryPos(TAppBarEdge edge, TRect& rect) override;
    void SetPos(TAppBarEdge edge, TRect& rect) override;
    void Activate() override;
    bool IsAutoHideBar(TAppBarEdge edge) override;
    bool SetAutoHideBar(TAppBarEdge edge, bool doRegister) override;
    void WindowPosChanged() override;

    // TAppBarWindow
    TScreenMetrics Metrics() override { return ScreenMetrics; }
    TRect WorkArea() override;
    TRect WindowRect() override { return Window; }
    void PlaceWindow(const TRect& rect) override;
    void PaintNow() override { ++Paints; }
    void SetZOrder(TZOrder order) override { ZOrder = order; }
    void ShowApplicationWindow(bool show) override { ApplicationWindowShown = show ? 1 : 0; }
    bool IsActiveWindow() override { return Active; }
    TPoint PointerPos() override { return Pointer; }
    bool DragFullWindows() override { return FullWindowDrag; }
    int64_t TickCount() override;
    void SetAutoHideTimer(int32_t intervalMs) override { TimerInterval = intervalMs; }
    void PostSizeMoveCycle() override { ++PostedSizeMoveCycles; }
    void ShowInformation(const std::string& title, const std::string& text) override {
        Messages.emplace_back(title, text);
    }
};

std::string RectText(const TRect& rect);

}  // namespace quobel
