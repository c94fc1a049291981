#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <vector>

namespace quobel {

constexpr xcb_window_t kNoWindow = XCB_WINDOW_NONE;

// The atoms of the desktop conventions (EWMH) the bar uses, and the root-window properties that
// record which window is the auto-hidden bar of each edge (left, top, right, bottom).
struct TX11Atoms {
    xcb_atom_t NetSupported = XCB_ATOM_NONE;
    xcb_atom_t NetWmWindowType = XCB_ATOM_NONE;
    xcb_atom_t NetWmWindowTypeDock = XCB_ATOM_NONE;
    xcb_atom_t NetWmStrut = XCB_ATOM_NONE;
    xcb_atom_t NetWmStrutPartial = XCB_ATOM_NONE;
    xcb_atom_t NetWmDesktop = XCB_ATOM_NONE;
    xcb_atom_t NetWmState = XCB_ATOM_NONE;
    xcb_atom_t NetWmStateSticky = XCB_ATOM_NONE;
    xcb_atom_t NetWmStateAbove = XCB_ATOM_NONE;
    xcb_atom_t NetWmStateBelow = XCB_ATOM_NONE;
    xcb_atom_t NetWmStateFullscreen = XCB_ATOM_NONE;
    xcb_atom_t NetWorkarea = XCB_ATOM_NONE;
    xcb_atom_t NetCurrentDesktop = XCB_ATOM_NONE;
    xcb_atom_t NetClientList = XCB_ATOM_NONE;
    xcb_atom_t NetActiveWindow = XCB_ATOM_NONE;
    std::array<xcb_atom_t, 4> AutoHide{};

    // One round trip for all of them.
    static TX11Atoms Intern(xcb_connection_t* connection);
};

// Property access on one connection. Reads give the 32-bit values of a property of the given
// type, or nothing when it is missing or of another type or format. Writes and deletions do not
// report errors: a window that is already gone has nothing left to update.
std::vector<uint32_t> ReadProperty32(xcb_connection_t* connection, xcb_window_t window,
                                     xcb_atom_t property, xcb_atom_t type);
// The same property of many windows, in one round trip.
std::vector<std::vector<uint32_t>> ReadProperty32OfEach(xcb_connection_t* connection,
                                                        const std::vector<xcb_window_t>& windows,
                                                        xcb_atom_t property, xcb_atom_t type);
void WriteProperty32(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                     xcb_atom_t type, const std::vector<uint32_t>& values);
void DeleteProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property);
// Whether a window of that id exists on the server right now.
bool WindowExists(xcb_connection_t* connection, xcb_window_t window);
// The root window of the screen a window is on; XCB_WINDOW_NONE when the window is gone.
xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window);
// A client message to the root window, the way EWMH asks clients to change a mapped window's
// state or desktop.
void SendRootMessage(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                     xcb_atom_t type, const std::array<uint32_t, 5>& data);

}  // namespace quobel
