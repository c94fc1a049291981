#include "ui/x11/x11_struts.h"

#include <algorithm>
#include <cmath>

namespace quobel {
namespace {

uint32_t Depth(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

// Last pixel of an exclusive end, never before the first one.
uint32_t LastPixel(int32_t start, int32_t end) {
    return Depth(std::max<int64_t>(int64_t{end} - 1, start));
}

}  // namespace

bool TStrut::IsEmpty() const {
    return Values[Left] == 0 && Values[Right] == 0 && Values[Top] == 0 && Values[Bottom] == 0;
}

TStrut TStrut::FromProperty(const std::vector<uint32_t>& partial,
                            const std::vector<uint32_t>& plain) {
    TStrut strut;
    if (partial.size() >= Count) {
        std::copy_n(partial.begin(), Count, strut.Values.begin());
    } else if (plain.size() >= 4) {
        std::copy_n(plain.begin(), 4, strut.Values.begin());
    }
    return strut;
}

TStrut StrutForDock(TAppBarEdge edge, const TRect& rect, int32_t rootWidth, int32_t rootHeight) {
    TStrut strut;
    if (!IsDockedEdge(edge) || rect.Width() <= 0 || rect.Height() <= 0) {
        return strut;
    }
    auto& v = strut.Values;
    switch (edge) {
        case TAppBarEdge::abeLeft:
            v[TStrut::Left] = Depth(rect.Right);
            v[TStrut::LeftStartY] = Depth(rect.Top);
            v[TStrut::LeftEndY] = LastPixel(rect.Top, rect.Bottom);
            break;
        case TAppBarEdge::abeTop:
            v[TStrut::Top] = Depth(rect.Bottom);
            v[TStrut::TopStartX] = Depth(rect.Left);
            v[TStrut::TopEndX] = LastPixel(rect.Left, rect.Right);
            break;
        case TAppBarEdge::abeRight:
            v[TStrut::Right] = Depth(int64_t{rootWidth} - rect.Left);
            v[TStrut::RightStartY] = Depth(rect.Top);
            v[TStrut::RightEndY] = LastPixel(rect.Top, rect.Bottom);
            break;
        default:
            v[TStrut::Bottom] = Depth(int64_t{rootHeight} - rect.Top);
            v[TStrut::BottomStartX] = Depth(rect.Left);
            v[TStrut::BottomEndX] = LastPixel(rect.Left, rect.Right);
            break;
    }
    return strut;
}

TRect WorkAreaWithout(const TRect& workArea, const TStrut& own, const std::vector<TStrut>& others,
                      int32_t rootWidth, int32_t rootHeight) {
    const auto deepest = [&others](TStrut::Index side) {
        uint32_t depth = 0;
        for (const TStrut& strut : others) {
            depth = std::max(depth, strut.Values[side]);
        }
        return static_cast<int64_t>(depth);
    };
    const auto& v = own.Values;
    TRect area = workArea;
    if (v[TStrut::Left] != 0 && workArea.Left == int64_t{v[TStrut::Left]}) {
        area.Left = static_cast<int32_t>(deepest(TStrut::Left));
    }
    if (v[TStrut::Top] != 0 && workArea.Top == int64_t{v[TStrut::Top]}) {
        area.Top = static_cast<int32_t>(deepest(TStrut::Top));
    }
    if (v[TStrut::Right] != 0 && workArea.Right == int64_t{rootWidth} - v[TStrut::Right]) {
        area.Right = static_cast<int32_t>(int64_t{rootWidth} - deepest(TStrut::Right));
    }
    if (v[TStrut::Bottom] != 0 && workArea.Bottom == int64_t{rootHeight} - v[TStrut::Bottom]) {
        area.Bottom = static_cast<int32_t>(int64_t{rootHeight} - deepest(TStrut::Bottom));
    }
    return area;
}

std::optional<TRect> WorkAreaOfDesktop(const std::vector<uint32_t>& workAreas, uint32_t desktop) {
    const size_t first = size_t{desktop} * 4;
    if (desktop >= workAreas.size() / 4) {
        return std::nullopt;
    }
    const int64_t left = workAreas[first];
    const int64_t top = workAreas[first + 1];
    const int64_t width = workAreas[first + 2];
    const int64_t height = workAreas[first + 3];
    if (width == 0 || height == 0 || left + width > INT32_MAX || top + height > INT32_MAX) {
        return std::nullopt;
    }
    return TRect{static_cast<int32_t>(left), static_cast<int32_t>(top),
                 static_cast<int32_t>(left + width), static_cast<int32_t>(top + height)};
}

TRect ScaleRect(const TRect& rect, double factor) {
    const auto scaled = [factor](int32_t value) {
        return static_cast<int32_t>(std::lround(value * factor));
    };
    return {scaled(rect.Left), scaled(rect.Top), scaled(rect.Right), scaled(rect.Bottom)};
}

}  // namespace quobel
