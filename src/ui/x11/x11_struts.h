#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/screen_edge_shell.h"

namespace quobel {

// The twelve CARDINALs of _NET_WM_STRUT_PARTIAL, in the order the property holds them; the first
// four alone are _NET_WM_STRUT. Distances are measured from the root window's edges in device
// pixels; the ranges are inclusive.
struct TStrut {
    enum Index : size_t {
        Left,
        Right,
        Top,
        Bottom,
        LeftStartY,
        LeftEndY,
        RightStartY,
        RightEndY,
        TopStartX,
        TopEndX,
        BottomStartX,
        BottomEndX,
        Count
    };
    std::array<uint32_t, Count> Values{};

    bool IsEmpty() const;
    bool operator==(const TStrut&) const = default;

    // A strut read from a window: the partial one when it has all twelve values, else the
    // four-value one; anything shorter counts as none.
    static TStrut FromProperty(const std::vector<uint32_t>& partial,
                               const std::vector<uint32_t>& plain);
};

// The strut that reserves `rect` at `edge` of a root window of the given size. The reservation
// reaches from the root's edge to the far side of the strip, so a strip below another panel
// covers that panel's depth too. Floating, unknown edges and empty rectangles reserve nothing.
TStrut StrutForDock(TAppBarEdge edge, const TRect& rect, int32_t rootWidth, int32_t rootHeight);

// The work area as other windows leave it for this one. The desktop's work area includes this
// window's own reservation; on a side where that reservation is what limits the area, the
// deepest of the other windows' struts on that side takes its place, so a docked bar asking
// where it may go is not pushed away by itself.
TRect WorkAreaWithout(const TRect& workArea, const TStrut& own, const std::vector<TStrut>& others,
                      int32_t rootWidth, int32_t rootHeight);

// The work area of desktop `desktop` from _NET_WORKAREA (x, y, width, height per desktop);
// nothing when the property does not cover that desktop or holds an empty area.
std::optional<TRect> WorkAreaOfDesktop(const std::vector<uint32_t>& workAreas, uint32_t desktop);

// Between the toolkit's logical pixels and the X server's device pixels.
TRect ScaleRect(const TRect& rect, double factor);

}  // namespace quobel
