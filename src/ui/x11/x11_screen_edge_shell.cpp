#include "ui/x11/x11_screen_edge_shell.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <memory>

namespace quobel {
namespace {

// _NET_WM_DESKTOP value for a window on every desktop.
constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
// _NET_WM_STATE client message action.
constexpr uint32_t kStateAdd = 1;
// Source indication of a client message: a normal application.
constexpr uint32_t kSourceApplication = 1;

TRect Clamped(const TRect& rect, const TRect& area) {
    return {std::max(rect.Left, area.Left), std::max(rect.Top, area.Top),
            std::min(rect.Right, area.Right), std::min(rect.Bottom, area.Bottom)};
}

// Holds the server for the duration of a read-then-write of the auto-hide registry, so two bars
// claiming the same edge at once cannot both win.
class ServerGrab {
  public:
    explicit ServerGrab(xcb_connection_t* connection) : connection_(connection) {
        xcb_grab_server(connection_);
    }
    ~ServerGrab() {
        xcb_ungrab_server(connection_);
        xcb_flush(connection_);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

  private:
    xcb_connection_t* connection_;
};

}  // namespace

bool TX11ScreenEdgeShell::DesktopSupportsStruts(xcb_connection_t* connection) {
    const TX11Atoms atoms = TX11Atoms::Intern(connection);
    const xcb_screen_t* const screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return false;
    }
    const std::vector<uint32_t> supported =
        ReadProperty32(connection, screen->root, atoms.NetSupported, XCB_ATOM_ATOM);
    return std::any_of(supported.begin(), supported.end(), [&atoms](uint32_t atom) {
        return atom == atoms.NetWmStrutPartial || atom == atoms.NetWmStrut;
    });
}

TX11ScreenEdgeShell::TX11ScreenEdgeShell(QWidget& window, xcb_connection_t* connection,
                                         std::function<void()> onWorkAreaChanged,
                                         std::function<void(bool)> onFullScreenApp)
    : window_(&window),
      connection_(connection),
      atoms_(TX11Atoms::Intern(connection)),
      xid_(static_cast<xcb_window_t>(window.winId())),
      onWorkAreaChanged_(std::move(onWorkAreaChanged)),
      onFullScreenApp_(std::move(onFullScreenApp)) {
    root_ = RootOf(connection_, xid_);
    // Work-area changes arrive as property changes of the root window; keep whatever else this
    // client already listens to there.
    const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
        xcb_get_window_attributes_reply(connection_, xcb_get_window_attributes(connection_, root_),
                                        nullptr),
        &std::free);
    const uint32_t mask = (attributes ? attributes->your_event_mask : 0) |
                          static_cast<uint32_t>(XCB_EVENT_MASK_PROPERTY_CHANGE);
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    MarkAsDock(window.testAttribute(Qt::WA_Mapped));
    lastWorkArea_ = CurrentWorkArea();
    if (onFullScreenApp_) {
        ActiveWindowMayHaveChanged();
    }
    window.installEventFilter(this);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

TX11ScreenEdgeShell::~TX11ScreenEdgeShell() {
    // The connection belongs to the application object; once that is gone, so is the connection,
    // and the server has dropped this client's windows and their struts with it.
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    QCoreApplication::instance()->removeNativeEventFilter(this);
    if (registered_) {
        Remove();
    }
    if (window_ != nullptr) {
        window_->removeEventFilter(this);
    }
}

void TX11ScreenEdgeShell::MarkAsDock(bool askWindowManager) {
    if (xid_ == kNoWindow) {
        return;
    }
    WriteProperty32(connection_, xid_, atoms_.NetWmWindowType, XCB_ATOM_ATOM,
                    {atoms_.NetWmWindowTypeDock});
    WriteProperty32(connection_, xid_, atoms_.NetWmDesktop, XCB_ATOM_CARDINAL, {kAllDesktops});
    std::vector<uint32_t> states =
        ReadProperty32(connection_, xid_, atoms_.NetWmState, XCB_ATOM_ATOM);
    if (std::find(states.begin(), states.end(), atoms_.NetWmStateSticky) == states.end()) {
        states.push_back(atoms_.NetWmStateSticky);
        WriteProperty32(connection_, xid_, atoms_.NetWmState, XCB_ATOM_ATOM, states);
    }
    if (askWindowManager) {
        // A mapped window's desktop and state belong to the window manager, which ignores
        // changes of the properties themselves.
        SendRootMessage(connection_, root_, xid_, atoms_.NetWmDesktop,
                        {kAllDesktops, kSourceApplication, 0, 0, 0});
        SendRootMessage(connection_, root_, xid_, atoms_.NetWmState,
                        {kStateAdd, atoms_.NetWmStateSticky, 0, kSourceApplication, 0});
    }
    xcb_flush(connection_);
}

xcb_window_t TX11ScreenEdgeShell::NativeWindow() const {
    const QWindow* const handle = window_ != nullptr ? window_->windowHandle() : nullptr;
    return handle != nullptr && handle->handle() != nullptr
               ? static_cast<xcb_window_t>(handle->winId())
               : kNoWindow;
}

void TX11ScreenEdgeShell::FollowNativeWindow() {
    const xcb_window_t current = NativeWindow();
    if (current == kNoWindow || current == xid_) {
        return;
    }
    // The toolkit replaced the window (it does so on some flag changes): the old one took its
    // strut and markings with it, and its id in the auto-hide registry now reads as free.
    const xcb_window_t old = xid_;
    xid_ = current;
    MarkAsDock(true);
    const TStrut strut = strut_;
    strut_ = {};
    WriteStrut(strut);
    for (const xcb_atom_t atom : atoms_.AutoHide) {
        const ServerGrab grab(connection_);
        const std::vector<uint32_t> owner =
            ReadProperty32(connection_, root_, atom, XCB_ATOM_WINDOW);
        if (!owner.empty() && owner[0] == old) {
            WriteProperty32(connection_, root_, atom, XCB_ATOM_WINDOW, {xid_});
        }
    }
}

bool TX11ScreenEdgeShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) {
        return false;
    }
    if (event->type() == QEvent::Show) {
        // Delivered before the window is mapped; a window manager drops a withdrawn window's
        // state, and the toolkit may have rewritten the type since.
        FollowNativeWindow();
        MarkAsDock(false);
        // The toolkit may still replace the window while showing it.
        PostOnce(followPosted_, &TX11ScreenEdgeShell::FollowNativeWindow);
    } else if (event->type() == QEvent::WinIdChange) {
        PostOnce(followPosted_, &TX11ScreenEdgeShell::FollowNativeWindow);
    }
    return false;
}

