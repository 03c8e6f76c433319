#!/usr/bin/env bash
# The program as a native Wayland client of a real compositor: headless sway, clicked with a
# virtual pointer. The frameless window opens at 483x335 with no decorations, counts in
# program-counter mode with the end-of-count capture (taken through the desktop portal, a
# stand-in on a private bus, with nothing forcing that choice), folds to 220 and unfolds, and the
# title area drags it (the compositor moves it on the program's request).
#   wayland.sh PATH_TO_QUELVEX PATH_TO_VPOINTER
# As root, sway (which refuses root) and the program run as the user quelvex-e2e, made if absent.
# Set E2E_SHOTS=DIR to keep screenshots of the count and of the folded window there.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"
VPOINTER=$(realpath "${2:?usage: $0 PATH_TO_QUELVEX PATH_TO_VPOINTER}")
readonly APP_ID=example.quelvex.Quelvex USER_NAME=quelvex-e2e
for tool in sway swaymsg grim setpriv; do
    command -v "$tool" >/dev/null || fail "$tool missing (tools/install-deps.sh test installs it)"
done
[ -x "$VPOINTER" ] || fail "not an executable: $VPOINTER"

# The unprivileged side: its own folder (runtime dir, home, working dir) inside the test's.
as_user=()
U=$E2E_TMP/user
mkdir -p "$U/run" "$U/home" "$U/work"
printf '%s\n' 'xwayland disable' 'output HEADLESS-1 resolution 1280x1024 position 0 0 scale 1' >"$U/sway.conf"
if [ "$(id -u)" = 0 ]; then
    id -u "$USER_NAME" >/dev/null 2>&1 || useradd -m "$USER_NAME" 2>/dev/null || sleep 1
    id -u "$USER_NAME" >/dev/null 2>&1 || fail "cannot create the user $USER_NAME"
    as_user=(setpriv --reuid="$(id -u "$USER_NAME")" --regid="$(id -g "$USER_NAME")" --init-groups)
    chmod 711 "$E2E_TMP"
    chown -R "$USER_NAME:" "$U"
    # The build tree may be closed to others: then the user gets a copy of the program's folder.
    if ! "${as_user[@]}" test -x "$E2E_BIN" -a -r "$(dirname "$E2E_BIN")/ALARM.WAV"; then
        mkdir "$E2E_TMP/prog"
        find "$(dirname "$E2E_BIN")" -maxdepth 1 -type f -exec cp -p {} "$E2E_TMP/prog" \;
        chmod -R a+rX "$E2E_TMP/prog"
        E2E_BIN=$E2E_TMP/prog/$(basename "$E2E_BIN")
    fi
fi
chmod 700 "$U/run"
user_env=(env -i PATH=/usr/bin:/bin HOME="$U/home" XDG_RUNTIME_DIR="$U/run" LC_ALL=C.UTF-8)

