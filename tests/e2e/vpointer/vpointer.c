/* A virtual pointer for end-to-end tests on a wlroots compositor (sway): a headless seat has no
 * pointer of its own, so this process adds one and drives it from commands on stdin, one a line:
 *
 *   move X Y     put the pointer at X,Y of the output layout
 *   press        left button down
 *   release      left button up
 *   click X Y    move, press, release
 *
 * Each command ends with a round trip to the compositor, then "ok" (or "error ...") on stdout, so
 * a script knows it has been handled. The pointer lives as long as the process: clients bind
 * their wl_pointer when it appears, and would lose it if it came and went with each command.
 *
 *   vpointer WIDTH HEIGHT      the output layout's size, in which X,Y are given
 *
 * Connects to WAYLAND_DISPLAY (a name in XDG_RUNTIME_DIR or an absolute path). */
#define _POSIX_C_SOURCE 200809L /* clock_gettime */

#include "virtual-pointer-client-protocol.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#define BUTTON_LEFT 0x110 /* BTN_LEFT of linux/input-event-codes.h */

static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* manager;

static void global_added(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version) {
    (void)data;
    (void)version;
    if (!seat && strcmp(interface, wl_seat_interface.name) == 0)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

static int parse_extent(const char* text, uint32_t* out) {
    char* end;
    long v = strtol(text, &end, 10);
    if (*end || v <= 0 || v > 65535) return 0;
    *out = (uint32_t)v;
    return 1;
}

int main(int argc, char** argv) {
    uint32_t width, height;
    if (argc != 3 || !parse_extent(argv[1], &width) || !parse_extent(argv[2], &height)) {
        fprintf(stderr, "usage: %s WIDTH HEIGHT  (commands on stdin: move X Y, press, release, click X Y)\n",
                argv[0]);
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "vpointer: cannot connect to the Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!seat || !manager) {
        fprintf(stderr, "vpointer: the compositor offers no %s\n",
                seat ? "zwlr_virtual_pointer_manager_v1" : "wl_seat");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);

    char line[256];
    while (fgets(line, sizeof line, stdin)) {
        char verb[16];
        long x = -1, y = -1;
        int n = sscanf(line, "%15s %ld %ld", verb, &x, &y);
        if (n < 1) continue;
        const int positioned = strcmp(verb, "move") == 0 || strcmp(verb, "click") == 0;
        const int down = strcmp(verb, "press") == 0 || strcmp(verb, "click") == 0;
        const int up = strcmp(verb, "release") == 0 || strcmp(verb, "click") == 0;
        const char* error = NULL;
        if (!positioned && !down && !up)
            error = "unknown command";
        else if (positioned && (n != 3 || x < 0 || y < 0 || x >= (long)width || y >= (long)height))
            error = "needs X Y inside the extent";
        if (error) {
            line[strcspn(line, "\n")] = '\0';
            printf("error: %s: %s\n", error, line);
            fflush(stdout);
            continue;
        }
        if (positioned) {
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), (uint32_t)x, (uint32_t)y, width,
                                                    height);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (down) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BUTTON_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (up) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), BUTTON_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        if (wl_display_roundtrip(display) < 0) {
            fprintf(stderr, "vpointer: lost the Wayland connection\n");
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_disconnect(display);
    return 0;
}