bool TX11ScreenEdgeShell::nativeEventFilter(const QByteArray& eventType, void* message,
                                            qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* const event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7F;
    if (type == XCB_MAP_NOTIFY) {
        const auto* const map = static_cast<const xcb_map_notify_event_t*>(message);
        if (map->window != xid_ && map->window == NativeWindow()) {
            PostOnce(followPosted_, &TX11ScreenEdgeShell::FollowNativeWindow);
        }
        return false;
    }
    if (type != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    // Answered from the event loop: the bar re-docks in reply, and that must not run inside the
    // toolkit's event dispatch.
    const auto* const notify = static_cast<const xcb_property_notify_event_t*>(message);
    if (notify->window == root_) {
        if (notify->atom == atoms_.NetWorkarea || notify->atom == atoms_.NetCurrentDesktop) {
            PostOnce(workAreaCheckPosted_, &TX11ScreenEdgeShell::WorkAreaMayHaveChanged);
        } else if (notify->atom == atoms_.NetActiveWindow && onFullScreenApp_) {
            PostOnce(activeCheckPosted_, &TX11ScreenEdgeShell::ActiveWindowMayHaveChanged);
        }
    } else if (notify->window == activeWindow_ && notify->atom == atoms_.NetWmState &&
               onFullScreenApp_) {
        PostOnce(activeCheckPosted_, &TX11ScreenEdgeShell::ActiveWindowMayHaveChanged);
    } else if (notify->window == xid_ && notify->atom == atoms_.NetWmWindowType &&
               notify->state == XCB_PROPERTY_NEW_VALUE) {
        // The toolkit rewrites the type from the window flags whenever they change.
        const std::vector<uint32_t> type =
            ReadProperty32(connection_, xid_, atoms_.NetWmWindowType, XCB_ATOM_ATOM);
        if (type.size() != 1 || type[0] != atoms_.NetWmWindowTypeDock) {
            WriteProperty32(connection_, xid_, atoms_.NetWmWindowType, XCB_ATOM_ATOM,
                            {atoms_.NetWmWindowTypeDock});
            xcb_flush(connection_);
        }
    }
    return false;
}

void TX11ScreenEdgeShell::PostOnce(bool& pending, void (TX11ScreenEdgeShell::*check)()) {
    if (pending) {
        return;
    }
    pending = true;
    QMetaObject::invokeMethod(
        this,
        [this, &pending, check] {
            pending = false;
            (this->*check)();
        },
        Qt::QueuedConnection);
}

bool TX11ScreenEdgeShell::IsOwnWindow(xcb_window_t window) const {
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.begin(), windows.end(), [window](const QWindow* w) {
        return w->handle() != nullptr && static_cast<xcb_window_t>(w->winId()) == window;
    });
}

