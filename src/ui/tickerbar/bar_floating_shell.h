#pragma once

#include "platform/screen_edge_shell.h"

namespace quobel {

// The shell of a desktop that has none for screen-edge bars: nothing is reserved and no edge can
// be owned, so a bar over it only floats.
class TFloatingShell : public TScreenEdgeShell {
  public:
    void New() override {}
    void Remove() override {}
    void QueryPos(TAppBarEdge, TRect&) override {}
    void SetPos(TAppBarEdge, TRect&) override {}
    void Activate() override {}
    bool IsAutoHideBar(TAppBarEdge) override { return false; }
    bool SetAutoHideBar(TAppBarEdge, bool doRegister) override { return !doRegister; }
    void WindowPosChanged() override {}
};

}  // namespace quobel
