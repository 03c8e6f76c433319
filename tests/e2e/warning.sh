#!/usr/bin/env bash
# The warning before a power-off, against a notification server and a logind stood in for by
# dbusmock on private buses: a count of 1:05 warns 60 steps before its end, the notice's Cancel
# stops it and takes it away, and logind hears nothing, not even from bad hand-overs.
#   warning.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"

start_x
start_private_bus system
export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
start_dbusmock "$BUS_ADDRESS" org.freedesktop.login1 "$E2E_TMP/logind.log" --system --template logind
start_private_bus session
export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS
NOTES=$E2E_TMP/notes.log
start_dbusmock "$BUS_ADDRESS" org.freedesktop.Notifications "$NOTES" --session --template notification_daemon
notified() { [ "$(grep -c ' Notify ' "$NOTES")" -ge "$1" ]; }
closed() { grep -q ' CloseNotification 1$' "$NOTES"; }
SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
clock_still() {
    grab "$E2E_TMP/a.png" "$SS1" && sleep 1.3 && grab "$E2E_TMP/b.png" "$SS1"
    same_picture "$E2E_TMP/a.png" "$E2E_TMP/b.png"
}

start_app
find_window
wait_for 15 window_drawn || fail "window not drawn"
click_pc_mode
click_control 378 36 36 34 # minutes up
for _ in 1 2 3 4 5; do click_seconds_up && sleep 0.2; done
click_start
started=$(now_ms)
# The first step comes with START, the others on clock seconds: the fifth leaves 60.
wait_for 10 notified 1 || fail "no notice within 10 s of START: $(cat "$NOTES")"
after=$(($(now_ms) - started))
((after >= 2900 && after <= 5000)) || fail "notice $after ms after START, not 3 to 4 s"
line=$(grep ' Notify ' "$NOTES")
want='Notify "Quelvex" 0 "example.quelvex.Quelvex" "Quelvex will switch the computer off in 1 minute" ""'
want+=' ["cancel", "Cancel"] {"desktop-entry": "example.quelvex.Quelvex", "urgency": 2} 0'
[[ "$line" == *" $want" ]] || fail "notice not as expected: $line"
note "notice $after ms after START of 1:05: $line"
# The same signal from anybody but the server changes nothing.
dbus-send --bus="$BUS_ADDRESS" --type=signal /org/freedesktop/Notifications \
    org.freedesktop.Notifications.ActionInvoked uint32:1 string:cancel && sleep 1
! closed || fail "a stranger's ActionInvoked cancelled the count"
/usr/bin/python3 -c 'import dbus, sys
dbus.bus.BusConnection(sys.argv[1]).get_object("org.freedesktop.Notifications", "/org/freedesktop/Notifications") \
    .EmitSignal("org.freedesktop.Notifications", "ActionInvoked", "us", [dbus.UInt32(1), "cancel"],
                dbus_interface="org.freedesktop.DBus.Mock")' "$BUS_ADDRESS"
wait_for 3 closed || fail "notice not withdrawn after Cancel: $(cat "$NOTES")"
wait_for 5 clock_still || fail "the count goes on after Cancel"
# Hand-overs that no start sends are refused with the reason; none starts a count.
/usr/bin/python3 - "$BUS_ADDRESS" <<'EOP' || fail "a hand-over was not refused as it should be"
import dbus, sys; o = dbus.bus.BusConnection(sys.argv[1]).get_object("example.quelvex.Quelvex", "/example/quelvex/Quelvex")
for args, why in ((["--dry-run", "--in", "0:00:02"], "--dry-run"), (["--frobnicate"], "unknown option"),
                  (["--in", "100:00:00"], "too long"), (["--in", "1m", "--at", "10:00"], "together"),
                  (["--in", ":" * 16000000], "longer than"), (["--alarm"] * 65, "more than")):
    try: o.HandOver(args, {}, signature="asa{sv}", dbus_interface="example.quelvex.Quelvex"); sys.exit("took %.60s" % args)
    except dbus.DBusException as e: assert e.get_dbus_name().endswith("InvalidArgs") and why in str(e), e
EOP
# A server that answers Notify late: the notice it then shows for a stopped count goes at once.
bus_call "$BUS_ADDRESS" org.freedesktop.Notifications /org/freedesktop/Notifications org.freedesktop.DBus.Mock.AddMethod \
    string:org.freedesktop.Notifications string:Notify 'string:susssasa{sv}i' string:u 'string:time.sleep(7); ret = 42' >/dev/null
timeout 20 "$E2E_BIN" --in 0:00:50 </dev/null && wait_for 10 notified 2 || fail "no notice for a handed-over --in"
timeout 20 "$E2E_BIN" --stop </dev/null || fail "hand-over of --stop refused"
wait_for 20 grep -q ' CloseNotification 42$' "$NOTES" || fail "the late notice stayed: $(cat "$NOTES")"
wait_for 80 eval '(($(now_ms) - started > 68000))' # past the end the count would have had
if grep -q PowerOff "$E2E_TMP/logind.log" || [ "$(stderr_count "power-off requested")" != 0 ]; then
    fail "a power-off was asked for: $(cat "$E2E_TMP/logind.log")"
fi
pass
