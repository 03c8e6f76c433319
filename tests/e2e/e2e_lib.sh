# Shared by the end-to-end scripts: each script sources this file with the program's path as $1.
# It gets its own X server (Xvfb on a free display), a temporary working directory and home,
# and everything it started is ended when it exits, whatever the outcome.
#
# Screen facts (no window manager under Xvfb: a window sits exactly where the program puts it):
# the screen is 1280x1024 and the window opens centred, so its top-left corner is at 398,344.

set -euo pipefail
# shellcheck source=../../tools/xsession.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/xsession.sh"

E2E_BIN=${1:?usage: $0 PATH_TO_QUELVEX [SKIN_DIR]}
E2E_SKIN=${2:-}
[ -x "$E2E_BIN" ] || { echo "not an executable: $E2E_BIN" >&2; exit 2; }
E2E_BIN=$(realpath "$E2E_BIN")
[ -z "$E2E_SKIN" ] || E2E_SKIN=$(realpath "$E2E_SKIN")

# shellcheck disable=SC2034 # used by the scripts that source this file
readonly SCREEN_W=1280 SCREEN_H=1024
# shellcheck disable=SC2034
readonly WIN_X=398 WIN_Y=344 WIN_W=483 WIN_H=335 WIN_H_FOLDED=220

E2E_NAME=$(basename "$0" .sh)
E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/quelvex-e2e-$E2E_NAME.XXXXXX")
E2E_XPID=""
E2E_APID=""
E2E_SITE_PID=""
E2E_OK=0
DISPLAY=""
# Never let anything reach a real system bus, whatever the program does. Without a session bus
# address, libdbus would autolaunch a session bus for every program start, which outlives the test.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus
export DBUS_SESSION_BUS_ADDRESS=${DBUS_SESSION_BUS_ADDRESS:-unix:path=/nonexistent/quelvex-session-bus}

e2e_cleanup() {
    local rc=$?
    trap - EXIT
    stop_pid "$E2E_APID"
    stop_pid "$E2E_SITE_PID"
    stop_pid "$E2E_XPID"
    if [ "$E2E_OK" = 1 ] && [ "$rc" = 0 ]; then
        rm -rf "$E2E_TMP"
    else
        echo "--- program stderr ---" >&2
        cat "$E2E_TMP/stderr" >&2 2>/dev/null || true
        echo "--- kept for a look: $E2E_TMP" >&2
    fi
    exit "$rc"
}
trap e2e_cleanup EXIT
trap 'exit 143' TERM INT HUP

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    exit 1
}

note() { echo "[$E2E_NAME] $*"; }