# Headless sway on one 1280x1024 output (sway.conf above: no bar, no Xwayland).
"${as_user[@]}" "${user_env[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$U/sway.conf" </dev/null >"$E2E_TMP/sway.log" 2>&1 &
E2E_XPID=$!
export WAYLAND_DISPLAY=$U/run/wayland-1 SWAYSOCK=""
sway_up() {
    kill -0 "$E2E_XPID" 2>/dev/null || fail "sway exited: $(tail -3 "$E2E_TMP/sway.log")"
    SWAYSOCK=$(compgen -G "$U/run/sway-ipc.*.sock" | head -n1) && [ -S "$WAYLAND_DISPLAY" ] &&
        swaymsg -t get_outputs >/dev/null 2>&1
}
wait_for 30 sway_up || fail "sway did not come up: $(tail -3 "$E2E_TMP/sway.log")"
[ "$(swaymsg -t get_outputs -r | /usr/bin/python3 -c 'import json,sys; r=json.load(sys.stdin)[0]["rect"]
print(r["width"], r["height"])')" = "$SCREEN_W $SCREEN_H" ] || fail "output is not ${SCREEN_W}x${SCREEN_H}"

# The pointer comes before the program, so that the program finds it on its seat.
coproc VP { exec "$VPOINTER" "$SCREEN_W" "$SCREEN_H" 2>>"$E2E_TMP/vpointer.log"; }
# shellcheck disable=SC2153 # VP_PID is set by coproc
vp_pid=$VP_PID
trap 'rc=$?; set +e; stop_pid "$vp_pid"; dbus_mock_cleanup; (exit $rc); e2e_cleanup' EXIT
pointer() {
    local answer
    { echo "$*" >&"${VP[1]}" && read -r -t 10 answer <&"${VP[0]}"; } || fail "vpointer gone ($*)"
    [ "$answer" = ok ] || fail "vpointer: $* -> $answer"
}
pointer move 0 0

start_private_bus session
mkdir "$E2E_TMP/portal"
DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS /usr/bin/python3 "$(dirname "$0")/mock_portal.py" "$E2E_TMP/portal" \
    >"$E2E_TMP/portal.log" 2>&1 &
DBUS_MOCK_PIDS+=($!)
wait_for 10 test -f "$E2E_TMP/portal/ready" || fail "the stand-in portal did not start: $(cat "$E2E_TMP/portal.log")"
DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS

(
    cd "$U/work"
    exec "${as_user[@]}" "${user_env[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" QT_QPA_PLATFORM=wayland \
        DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SYSTEM_BUS_ADDRESS" DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" \
        "$E2E_BIN" --dry-run </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
) &
E2E_APID=$!

# Sets X Y WIDTH HEIGHT (outer rectangle), INNER (content size) and BORDER from sway's tree.
window_rect() {
    local out
    out=$(swaymsg -t get_tree -r | /usr/bin/python3 -c '
import json, sys
def walk(n):
    if n.get("app_id") == sys.argv[1]:
        r, w = n["rect"], n["window_rect"]
        print(r["x"], r["y"], r["width"], r["height"], "%dx%d" % (w["width"], w["height"]), n.get("border"))
    for c in n.get("nodes", []) + n.get("floating_nodes", []): walk(c)
walk(json.load(sys.stdin))' "$APP_ID") && [ -n "$out" ] || return 1
    read -r X Y WIDTH HEIGHT INNER BORDER <<<"$out"
}
# rect_is W H [X Y]: the window is that big (and there), with nothing drawn around it.
rect_is() {
    window_rect && [ "$WIDTH,$HEIGHT" = "$1,$2" ] && [ "$INNER" = "${1}x$2" ] &&
        { [ $# -lt 4 ] || [ "$X,$Y" = "$3,$4" ]; }
}
wait_for 60 window_rect || fail "no window with app_id $APP_ID within 60 s"
wait_for 10 rect_is "$WIN_W" "$WIN_H" || fail "window is ${WIDTH}x$HEIGHT with content $INNER, not ${WIN_W}x$WIN_H"
note "window ${WIDTH}x$HEIGHT at $X,$Y, border $BORDER"
WX=$X WY=$Y

# grab OUT X Y W H: a part of the output, in window coordinates.
grab() { grim -g "$((WX + $2)),$((WY + $3)) $4x$5" "$1"; }
drawn() {
    grab "$E2E_TMP/window.png" 0 0 "$WIN_W" "$WIN_H" &&
        awk -v l="$(lit_fraction "$E2E_TMP/window.png")" 'BEGIN { exit !(l >= 0.25) }'
}
wait_for 15 drawn || fail "window not drawn"
click_control() { pointer click $((WX + $1 + $3 / 2)) $((WY + $2 + $4 / 2)); }

# Program-counter mode, five seconds, START: the left clock's last seconds digit changes from one
# screenshot to the next, and the count ends in one (rehearsed) power-off request.
click_pc_mode
sleep 0.5
for _ in 1 2 3 4 5; do click_seconds_up; done
click_control 199 257 16 12 # the capture lamp
sleep 0.3
click_start
pointer move 0 0
sleep 0.3
grab "$E2E_TMP/ss1-a.png" 134 128 13 23
sleep 1.2
grab "$E2E_TMP/ss1-b.png" 134 128 13 23
[ -z "${E2E_SHOTS:-}" ] || grim "$E2E_SHOTS/wayland-count.png"
same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png" && fail "left clock does not count after START"
wait_for 15 power_requested || fail "no power-off request after the count"
[ "$(identify -format '%wx%h' "$U/work"/*.jpg)" = 640x480 ] || fail "no capture from the portal: $(ls "$U/work")"
note "counted down, captured through the portal, power-off requested"

# Fold and unfold: sway follows the program's own size change; the window stays where it is.
click_control 198 304 88 24
wait_for 5 rect_is "$WIN_W" "$WIN_H_FOLDED" "$WX" "$WY" || fail "folded window is ${WIDTH}x$HEIGHT at $X,$Y"
[ -z "${E2E_SHOTS:-}" ] || { sleep 0.3 && grim "$E2E_SHOTS/wayland-folded.png"; }
click_control 197 191 88 24
wait_for 5 rect_is "$WIN_W" "$WIN_H" "$WX" "$WY" || fail "unfolded window is ${WIDTH}x$HEIGHT at $X,$Y"
note "folded to $WIN_H_FOLDED and back"

# Dragging the title area: the press hands the move to the compositor, which from then on keeps
# the window under the pointer. The hand-over takes a moment: nudge until the window follows.
PX=$((WX + 120)) PY=$((WY + 20)) n=0
pointer move "$PX" "$PY"
pointer press
follows() { pointer move $((PX + ++n)) "$PY" && window_rect && [ "$X" != "$WX" ]; }
wait_for 5 follows || fail "the window does not follow a drag of its title area"
grip=$((PX + n - X))
for i in 1 2 3 4 5; do pointer move $((PX + 20 * i)) $((PY + 10 * i)); done
pointer release
wait_for 5 rect_is "$WIN_W" "$WIN_H" $((PX + 100 - grip)) $((WY + 50)) ||
    fail "drag left the window at $X,$Y, not $((PX + 100 - grip)),$((WY + 50))"
note "title drag moved the window to $X,$Y (the move began after $n px)"
app_alive || fail "the program exited"
pass
