#include "platform/linux/desktop_session.h"

#include <cstdlib>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace quelvex {
namespace {

std::string_view env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool waylandAnswers() {
    const std::string_view display = env("WAYLAND_DISPLAY");
    if (display.empty()) return false;
    std::string path(display);
    if (path.front() != '/') {
        const std::string_view runtime = env("XDG_RUNTIME_DIR");
        if (runtime.empty()) return false;
        path = std::string(runtime) + "/" + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

bool x11Answers() {
    if (env("DISPLAY").empty()) return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

} // namespace

std::string missingDesktopSession() {
    const std::string_view platform = env("QT_QPA_PLATFORM");
    const std::string_view first = platform.substr(0, platform.find(';'));
    const bool wantsX11 = first.starts_with("xcb");
    const bool wantsWayland = first.starts_with("wayland");
    if (!first.empty() && !wantsX11 && !wantsWayland) return {}; // offscreen, vnc, eglfs...
    if (!wantsX11 && waylandAnswers()) return {};
    if (!wantsWayland && x11Answers()) return {};

    const char* asked = wantsX11 ? "DISPLAY" : wantsWayland ? "WAYLAND_DISPLAY" : "DISPLAY or WAYLAND_DISPLAY";
    std::string_view named = wantsX11 ? env("DISPLAY") : env("WAYLAND_DISPLAY");
    if (named.empty() && !wantsWayland) named = env("DISPLAY");
    if (named.empty())
        return std::string("quelvex: no display to show the window on; start Quelvex from a desktop session, or set ") + asked;
    return "quelvex: the display " + std::string(named) +
           " does not answer; start Quelvex from a desktop session, or set " + asked + " to one that answers";
}

} // namespace quelvex
