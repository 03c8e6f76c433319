// The least a client can do to turn the emblem: a window of the program's size with a child of the
// emblem's, whose background steps through five pixmaps kept on the server twenty times a second,
// with a bare poll() loop and no toolkit. What it and the X server spend is the floor under the
// program's figure while counting: the cost of the forty wake-ups a second alone, on this machine.
//   quelvex_frame_floor   (with DISPLAY set; runs until killed)
#include <xcb/xcb.h>

#include <poll.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace {

std::int64_t nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

} // namespace

int main() {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;

    // Where the program opens: centred on the benchmark's 1280x1024 screen.
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t black[] = {screen->black_pixel};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 398, 344, 483, 335, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL, black);
    static const char title[] = "Quelvex frame floor";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, sizeof title - 1,
                        title);
    const xcb_window_t emblem = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, emblem, window, 8, 5, 43, 28, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    std::array<xcb_pixmap_t, 5> frames{};
    const xcb_gcontext_t gc = xcb_generate_id(c);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        frames[i] = xcb_generate_id(c);
        xcb_create_pixmap(c, screen->root_depth, frames[i], window, 43, 28);
        if (i == 0) xcb_create_gc(c, gc, frames[i], 0, nullptr);
        const std::uint32_t shade[] = {0x203040u * static_cast<std::uint32_t>(i + 1)};
        xcb_change_gc(c, gc, XCB_GC_FOREGROUND, shade);
        const xcb_rectangle_t all{0, 0, 43, 28};
        xcb_poly_fill_rectangle(c, frames[i], gc, 1, &all);
    }
    xcb_map_window(c, emblem);
    xcb_map_window(c, window);
    xcb_flush(c);

    pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
    std::int64_t due = nowMs() + 50;
    for (std::size_t n = 0;; ++n) {
        const std::int64_t wait = due - nowMs();
        if (wait > 0 && poll(&fd, 1, static_cast<int>(wait)) > 0) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c))
                std::free(event);
            if (xcb_connection_has_error(c)) return 0;
            continue;
        }
        due += 50;
        const std::uint32_t background[] = {frames[n % frames.size()]};
        xcb_change_window_attributes(c, emblem, XCB_CW_BACK_PIXMAP, background);
        xcb_clear_area(c, 0, emblem, 0, 0, 0, 0);
        xcb_flush(c);
    }
}
