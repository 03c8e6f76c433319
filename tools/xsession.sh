# Sourced by the end-to-end tests and the benchmarks: a private X server and orderly stops.

# stop_pid PID: asks a process to end, waits up to 3 s, then kills it.
stop_pid() {
    local pid=$1 _
    [ -n "$pid" ] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    for _ in $(seq 30); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# start_xvfb DIR WxH: starts Xvfb on a display it picks itself (-displayfd), so that several can
# run side by side; exports DISPLAY and sets XVFB_PID. Returns 1, with the server's log on
# stderr, when no display comes up within 30 s.
start_xvfb() {
    local dir=$1 fdfile="$1/display" _
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "$2x24" -nolisten tcp -noreset 3>"$fdfile" >"$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 300); do
        grep -q '^[0-9][0-9]*$' "$fdfile" 2>/dev/null && break
        kill -0 "$XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^[0-9][0-9]*$' "$fdfile" || { cat "$dir/xvfb.log" >&2; return 1; }
    DISPLAY=":$(head -n1 "$fdfile")"
    export DISPLAY
}
