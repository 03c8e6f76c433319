# Sourced by the benchmark scripts: an Xvfb of their own, ended on exit with all they started.
set -euo pipefail
# shellcheck source=../tools/xsession.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tools/xsession.sh"

BENCH_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quelvex-bench.XXXXXX")
BENCH_PIDS=()
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus
export DBUS_SESSION_BUS_ADDRESS=${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/quelvex-session-bus}
export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8
export HOME="$BENCH_TMP/home" XDG_RUNTIME_DIR="$BENCH_TMP/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$BENCH_TMP/work"
chmod 700 "$XDG_RUNTIME_DIR"

bench_cleanup() {
    local i
    for ((i = ${#BENCH_PIDS[@]} - 1; i >= 0; i--)); do stop_pid "${BENCH_PIDS[i]}"; done
    rm -rf "$BENCH_TMP"
}
trap bench_cleanup EXIT
trap 'exit 143' TERM INT HUP

# Starts Xvfb on a free display (1280x1024x24) and exports DISPLAY.
bench_start_x() {
    start_xvfb "$BENCH_TMP" 1280x1024 || { echo "Xvfb did not start" >&2; exit 1; }
    BENCH_PIDS+=("$XVFB_PID")
}

# bench_use_wine WINDOWS_BUILD_DIR: Wine in that build's prefix (tools/build-windows.sh --test
# makes it), its session ended now and at exit: a session keeps the screen it began on.
bench_use_wine() {
    export WINEPREFIX="$1/wine" WINEDEBUG=-all
    WINE_HOME="$1/wine-home"
    [ -f "$WINEPREFIX/system.reg" ] || { echo "no Wine prefix: run tools/build-windows.sh --test" >&2; exit 2; }
    trap 'end_wine_session; bench_cleanup' EXIT
    end_wine_session
}
wine_env() { HOME="$WINE_HOME" "$@"; }
end_wine_session() { wine_env wineserver -k 2>/dev/null || true; wine_env wineserver -w 2>/dev/null || true; }
