#!/usr/bin/env bash
# The desktop portal's way to a capture (Wayland's), forced with QUELVEX_CAPTURE=portal, against a
# mock portal on a private session bus: the portal's picture becomes the JPEG under the capture's
# name before the power-off is requested, the portal's temporary file goes (one it put elsewhere
# stays), a portal that never answers is given up, and a portal that fails shows the error later
# while the power-off is still requested.
#   capture_portal.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/capture_lib.sh
source "$(dirname "$0")/capture_lib.sh"

work="$E2E_TMP/work"
portal_dir="$E2E_TMP/runtime/portal" # a temporary folder of the program's
keep_dir=$(mktemp -d /var/tmp/quelvex-portal.XXXXXX) # none of the program's temporary folders
mkdir -p "$work" "$portal_dir"
bus_pid=""
mock_pid=""
trap 'rc=$?; set +e; stop_pid "$mock_pid"; stop_pid "$bus_pid"; rm -rf "$keep_dir"; (exit $rc); e2e_cleanup' EXIT

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
# Not hidden for the capture: the window stays on the screen while the portal works. The
# power-off waits for the portal's picture: the file is there when it is requested.
echo 1500 >"$portal_dir/delay"
# Arming the capture asks the portal for nothing: its one call comes at the end of the count.
no_call_before_the_end() {
    sleep 1
    [ ! -e "$portal_dir/calls" ] || fail "the portal was called at START: $(cat "$portal_dir/calls")"
}
count_three_seconds no_call_before_the_end
[ "$(wc -l <"$portal_dir/calls")" = 1 ] || fail "the portal was called for more than one picture"
window_mapped || fail "the window left the screen for a capture with hiding off"
find_capture "$work"
check_jpeg "$CAPTURE" 640 480
colours=$(convert "$CAPTURE" -format '%[fx:p{40,40}.r>0.9&&p{40,40}.b<0.1] %[fx:p{600,440}.b>0.9&&p{600,440}.r<0.1]' info:)
[ "$colours" = "1 1" ] || fail "the capture is not the portal's picture"
grep -qx 'interactive=False token=[A-Za-z0-9_]\+' "$portal_dir/calls" || fail "portal called as: $(cat "$portal_dir/calls")"
[ -z "$(find "$portal_dir" -name '*.ppm')" ] || fail "the portal's temporary picture was left behind"
note "portal picture saved as $(basename "$CAPTURE")"

# Hidden for the capture: the window stays off the screen until the portal has answered, which
# the power-off waits for too.
toggle_hide_on_capture
echo 3000 >"$portal_dir/delay"
echo "$keep_dir" >"$portal_dir/outdir"
hidden_until_answer() {
    wait_for 6 eval '! window_mapped' || fail "the window was not hidden for the capture"
    sleep 1
    ! window_mapped || fail "the window came back before the portal took its picture"
}
count_three_seconds hidden_until_answer
window_mapped || fail "the window did not come back after the portal's answer"
[ -n "$(find "$keep_dir" -name '*.ppm')" ] || fail "the portal's picture outside a temporary folder was removed"
rm "$portal_dir/outdir"
note "window kept hidden while the portal worked"

# A portal that never answers: given up after 10 s, the window comes back, the power-off follows.
echo 60000 >"$portal_dir/delay"
start=$(now_ms)
count_three_seconds
elapsed=$(($(now_ms) - start))
[ "$elapsed" -ge 12000 ] || fail "power-off requested ${elapsed} ms after START, before the portal was given up"
window_mapped || fail "the window did not come back after the portal was given up"
[ "$(stderr_count "no answer from the desktop portal within 10 s")" = 1 ] || fail "no line about the silent portal"
rm "$portal_dir/delay"
toggle_hide_on_capture
note "silent portal given up after $((elapsed - 3000)) ms"

# A portal that fails: the error comes after the step, the power-off was requested anyway.
touch "$portal_dir/fail"
errors_before=$(stderr_count "$ERROR_LINE") # the silent portal's
count_three_seconds
late_error() {
    [ "$(stderr_count "$ERROR_LINE")" = $((errors_before + 1)) ] && error_box_shown
}
wait_for 5 late_error || fail "no error shown for a failing portal"
app_alive || fail "the program exited"
pass
