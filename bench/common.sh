# Sourced by the benchmark scripts: an Xvfb of their own, ended on exit with all they started.
set -euo pipefail

BENCH_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quelvex-bench.XXXXXX")
BENCH_PIDS=()
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus
export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8
export HOME="$BENCH_TMP/home" XDG_RUNTIME_DIR="$BENCH_TMP/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$BENCH_TMP/work"
chmod 700 "$XDG_RUNTIME_DIR"

bench_stop() {
    local pid=$1 i
    kill -TERM "$pid" 2>/dev/null || return 0
    for i in $(seq 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

bench_cleanup() {
    local i
    for ((i = ${#BENCH_PIDS[@]} - 1; i >= 0; i--)); do bench_stop "${BENCH_PIDS[i]}"; done
    rm -rf "$BENCH_TMP"
}
trap bench_cleanup EXIT
trap 'exit 143' TERM INT HUP

# Starts Xvfb on a free display (1280x1024x24) and exports DISPLAY.
bench_start_x() {
    local fdfile="$BENCH_TMP/display" i
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >"$BENCH_TMP/xvfb.log" 2>&1 &
    BENCH_PIDS+=($!)
    for i in $(seq 300); do
        grep -q '^[0-9][0-9]*$' "$fdfile" 2>/dev/null && break
        sleep 0.1
    done
    grep -q '^[0-9][0-9]*$' "$fdfile" || { cat "$BENCH_TMP/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=":$(head -n1 "$fdfile")"
    export DISPLAY
}
