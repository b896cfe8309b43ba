// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window_activation.h"

#include <QGuiApplication>
#include <QWidget>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(qstrlen(name)), name), nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

// The time of the user's action that started the later start, which the desktop wrote into
// its start-up id ("..._TIME<n>"); 0 when it says none.
std::uint32_t startupTime(const QByteArray& id) {
    const qsizetype at = id.lastIndexOf("_TIME");
    return at < 0 ? 0 : id.mid(at + 5).toUInt();
}

// X11: the later start's start-up notification ends (its busy cursor goes), and the window
// asks to be activated with the time of the user's action that started it, which is what
// lets it past the window manager's focus-stealing prevention.
void activateOnX11(QWidget* window, const QByteArray& startupId) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto id = static_cast<xcb_window_t>(window->winId());

    QByteArray value = startupId;
    value.replace('\\', "\\\\").replace('"', "\\\"");
    const QByteArray message = "remove: ID=\"" + value + "\"" + '\0';
    const xcb_atom_t begin = atom(c, "_NET_STARTUP_INFO_BEGIN"), more = atom(c, "_NET_STARTUP_INFO");
    for (qsizetype offset = 0; offset < message.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = id;
        event.type = offset == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + offset, std::min<qsizetype>(20, message.size() - offset));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
    }

    xcb_client_message_event_t activate{};
    activate.response_type = XCB_CLIENT_MESSAGE;
    activate.format = 32;
    activate.window = id;
    activate.type = atom(c, "_NET_ACTIVE_WINDOW");
    activate.data.data32[0] = 1;  // asked by an application
    activate.data.data32[1] = startupTime(startupId);
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&activate));
    xcb_flush(c);
}

}  // namespace

void bringForward(QWidget* window, const QByteArray& activationToken) {
    // Wayland: Qt's plugin hands the token to the compositor when the window asks to be
    // activated.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (wayland && !activationToken.isEmpty()) qputenv("XDG_ACTIVATION_TOKEN", activationToken);
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !activationToken.isEmpty())
        activateOnX11(window, activationToken);
}
