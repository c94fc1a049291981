#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/user_text.h"
#include "platform/screen_edge_shell.h"

namespace quobel {

enum class TAppBarFlag : uint8_t {
    abfAllowLeft = 0,
    abfAllowTop = 1,
    abfAllowRight = 2,
    abfAllowBottom = 3,
    abfAllowFloat = 4,
};

// A set of TAppBarFlag, bit n for the flag of value n (one byte, as stored).
struct TAppBarFlags {
    uint8_t Bits = 0x1F;

    static TAppBarFlags Of(std::initializer_list<TAppBarFlag> flags) {
        TAppBarFlags result{0};
        for (const TAppBarFlag flag : flags) {
            result.Bits |= static_cast<uint8_t>(1u << static_cast<unsigned>(flag));
        }
        return result;
    }
    bool Has(TAppBarFlag flag) const { return (Bits >> static_cast<unsigned>(flag)) & 1u; }
    // The docking edges map onto the first four flags.
    bool AllowsEdge(TAppBarEdge edge) const {
        return IsDockedEdge(edge)
                   ? Has(static_cast<TAppBarFlag>(edge))
                   : edge == TAppBarEdge::abeFloat && Has(TAppBarFlag::abfAllowFloat);
    }
    bool AllowsAnyDockedEdge() const { return (Bits & 0x0F) != 0; }
};

enum class TAppBarTaskEntry { abtShow, abtHide, abtFloatDependent };

// The side or corner the user drags while resizing.
enum class TSizingSide { Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

struct TSizeLimits {
    int32_t MinWidth = 0;
    int32_t MinHeight = 0;
    int32_t MaxWidth = 0;
    int32_t MaxHeight = 0;
};

// A window that docks to a screen edge and reserves a strip there, hides at the edge and slides
// into view (auto-hide), or floats. This is the window-system-free logic; the window and the
// desktop shell are reached through the two interfaces it is given, which must outlive it.
class TAppBar {
  public:
    TAppBar(TScreenEdgeShell& shell, TAppBarWindow& window);
    virtual ~TAppBar() = default;
    TAppBar(const TAppBar&) = delete;
    TAppBar& operator=(const TAppBar&) = delete;

    // Plain properties (a write is a store).
    TAppBarFlags Flags;
    bool AutoHide = false;
    bool AlwaysOnTop = true;
    bool SlideEffect = true;
    int32_t HorzSizeInc = 1;
    int32_t VertSizeInc = 1;
    int32_t VertDockSize = 32;
    int32_t HorzDockSize = 32;
    int32_t FloatLeft = 0;
    int32_t FloatTop = 0;
    int32_t FloatRight = 0;
    int32_t FloatBottom = 0;
    int32_t MinWidth = 0;
    int32_t MinHeight = 0;
    int32_t MaxWidth = 0;   // screen width at construction
    int32_t MaxHeight = 0;  // screen height at construction
    int32_t MinVertDockSize = 0;
    int32_t MinHorzDockSize = 0;
    int32_t MaxVertDockSize = 0;  // half the screen width at construction
    int32_t MaxHorzDockSize = 0;  // half the screen height at construction
    TAppBarTaskEntry TaskEntry = TAppBarTaskEntry::abtFloatDependent;
    // While true the bar does not slide out of view.
    bool Stick = false;

    // The current edge; during a drag, the edge the drag proposes.
    TAppBarEdge Edge() const;
    void SetEdge(TAppBarEdge edge);
    int32_t SlideTime() const { return slideTime_; }
    void SetSlideTime(int32_t ms);

    bool AutoHideShown() const { return autoHideShown_; }
    bool FullScreenAppOpen() const { return fullScreenAppOpen_; }

    // Window life: after the window exists, and before it goes.
    void Created();
    void Destroying();

    // Slides a docked, auto-hidden bar into view (true) or out of view (false).
    void ShowAutoHideBar(bool show);
    virtual void ReapplyEdge();

    // Each tick of the auto-hide timer.
    void AutoHideCheck();
    // A shell notification (a TShellNotification value; others are ignored) with its parameter.
    void ShellNotify(int32_t code, int32_t param);

    // Window events.
    void NonClientMouseMove();
    void ActivationChanged(bool active);
    void WindowPositionChanged();

    // Dragging and resizing by the user: EnterSizeMove at the start, Moving with each proposed
    // rectangle of a move (adjusted in place), Sizing with each of a resize, ExitSizeMove at
    // the end.
    void EnterSizeMove();
    void Moving(TPoint pointer, bool ctrlDown, TRect& proposed);
    void Sizing(TSizingSide side, TRect& proposed) const;
    void ExitSizeMove();
    TSizeLimits SizeLimits() const;

    // The geometry rules on their own.
    TAppBarEdge ProposedEdge(TPoint pointer, bool ctrlDown);
    // The strip at a docked edge; for abeFloat the given rectangle unchanged.
    TRect DockRect(TAppBarEdge edge, const TRect& rect);
    // Where a rectangle goes when the bar is shown (true) or hidden at its edge; unchanged unless
    // the bar is docked with auto-hide.
    TRect AutoHidePosition(const TRect& rect, bool shown);
    void SlideWindow(const TRect& target);

    static constexpr const char* kAutoHideRefusedText =
        USER_TEXT("Quobel",
                  "There is already an auto hidden window on this edge.\n\r"
                  "Only one auto hidden window is allowed on each edge.");

  protected:
    virtual void AutoHideRefused();
    virtual void FullScreenApp(bool open);
    virtual void PositionChanged();
    virtual void WindowArrange(bool starting);

    TScreenEdgeShell& shell_;
    TAppBarWindow& window_;

  private:
    bool AutoHideApplies() const;
    TRect FloatPlacement() const;

    TAppBarEdge edge_ = TAppBarEdge::abeFloat;
    TAppBarEdge dragEdge_ = TAppBarEdge::abeUnknown;
    int32_t slideTime_ = 400;
    bool fullScreenAppOpen_ = false;
    bool autoHideShown_ = false;
};

}  // namespace quobel
