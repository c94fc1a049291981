#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "platform/screen_edge_shell.h"

namespace quobel {

// The desktop's side of the bar window on this machine. On X11 with a window manager that follows
// EWMH the bar docks by struts and the work area; elsewhere there is no shell and the bar floats.
//
// Create it before the window is first shown: the X11 shell marks the window as a dock, which a
// window manager reads when the window is mapped. `onWorkAreaChanged` runs on the UI thread each
// time the desktop's work area changes (another panel came or went, a bar reserved a strip).
std::unique_ptr<TScreenEdgeShell> CreateScreenEdgeShell(QWidget& barWindow,
                                                        std::function<void()> onWorkAreaChanged);

// As CreateScreenEdgeShell; `onFullScreenApp` also runs on the UI thread when the active window
// (any but the bar) goes full screen (true) or leaves full screen or loses activation (false),
// which a docked bar answers with the FullScreenApp notification.
std::unique_ptr<TScreenEdgeShell> CreateScreenEdgeShellWithFullScreen(
    QWidget& barWindow, std::function<void()> onWorkAreaChanged,
    std::function<void(bool)> onFullScreenApp);

// The desktop minus panels and docked bars, in screen coordinates.
TRect DesktopWorkArea();

}  // namespace quobel
