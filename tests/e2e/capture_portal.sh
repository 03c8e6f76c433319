#!/usr/bin/env bash
# The desktop portal's way to a capture (Wayland's), forced with QUELVEX_CAPTURE=portal, against a
# mock portal on a private session bus: the portal's picture becomes the JPEG under the capture's
# name, the portal's temporary file goes, and a portal that fails shows the error later while
# the power-off is still requested.
#   capture_portal.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/capture_lib.sh
source "$(dirname "$0")/capture_lib.sh"

work="$E2E_TMP/work"
portal_dir="$E2E_TMP/runtime/portal" # a temporary folder of the program's
mkdir -p "$work" "$portal_dir"
bus_pid=""
mock_pid=""
trap 'rc=$?; stop_pid "$mock_pid"; stop_pid "$bus_pid"; (exit $rc); e2e_cleanup' EXIT

bus="unix:path=$E2E_TMP/session-bus"
dbus-daemon --session --nofork --address="$bus" >/dev/null 2>&1 &
bus_pid=$!
wait_for 10 test -S "$E2E_TMP/session-bus" || fail "no private session bus"
DBUS_SESSION_BUS_ADDRESS=$bus /usr/bin/python3 "$(dirname "$0")/mock_portal.py" "$portal_dir" \
    >"$E2E_TMP/mock.log" 2>&1 &
mock_pid=$!
wait_for 10 test -f "$portal_dir/ready" || fail "the mock portal did not start: $(cat "$E2E_TMP/mock.log")"

start_x
start_app_in "$work" QUELVEX_CAPTURE=portal DBUS_SESSION_BUS_ADDRESS="$bus"
toggle_capture
# Not hidden for the capture: the window stays on the screen while the portal works.
echo 1500 >"$portal_dir/delay"
count_three_seconds
window_mapped || fail "the window left the screen for a capture with hiding off"
capture_written() { (find_capture "$work") 2>/dev/null; }
wait_for 5 capture_written || true
find_capture "$work"
check_jpeg "$CAPTURE" 640 480
colours=$(convert "$CAPTURE" -format '%[fx:p{40,40}.r>0.9&&p{40,40}.b<0.1] %[fx:p{600,440}.b>0.9&&p{600,440}.r<0.1]' info:)
[ "$colours" = "1 1" ] || fail "the capture is not the portal's picture"
grep -qx 'interactive=False token=[A-Za-z0-9_]\+' "$portal_dir/calls" || fail "portal called as: $(cat "$portal_dir/calls")"
[ -z "$(find "$portal_dir" -name '*.ppm')" ] || fail "the portal's temporary picture was left behind"
note "portal picture saved as $(basename "$CAPTURE")"

# Hidden for the capture: the window stays off the screen until the portal has answered.
toggle_hide_on_capture
echo 3000 >"$portal_dir/delay"
count_three_seconds
! window_mapped || fail "the window came back before the portal took its picture"
wait_for 5 window_mapped || fail "the window did not come back after the portal's answer"
rm "$portal_dir/delay"
toggle_hide_on_capture
note "window kept hidden while the portal worked"

# A portal that fails: the error comes after the step, the power-off was requested anyway.
touch "$portal_dir/fail"
count_three_seconds
late_error() {
    [ "$(stderr_count "$ERROR_LINE")" = 1 ] &&
        [ "$(xdotool search --onlyvisible --pid "$E2E_APID" 2>/dev/null | grep -vc "^$E2E_WID\$")" -ge 1 ]
}
wait_for 5 late_error || fail "no error shown for a failing portal"
app_alive || fail "the program exited"
pass