void TX11ScreenEdgeShell::ActiveWindowMayHaveChanged() {
    const std::vector<uint32_t> active =
        ReadProperty32(connection_, root_, atoms_.NetActiveWindow, XCB_ATOM_WINDOW);
    const xcb_window_t window = active.empty() ? kNoWindow : active[0];
    if (window != activeWindow_) {
        activeWindow_ = window;
        // Another program's window: listen to its state. This program's own windows are
        // listened to by the toolkit already, and changing their event mask would cut it off.
        if (window != kNoWindow && !IsOwnWindow(window)) {
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            const xcb_void_cookie_t cookie =
                xcb_change_window_attributes_checked(connection_, window, XCB_CW_EVENT_MASK, &mask);
            xcb_discard_reply(connection_, cookie.sequence);
            xcb_flush(connection_);
        }
    }
    bool fullScreen = false;
    if (window != kNoWindow && window != xid_) {
        const std::vector<uint32_t> states =
            ReadProperty32(connection_, window, atoms_.NetWmState, XCB_ATOM_ATOM);
        fullScreen =
            std::find(states.begin(), states.end(), atoms_.NetWmStateFullscreen) != states.end();
    }
    if (fullScreen != fullScreen_) {
        fullScreen_ = fullScreen;
        if (registered_ && onFullScreenApp_) {
            onFullScreenApp_(fullScreen);
        }
    }
}

void TX11ScreenEdgeShell::WorkAreaMayHaveChanged() {
    const std::optional<TRect> area = CurrentWorkArea();
    // Window managers rewrite the property on every strut update, changed or not; only a real
    // change is news, or a bar that re-docks in reply would never come to rest.
    if (area == lastWorkArea_) {
        return;
    }
    lastWorkArea_ = area;
    if (registered_ && onWorkAreaChanged_) {
        onWorkAreaChanged_();
    }
}

double TX11ScreenEdgeShell::Scale() const {
    return window_ != nullptr ? window_->devicePixelRatioF() : 1.0;
}

xcb_atom_t TX11ScreenEdgeShell::AutoHideAtom(TAppBarEdge edge) const {
    return atoms_.AutoHide[static_cast<size_t>(edge)];
}

std::optional<TRect> TX11ScreenEdgeShell::CurrentWorkArea() {
    const std::vector<uint32_t> desktop =
        ReadProperty32(connection_, root_, atoms_.NetCurrentDesktop, XCB_ATOM_CARDINAL);
    return WorkAreaOfDesktop(
        ReadProperty32(connection_, root_, atoms_.NetWorkarea, XCB_ATOM_CARDINAL),
        desktop.empty() ? 0 : desktop[0]);
}

TRect TX11ScreenEdgeShell::RootRect() {
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root_), nullptr),
        &std::free);
    if (!geometry) {
        return {};
    }
    return {0, 0, geometry->width, geometry->height};
}

TRect TX11ScreenEdgeShell::WorkAreaForThisBar() {
    const TRect root = RootRect();
    const TRect area = CurrentWorkArea().value_or(root);
    if (strut_.IsEmpty()) {
        return area;
    }
    std::vector<xcb_window_t> clients;
    for (const uint32_t client :
         ReadProperty32(connection_, root_, atoms_.NetClientList, XCB_ATOM_WINDOW)) {
        if (client != xid_) {
            clients.push_back(client);
        }
    }
    const auto partial =
        ReadProperty32OfEach(connection_, clients, atoms_.NetWmStrutPartial, XCB_ATOM_CARDINAL);
    const auto plain =
        ReadProperty32OfEach(connection_, clients, atoms_.NetWmStrut, XCB_ATOM_CARDINAL);
    std::vector<TStrut> others;
    for (size_t i = 0; i < clients.size(); ++i) {
        others.push_back(TStrut::FromProperty(partial[i], plain[i]));
    }
    return WorkAreaWithout(area, strut_, others, root.Width(), root.Height());
}

