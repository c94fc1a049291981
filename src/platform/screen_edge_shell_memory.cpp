#include "platform/screen_edge_shell_memory.h"

#include <algorithm>

namespace quobel {
namespace {

size_t EdgeIndex(TAppBarEdge edge) {
    return static_cast<size_t>(edge);
}

std::string EdgeText(TAppBarEdge edge) {
    return std::to_string(static_cast<int32_t>(edge));
}

}  // namespace

std::string RectText(const TRect& rect) {
    return std::to_string(rect.Left) + "," + std::to_string(rect.Top) + "," +
           std::to_string(rect.Right) + "," + std::to_string(rect.Bottom);
}

TScreenEdgeShellMemory::TScreenEdgeShellMemory(int32_t screenWidth, int32_t screenHeight)
    : DesktopArea{0, 0, screenWidth, screenHeight} {
    ScreenMetrics.ScreenWidth = screenWidth;
    ScreenMetrics.ScreenHeight = screenHeight;
}

void TScreenEdgeShellMemory::New() {
    Calls.push_back("New");
    Registered = true;
}

void TScreenEdgeShellMemory::Remove() {
    Calls.push_back("Remove");
    Registered = false;
    ReservedEdge = TAppBarEdge::abeUnknown;
    Reserved = {};
}

void TScreenEdgeShellMemory::QueryPos(TAppBarEdge edge, TRect& rect) {
    Calls.push_back("QueryPos " + EdgeText(edge));
    rect.Left = std::max(rect.Left, DesktopArea.Left);
    rect.Top = std::max(rect.Top, DesktopArea.Top);
    rect.Right = std::min(rect.Right, DesktopArea.Right);
    rect.Bottom = std::min(rect.Bottom, DesktopArea.Bottom);
}

void TScreenEdgeShellMemory::SetPos(TAppBarEdge edge, TRect& rect) {
    Calls.push_back("SetPos " + EdgeText(edge) + " " + RectText(rect));
    if (!IsDockedEdge(edge) || rect.Width() <= 0 || rect.Height() <= 0) {
        ReservedEdge = TAppBarEdge::abeUnknown;
        Reserved = {};
        return;
    }
    rect.Left = std::max(rect.Left, DesktopArea.Left);
    rect.Top = std::max(rect.Top, DesktopArea.Top);
    rect.Right = std::min(rect.Right, DesktopArea.Right);
    rect.Bottom = std::min(rect.Bottom, DesktopArea.Bottom);
    ReservedEdge = edge;
    Reserved = rect;
}

void TScreenEdgeShellMemory::Activate() {
    Calls.push_back("Activate");
}

bool TScreenEdgeShellMemory::IsAutoHideBar(TAppBarEdge edge) {
    Calls.push_back("GetAutoHideBar " + EdgeText(edge));
    return IsDockedEdge(edge) && AutoHideOwners[EdgeIndex(edge)] == TOwner::This;
}

bool TScreenEdgeShellMemory::SetAutoHideBar(TAppBarEdge edge, bool doRegister) {
    Calls.push_back("SetAutoHideBar " + EdgeText(edge) + (doRegister ? " 1" : " 0"));
    if (!IsDockedEdge(edge)) {
        return false;
    }
    TOwner& owner = AutoHideOwners[EdgeIndex(edge)];
    if (doRegister) {
        if (owner == TOwner::Other) {
            return false;
        }
        owner = TOwner::This;
        return true;
    }
    if (owner == TOwner::This) {
        owner = TOwner::None;
    }
    return true;
}

void TScreenEdgeShellMemory::WindowPosChanged() {
    Calls.push_back("WindowPosChanged");
}

TRect TScreenEdgeShellMemory::WorkArea() {
    TRect area = DesktopArea;
    switch (ReservedEdge) {
        case TAppBarEdge::abeLeft:
            area.Left = std::max(area.Left, Reserved.Right);
            break;
        case TAppBarEdge::abeTop:
            area.Top = std::max(area.Top, Reserved.Bottom);
            break;
        case TAppBarEdge::abeRight:
            area.Right = std::min(area.Right, Reserved.Left);
            break;
        case TAppBarEdge::abeBottom:
            area.Bottom = std::min(area.Bottom, Reserved.Top);
            break;
        default:
            break;
    }
    return area;
}

void TScreenEdgeShellMemory::PlaceWindow(const TRect& rect) {
    Window = rect;
    Placements.push_back(rect);
}

int64_t TScreenEdgeShellMemory::TickCount() {
    const int64_t now = Now;
    Now += TickStep;
    return now;
}

}  // namespace quobel
