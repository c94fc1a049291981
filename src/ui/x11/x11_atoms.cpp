#include "ui/x11/x11_atoms.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace quobel {
namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// Longest property read, in 32-bit units: far above any client list or work-area table.
constexpr uint32_t kMaxPropertyLength = 1u << 16;

std::vector<uint32_t> Values32(xcb_connection_t* connection, xcb_get_property_cookie_t cookie,
                               xcb_atom_t type) {
    xcb_generic_error_t* error = nullptr;
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection, cookie, &error));
    std::free(error);
    if (!reply || reply->type != type || reply->format != 32) {
        return {};
    }
    const auto count = static_cast<size_t>(xcb_get_property_value_length(reply.get())) / 4;
    std::vector<uint32_t> values(count);
    if (count > 0) {
        std::memcpy(values.data(), xcb_get_property_value(reply.get()), count * 4);
    }
    return values;
}

}  // namespace

TX11Atoms TX11Atoms::Intern(xcb_connection_t* connection) {
    TX11Atoms atoms;
    const std::pair<xcb_atom_t*, std::string_view> names[] = {
        {&atoms.NetSupported, "_NET_SUPPORTED"},
        {&atoms.NetWmWindowType, "_NET_WM_WINDOW_TYPE"},
        {&atoms.NetWmWindowTypeDock, "_NET_WM_WINDOW_TYPE_DOCK"},
        {&atoms.NetWmStrut, "_NET_WM_STRUT"},
        {&atoms.NetWmStrutPartial, "_NET_WM_STRUT_PARTIAL"},
        {&atoms.NetWmDesktop, "_NET_WM_DESKTOP"},
        {&atoms.NetWmState, "_NET_WM_STATE"},
        {&atoms.NetWmStateSticky, "_NET_WM_STATE_STICKY"},
        {&atoms.NetWmStateAbove, "_NET_WM_STATE_ABOVE"},
        {&atoms.NetWmStateBelow, "_NET_WM_STATE_BELOW"},
        {&atoms.NetWmStateFullscreen, "_NET_WM_STATE_FULLSCREEN"},
        {&atoms.NetWorkarea, "_NET_WORKAREA"},
        {&atoms.NetCurrentDesktop, "_NET_CURRENT_DESKTOP"},
        {&atoms.NetClientList, "_NET_CLIENT_LIST"},
        {&atoms.NetActiveWindow, "_NET_ACTIVE_WINDOW"},
        {&atoms.AutoHide[0], "_QUOBEL_AUTOHIDE_LEFT"},
        {&atoms.AutoHide[1], "_QUOBEL_AUTOHIDE_TOP"},
        {&atoms.AutoHide[2], "_QUOBEL_AUTOHIDE_RIGHT"},
        {&atoms.AutoHide[3], "_QUOBEL_AUTOHIDE_BOTTOM"},
    };
    std::vector<xcb_intern_atom_cookie_t> cookies;
    cookies.reserve(std::size(names));
    for (const auto& [atom, name] : names) {
        cookies.push_back(
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()));
    }
    for (size_t i = 0; i < cookies.size(); ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        *names[i].first = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    return atoms;
}

std::vector<uint32_t> ReadProperty32(xcb_connection_t* connection, xcb_window_t window,
                                     xcb_atom_t property, xcb_atom_t type) {
    return Values32(connection,
                    xcb_get_property(connection, 0, window, property, type, 0, kMaxPropertyLength),
                    type);
}

std::vector<std::vector<uint32_t>> ReadProperty32OfEach(xcb_connection_t* connection,
                                                        const std::vector<xcb_window_t>& windows,
                                                        xcb_atom_t property, xcb_atom_t type) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        cookies.push_back(
            xcb_get_property(connection, 0, window, property, type, 0, kMaxPropertyLength));
    }
    std::vector<std::vector<uint32_t>> values;
    values.reserve(windows.size());
    for (const xcb_get_property_cookie_t cookie : cookies) {
        values.push_back(Values32(connection, cookie, type));
    }
    return values;
}

void WriteProperty32(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                     xcb_atom_t type, const std::vector<uint32_t>& values) {
    const xcb_void_cookie_t cookie =
        xcb_change_property_checked(connection, XCB_PROP_MODE_REPLACE, window, property, type, 32,
                                    static_cast<uint32_t>(values.size()), values.data());
    xcb_discard_reply(connection, cookie.sequence);
}

void DeleteProperty(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property) {
    const xcb_void_cookie_t cookie = xcb_delete_property_checked(connection, window, property);
    xcb_discard_reply(connection, cookie.sequence);
}

bool WindowExists(xcb_connection_t* connection, xcb_window_t window) {
    if (window == kNoWindow) {
        return false;
    }
    xcb_generic_error_t* error = nullptr;
    const XcbReply<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), &error));
    std::free(error);
    return reply != nullptr;
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    xcb_generic_error_t* error = nullptr;
    const XcbReply<xcb_query_tree_reply_t> reply(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, window), &error));
    std::free(error);
    return reply ? reply->root : kNoWindow;
}

void SendRootMessage(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                     xcb_atom_t type, const std::array<uint32_t, 5>& data) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

}  // namespace quobel
