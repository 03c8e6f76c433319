#!/usr/bin/env bash
# The power-off and the idle inhibitor against logind and the desktop portal, stood in for by
# dbusmock on private buses (never a real one): one program run per logind, each counting three
# seconds in program-counter mode.
#   power.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/quelvex-session-bus

readonly REQUESTED="quelvex: power-off requested" FAILED="quelvex: power-off failed:"
readonly LOGIND=org.freedesktop.login1 MANAGER=org.freedesktop.login1.Manager
SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
readonly SS1
start_x
start_private_bus system
readonly SYSTEM_BUS=$BUS_ADDRESS

# logind_mock NAME [CODE]: a fresh logind; with CODE it also has PowerOffWithFlags, running CODE.
logind_mock() {
    stop_pid "${MOCK_PID:-}"
    LOG=$E2E_TMP/$1.log
    start_dbusmock "$SYSTEM_BUS" $LOGIND "$LOG" --system --template logind
    [ $# -lt 2 ] || bus_call "$SYSTEM_BUS" $LOGIND /org/freedesktop/login1 org.freedesktop.DBus.Mock.AddMethod \
        string:$MANAGER string:PowerOffWithFlags string:t string: "string:$2" >/dev/null
}
calls() { grep -c -- "$1" "$LOG" || true; }
inhibited() { bus_call "$SYSTEM_BUS" $LOGIND /org/freedesktop/login1 $MANAGER.ListInhibitors | grep -q Quelvex; }
requested() { [ "$(stderr_count "$REQUESTED")" -ge 1 ]; }

# count_down [OPTION]: a new program, which asks logind nothing before START (it may follow the network
# on the system bus), counts 00:00:03 in program-counter mode and asks for the power-off (with
# SHUTDOWN_OFF set, the shutdown lamp is switched off first and nothing is awaited). HELD: the inhibitor was seen.
count_down() {
    stop_pid "$E2E_APID"
    E2E_APID="" E2E_ARGS=("$@")
    local logged
    logged=$(wc -l <"$LOG")
    start_app
    find_window
    wait_for 10 geometry_is "$E2E_WID" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" || fail "window not in place"
    wait_for 15 window_drawn || fail "window not drawn"
    click_pc_mode
    sleep 0.5
    for _ in 1 2 3; do click_seconds_up; done
    [ -z "${SHUTDOWN_OFF:-}" ] || click_control 199 221 16 12
    sleep 0.3
    [ "$(wc -l <"$LOG")" = "$logged" ] || fail "logind was asked before any action was armed: $(tail -n +$((logged + 1)) "$LOG")"
    click_start
    STARTED=$(now_ms) HELD=0
    if wait_for 2 inhibited; then HELD=1; fi
    [ -n "${SHUTDOWN_OFF:-}" ] || wait_for 15 requested || fail "no power-off request after the count"
}

# A rehearsal calls no logind, yet holds the idle inhibitor during the count and lets it go at its end.
logind_mock today pass
export DBUS_SYSTEM_BUS_ADDRESS=$SYSTEM_BUS
count_down --dry-run
[ "$HELD" = 1 ] || fail "no idle inhibitor held by logind during the count"
wait_for 5 eval '! inhibited' || fail "idle inhibitor still held after the count"
sleep 1
if [ "$(calls PowerOff)" != 0 ] || [ "$(calls 'Inhibit "idle" "Quelvex" ".*" "block"$')" != 1 ] ||
    [ "$(stderr_count "$REQUESTED (dry run")" != 1 ]; then fail "dry run: $(cat "$LOG")"; fi
note "dry run: no call; idle inhibitor held, then released"

# The shutdown lamp off: the count ends (the inhibitor goes) and logind is asked nothing.
SHUTDOWN_OFF=1 count_down
[ "$HELD" = 1 ] || fail "no idle inhibitor held during a count without power-off"
wait_for 6 eval '! inhibited' || fail "the count with the shutdown lamp off did not end"
sleep 1
[ "$(calls PowerOff)" = 0 ] && [ "$(stderr_count "$REQUESTED")" = 0 ] || fail "power-off asked for with the lamp off"
note "shutdown lamp off: no power-off request"

# Today's logind: PowerOffWithFlags(SD_LOGIND_SKIP_INHIBITORS) once, and nothing else.
count_down
sleep 1.5
if [ "$(calls 'PowerOffWithFlags 16$')" != 1 ] || [ "$(calls 'PowerOff ')" != 0 ] ||
    [ "$(stderr_count "$REQUESTED")" != 1 ] || [ "$(stderr_count "$FAILED")" != 0 ]; then fail "calls: $(cat "$LOG")"; fi
note "PowerOffWithFlags(16) called once"

# A logind that never answers: the window still takes clicks, and the wait ends after 5 s.
logind_mock silent 'import time; time.sleep(9)'
count_down
grab "$E2E_TMP/ss1-a.png" "$SS1"
click_pc_mode # again: the left clock goes back from 03 to 00
clock_reset() { grab "$E2E_TMP/ss1-b.png" "$SS1" && ! same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png"; }
wait_for 3 clock_reset || fail "the window took no click while logind kept silent"
[ "$(stderr_count "$FAILED")" = 0 ] || fail "gave up on logind too soon"
wait_for 6 eval '[ "$(stderr_count "$FAILED no answer within 5 s")" = 1 ]' || fail "no line about the silence"
note "silent logind: window kept working; gave up $(($(now_ms) - STARTED)) ms after START"

# Debian 12's logind (252) knows the method but refuses the flag: PowerOff(false) follows.
logind_mock bookworm 'raise dbus.exceptions.DBusException("Invalid flags", name="org.freedesktop.DBus.Error.InvalidArgs")'
count_down
wait_for 3 eval '[ "$(calls "PowerOff False$")" = 1 ]' || fail "no PowerOff(false) after InvalidArgs: $(cat "$LOG")"
[ "$(stderr_count "$FAILED")" = 0 ] || fail "InvalidArgs taken for a failure"
note "logind 252: PowerOff(false) after InvalidArgs"

# A logind that refuses: the reason it gave is shown in the error box. Its inhibitor comes only
# after the count has ended, and is let go at once.
logind_mock refusing 'raise dbus.exceptions.DBusException("Permission denied", name="org.freedesktop.DBus.Error.AccessDenied")'
bus_call "$SYSTEM_BUS" $LOGIND /org/freedesktop/login1 org.freedesktop.DBus.Mock.AddMethod string:$MANAGER \
    string:Inhibit string:ssss string:h "string:time.sleep(4); r, w = os.pipe(); \
open('$E2E_TMP/late-pipe', 'w').write(str(os.fstat(w).st_ino)); ret = dbus.types.UnixFd(w); os.close(w); os.close(r)" \
    >/dev/null
count_down
wait_for 8 error_box_shown || fail "no error box for a refused power-off"
[ "$(stderr_count "quelvex: Cannot switch the computer off: Permission denied")" = 1 ] || fail "refusal not shown as such"
[ "$(calls 'PowerOff ')" = 0 ] || fail "PowerOff(false) tried after a refusal"
[ -s "$E2E_TMP/late-pipe" ] || fail "the late inhibitor was never granted"
! ls -l "/proc/$E2E_APID/fd" | grep -q "pipe:\[$(cat "$E2E_TMP/late-pipe")\]" || fail "inhibitor granted after the count is still held"
note "refused power-off shown in the error box; a late inhibitor let go"

# An older logind (no PowerOffWithFlags) gets PowerOff(false); a desktop portal takes the
# inhibitor instead of logind, and its request is closed at the end of the count.
logind_mock old
start_private_bus session
export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS
start_dbusmock "$BUS_ADDRESS" org.freedesktop.portal.Desktop "$E2E_TMP/portal.log" --session \
    org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop org.freedesktop.portal.Inhibit
# The request handle is the main object itself, so that its Close is logged too.
for method in "Inhibit:Inhibit:sua{sv}:o:ret = '/org/freedesktop/portal/desktop'" "Request:Close:::"; do
    IFS=: read -r iface name in out code <<<"$method"
    bus_call "$BUS_ADDRESS" org.freedesktop.portal.Desktop /org/freedesktop/portal/desktop \
        org.freedesktop.DBus.Mock.AddMethod "string:org.freedesktop.portal.$iface" "string:$name" \
        "string:$in" "string:$out" "string:$code" >/dev/null
done
count_down
wait_for 5 grep -q ' Close' "$E2E_TMP/portal.log" || fail "portal request not closed after the count"
sleep 1
if [ "$(calls 'PowerOff False$')" != 1 ] || [ "$(calls ' Inhibit ')" != 0 ] ||
    [ "$(grep -c 'Inhibit "" 8 ' "$E2E_TMP/portal.log")" != 1 ] || [ "$(stderr_count "$FAILED")" != 0 ]; then
    fail "calls: $(cat "$LOG" "$E2E_TMP/portal.log")"
fi
note "older logind: PowerOff(false) after the refusal; portal inhibitor held, then closed"

# No bus at all: one line for each service, and the program carries on.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/quelvex-session-bus
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus
count_down
no_bus() {
    [ "$(stderr_count "$FAILED no system bus")" = 1 ] && [ "$(stderr_count "idle inhibitor not taken")" = 1 ] &&
        [ "$(stderr_count "Cannot switch the computer off: no system bus")" = 1 ] && error_box_shown
}
wait_for 5 no_bus || fail "no line or no error box about the missing bus"
sleep 1
app_alive || fail "the program exited without a bus"
pass
