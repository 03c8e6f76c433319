#include "platform/linux/x11_activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace quelvex {
namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

void sendToRoot(xcb_connection_t* c, xcb_window_t root, const xcb_client_message_event_t& event) {
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

// The startup-notification message, in 20-byte pieces: the first of type _BEGIN, the rest
// without, the last one holding the terminating NUL.
void endStartup(xcb_connection_t* c, xcb_window_t root, xcb_window_t from, const QByteArray& id) {
    QByteArray quoted = id;
    quoted.replace('\\', "\\\\").replace('"', "\\\"");
    const QByteArray message = "remove: ID=\"" + quoted + "\"";
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN"), more = atom(c, "_NET_STARTUP_INFO");
    for (qsizetype at = 0; at <= message.size(); at += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = from;
        event.type = at == 0 ? begin : more;
        const qsizetype n = std::min<qsizetype>(20, message.size() - at);
        if (n > 0) std::memcpy(event.data.data8, message.constData() + at, static_cast<std::size_t>(n));
        sendToRoot(c, root, event);
    }
}

} // namespace

void activateForStartup(QWidget& window, const QByteArray& startupId) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr || startupId.isEmpty()) return;
    xcb_connection_t* c = x11->connection();
    const auto wid = static_cast<xcb_window_t>(window.winId());
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, wid), nullptr);
    if (geometry == nullptr) return;
    const xcb_window_t root = geometry->root;
    std::free(geometry);

    const qsizetype time = startupId.lastIndexOf("_TIME");
    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = wid;
    activate.type = atom(c, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 1; // from an application
    activate.data.data32[1] = time >= 0 ? startupId.mid(time + 5).toUInt() : XCB_CURRENT_TIME;
    sendToRoot(c, root, activate);
    endStartup(c, root, wid, startupId);
    xcb_flush(c);
}

} // namespace quelvex
