#include "qt/desktop_hints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include <xcb/xcb.h>

#include "linux/x11/xcb_handles.h"

namespace quellgate::qt {
namespace {

xcb_connection_t* X11Connection() {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, std::string_view name) {
    const x11::Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    const x11::Reply<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

void SkipTaskBar(xcb_connection_t* connection, xcb_window_t window) {
    const xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
    const std::array wanted = {Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                               Atom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    // Qt writes its own states into the property when it maps the window,
    // keeping those it finds there.
    std::vector<xcb_atom_t> atoms;
    const x11::Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
        atoms.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const xcb_atom_t atom : wanted)
        if (atom != XCB_ATOM_NONE && std::find(atoms.begin(), atoms.end(), atom) == atoms.end())
            atoms.push_back(atom);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(atoms.size()), atoms.data());
    xcb_flush(connection);
}

}  // namespace

bool OffTaskBar::eventFilter(QObject* watched, QEvent* event) {
    // Sent before the window maps; popups and tooltips are never managed.
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    auto& widget = static_cast<QWidget&>(*watched);
    const Qt::WindowType type = widget.windowType();
    if (!widget.isWindow() || type == Qt::Popup || type == Qt::ToolTip) return false;
    if (xcb_connection_t* connection = X11Connection())
        SkipTaskBar(connection, static_cast<xcb_window_t>(widget.winId()));
    return false;
}

void BringToFront(QWidget& window) {
    window.raise();
    window.activateWindow();
    xcb_connection_t* connection = X11Connection();
    if (!connection || !window.isVisible()) return;
    // Qt asks as an application, which a window manager guarding against
    // focus stealing may turn down; a request from a pager (source 2) is the
    // user's own.
    const auto id = static_cast<xcb_window_t>(window.winId());
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = Atom(connection, "_NET_ACTIVE_WINDOW");
    message.data.data32[0] = 2;
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, RootOf(connection, id),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

}  // namespace quellgate::qt
