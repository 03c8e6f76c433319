#!/usr/bin/env bash
# Builds the program alone (not its tests) and starts it, passing on its arguments. Installs what
# is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."

# The window needs a display: say so before minutes of installing and building, not after. The
# program makes the same check itself, and answers --help, --version and --stop without one.
answers_without_display() {
    local a
    for a in "$@"; do
        case "$a" in -h | --help | '-?' | '/?' | -v | --version | --stop) return 0 ;; esac
    done
    return 1
}
# A local X display (":N") or a Wayland display has a socket to look for; others are taken on trust.
display_missing() {
    case "${QT_QPA_PLATFORM:-}" in '' | xcb* | wayland*) ;; *) return 1 ;; esac
    local wayland=${WAYLAND_DISPLAY:-}
    [ -z "$wayland" ] || [ "${wayland#/}" != "$wayland" ] || wayland=${XDG_RUNTIME_DIR:-/nonexistent}/$wayland
    [ -n "$wayland" ] && [ -S "$wayland" ] && return 1
    local n=${DISPLAY:-}
    n=${n#unix}
    case "$n" in
    '') return 0 ;;
    :*) n=${n#:} && n=${n%%.*} && [ ! -S "/tmp/.X11-unix/X$n" ] ;;
    *) return 1 ;;
    esac
}
if ! answers_without_display "$@" && display_missing; then
    echo "run.sh: no display to show the window on; run it from a desktop session, or set DISPLAY or" \
        "WAYLAND_DISPLAY to one that answers (nothing was installed or built)" >&2
    exit 1
fi

bash tools/install-deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target program
exec build/app/quelvex "$@"