void TX11ScreenEdgeShell::WriteStrut(const TStrut& strut) {
    // Rewriting an unchanged strut would make the window manager announce a work-area update.
    if (strut == strut_) {
        return;
    }
    strut_ = strut;
    if (xid_ == kNoWindow) {
        return;
    }
    if (strut.IsEmpty()) {
        DeleteProperty(connection_, xid_, atoms_.NetWmStrutPartial);
        DeleteProperty(connection_, xid_, atoms_.NetWmStrut);
    } else {
        const std::vector<uint32_t> values(strut.Values.begin(), strut.Values.end());
        WriteProperty32(connection_, xid_, atoms_.NetWmStrutPartial, XCB_ATOM_CARDINAL, values);
        WriteProperty32(connection_, xid_, atoms_.NetWmStrut, XCB_ATOM_CARDINAL,
                        {values.begin(), values.begin() + 4});
    }
    xcb_flush(connection_);
}

void TX11ScreenEdgeShell::New() {
    registered_ = true;
    lastWorkArea_ = CurrentWorkArea();
}

void TX11ScreenEdgeShell::Remove() {
    registered_ = false;
    WriteStrut({});
    for (const TAppBarEdge edge : {TAppBarEdge::abeLeft, TAppBarEdge::abeTop, TAppBarEdge::abeRight,
                                   TAppBarEdge::abeBottom}) {
        SetAutoHideBar(edge, false);
    }
}

void TX11ScreenEdgeShell::QueryPos(TAppBarEdge /*edge*/, TRect& rect) {
    rect = Clamped(rect, ScaleRect(WorkAreaForThisBar(), 1.0 / Scale()));
}

void TX11ScreenEdgeShell::SetPos(TAppBarEdge edge, TRect& rect) {
    if (!IsDockedEdge(edge) || rect.Width() <= 0 || rect.Height() <= 0) {
        WriteStrut({});
        return;
    }
    QueryPos(edge, rect);
    const TRect root = RootRect();
    WriteStrut(StrutForDock(edge, ScaleRect(rect, Scale()), root.Width(), root.Height()));
}

void TX11ScreenEdgeShell::Activate() {
    // Docks live in their own stacking layer, which the window manager keeps in order.
}

void TX11ScreenEdgeShell::WindowPosChanged() {
    // The reservation follows the struts, not the window's position; nothing to tell.
}

bool TX11ScreenEdgeShell::IsAutoHideBar(TAppBarEdge edge) {
    if (!IsDockedEdge(edge) || xid_ == kNoWindow) {
        return false;
    }
    const std::vector<uint32_t> owner =
        ReadProperty32(connection_, root_, AutoHideAtom(edge), XCB_ATOM_WINDOW);
    return !owner.empty() && owner[0] == xid_;
}

bool TX11ScreenEdgeShell::SetAutoHideBar(TAppBarEdge edge, bool doRegister) {
    if (!IsDockedEdge(edge) || xid_ == kNoWindow) {
        return false;
    }
    const xcb_atom_t atom = AutoHideAtom(edge);
    const ServerGrab grab(connection_);
    const std::vector<uint32_t> stored = ReadProperty32(connection_, root_, atom, XCB_ATOM_WINDOW);
    const xcb_window_t owner = stored.empty() ? kNoWindow : stored[0];
    if (!doRegister) {
        if (owner == xid_) {
            DeleteProperty(connection_, root_, atom);
        }
        return true;
    }
    // The id of a window that no longer exists is left behind by a bar that died.
    if (owner != kNoWindow && owner != xid_ && WindowExists(connection_, owner)) {
        return false;
    }
    WriteProperty32(connection_, root_, atom, XCB_ATOM_WINDOW, {xid_});
    return true;
}

}  // namespace quobel