# Marks the run as passed; the temporary files are removed on exit.
pass() {
    E2E_OK=1
    echo "PASS [$E2E_NAME]"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

app_alive() { [ -n "$E2E_APID" ] && kill -0 "$E2E_APID" 2>/dev/null; }

# wait_for SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds (0) or time runs out (1).
# Fails at once if the program has gone.
wait_for() {
    local limit_ms=$(($1 * 1000)) start
    shift
    start=$(now_ms)
    until "$@"; do
        if [ -n "$E2E_APID" ] && ! app_alive; then
            fail "the program exited (while waiting for: $*)"
        fi
        (($(now_ms) - start < limit_ms)) || return 1
        sleep 0.1
    done
}

start_x() {
    start_xvfb "$E2E_TMP" "${SCREEN_W}x${SCREEN_H}" || fail "Xvfb did not start"
    E2E_XPID=$XVFB_PID
}

# start_app [DIR [NAME=VALUE...]]: starts the program in DIR (default a fresh working directory)
# with the extra environment given and the options in E2E_ARGS; its stderr goes to
# $E2E_TMP/stderr.
E2E_ARGS=()
start_app() {
    local dir=${1:-$E2E_TMP/work}
    [ $# -eq 0 ] || shift
    mkdir -p "$dir" "$E2E_TMP/home" "$E2E_TMP/runtime"
    chmod 700 "$E2E_TMP/runtime"
    (
        cd "$dir"
        exec env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" \
            XDG_CONFIG_HOME="$E2E_TMP/home/.config" LC_ALL=C.UTF-8 \
            QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0 \
            DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SYSTEM_BUS_ADDRESS" DISPLAY="$DISPLAY" "$@" \
            "$E2E_BIN" "${E2E_ARGS[@]}" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
    ) &
    E2E_APID=$!
}

# The window at its opening place shows its skin (most of it lit).
window_drawn() {
    grab "$E2E_TMP/window.png" "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"
    awk -v l="$(lit_fraction "$E2E_TMP/window.png")" 'BEGIN { exit !(l >= 0.25) }'
}

# Waits until the program's window is mapped and sets E2E_WID to its id.
window_mapped() {
    E2E_WID=$(xdotool search --onlyvisible --name '^Quelvex' 2>/dev/null | head -n1) || true
    [ -n "$E2E_WID" ]
}
find_window() {
    E2E_WID=""
    wait_for 60 window_mapped || fail "no visible window named Quelvex within 60 s"
}

# Sets X, Y, WIDTH, HEIGHT from the window's current geometry.
window_geometry() {
    local out
    out=$(xdotool getwindowgeometry --shell "$1") || return 1
    eval "$(grep -E '^(X|Y|WIDTH|HEIGHT)=[0-9-]+$' <<<"$out")"
}

# geometry_is WID X Y W H
geometry_is() {
    window_geometry "$1" && [ "$X,$Y,$WIDTH,$HEIGHT" = "$2,$3,$4,$5" ]
}

height_is() {
    window_geometry "$1" && [ "$HEIGHT" = "$2" ]
}

# grab OUT [WxH+X+Y]: the screen, or a part of it in screen coordinates.
grab() {
    if [ $# -ge 2 ]; then
        import -window root -crop "$2" +repage "$1"
    else
        import -window root "$1"
    fi
}

# Number of pixels that differ between two pictures of the same size; a third argument lets
# colours differ by that much (say 5%) and still count as the same.
pixels_differing() {
    local out
    out=$(compare -metric AE ${3:+-fuzz "$3"} "$1" "$2" null: 2>&1) || true
    [[ "$out" =~ ^[0-9]+$ ]] || fail "cannot compare $1 and $2: $out"
    echo "$out"
}

same_picture() { [ "$(pixels_differing "$1" "$2")" = 0 ]; }

# The screen shows a skin picture, allowing for colour rounding on the way to the screen.
shows_picture() { [ "$(pixels_differing "$1" "$2" 5%)" = 0 ]; }

# Fraction (0..1) of a picture's pixels that are not near-black.
lit_fraction() { convert "$1" -colorspace Gray -threshold 3% -format '%[fx:mean]' info:; }

# Number of distinct colours in a picture.
colour_count() { identify -format '%k' "$1"; }

# A click as a quick press and release; the pointer is moved there first. (No --sync on the move:
# it stalls for seconds when the pointer is already there. The X server keeps the order anyway.)
click() { xdotool mousemove "$1" "$2" mousedown 1 mouseup 1; }

# The controls the scripts use most, by their rectangles in the window (press and release).
click_pc_mode() { click_control 202 126 112 26; }
click_seconds_up() { click_control 420 36 36 34; }
click_start() { click_control 5 41 176 44; }

# Screen point for a window point.
sx() { echo $((WIN_X + $1)); }
sy() { echo $((WIN_Y + $1)); }

# Clicks at the centre of a control given by its window rectangle X Y W H.
click_control() { click "$(sx $(($1 + $3 / 2)))" "$(sy $(($2 + $4 / 2)))"; }

# The program's error box on the screen, by its window id: a dialog (the help window, the other
# one, stays hidden; the strip and the panels are windows of their own too).
error_box() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_APID" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q DIALOG && echo "$w" && return 0
    done
    return 1
}
error_box_shown() { error_box >/dev/null; }

# Lines of the program's stderr that contain a fixed text.
stderr_count() { grep -cF -- "$1" "$E2E_TMP/stderr" 2>/dev/null || true; }
# The program's power-off line; a script may set POWER_LINE to the longer dry-run form.
POWER_LINE="quelvex: power-off requested"
power_requested() { [ "$(stderr_count "$POWER_LINE")" -ge 1 ]; }

# The maker's site as a machine with a network meets it when the update page cannot be loaded: a
# loopback server with no pages (each request gets "not found"). Sets SITE for QUELVEX_SITE_URL.
failing_site() {
    mkdir -p "$E2E_TMP/site"
    /usr/bin/python3 -u -m http.server --bind 127.0.0.1 0 --directory "$E2E_TMP/site" >"$E2E_TMP/site.log" 2>&1 &
    E2E_SITE_PID=$!
    wait_for 10 grep -q '^Serving' "$E2E_TMP/site.log" || fail "the test site did not start"
    # shellcheck disable=SC2034 # used by the scripts that source this file
    SITE=http://127.0.0.1:$(sed -n 's/^Serving HTTP on .* port \([0-9]*\).*/\1/p' "$E2E_TMP/site.log")
}
# The program asked the site for the update page: the web strip's view is in the window by then.
update_page_asked() { grep -q 'GET /actualizacion-update.htm' "$E2E_TMP/site.log"; }
