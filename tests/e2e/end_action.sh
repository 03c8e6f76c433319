#!/usr/bin/env bash
# Every end action against logind stood in for by dbusmock on a private system bus (never a real
# one): each makes its own call once; a refusal is shown; an action logind does not allow is
# refused at start and in a hand-over; a suspend with the alarm on lets the idle inhibitor go first.
#   end_action.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"

readonly LOGIND=org.freedesktop.login1 MANAGER=org.freedesktop.login1.Manager LOG=$E2E_TMP/logind.log
SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
readonly SS1
start_x
start_private_bus system
export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
start_private_bus session # where a later start finds the running one
export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS
start_dbusmock "$DBUS_SYSTEM_BUS_ADDRESS" $LOGIND "$LOG" --system --template logind
mock() { bus_call "$DBUS_SYSTEM_BUS_ADDRESS" $LOGIND /org/freedesktop/login1 "$@" >/dev/null; }
add_method() { mock org.freedesktop.DBus.Mock.AddMethod string:$MANAGER "string:$1" "string:$2" "string:$3" "string:$4"; }
# Each suspend notes how many inhibitors logind still holds as it is asked.
for m in PowerOff Reboot Hibernate; do add_method ${m}WithFlags t "" ""; done
add_method SuspendWithFlags t "" "open('$E2E_TMP/held', 'a').write('%d\n' % len(globals().get('inhibitors', [])))"
add_method GetSessionByPID u o "ret = '/org/freedesktop/login1/session/c1'"
mock org.freedesktop.DBus.Mock.AddSession string:c1 string:seat0 uint32:1000 string:someone boolean:true

# act ACTION [NAME=VALUE...]: a new program counting 2 s towards ACTION; waits for its request.
act() {
    stop_pid "$E2E_APID"
    E2E_APID="" E2E_ARGS=(--in 0:00:02 --action "$1") FROM=$(($(wc -l <"$LOG") + 1))
    start_app "$E2E_TMP/work" "${@:2}"
    find_window
    wait_for 20 eval '[ "$(stderr_count " requested")" = 1 ]' || fail "$1: not requested"
    sleep 1
}
calls() { tail -n +"$FROM" "$LOG" | grep -cE -- "$1" || true; }
readonly ANY_ACTION=' (PowerOff|Reboot|Suspend|Hibernate)(WithFlags)? |LockSession|TerminateSession'

for case in "restart:RebootWithFlags 16" "suspend:SuspendWithFlags 16" "hibernate:HibernateWithFlags 16" \
    "lock:LockSession \"c1\"" "logout:TerminateSession \"c7\":XDG_SESSION_ID=c7"; do
    IFS=: read -r action call env <<<"$case"
    act "$action" ${env:+"$env"}
    [ "$(calls " $call$")" = 1 ] && [ "$(calls "$ANY_ACTION")" = 1 ] || fail "$action: $(tail -n +"$FROM" "$LOG")"
    [ "$(stderr_count failed)" = 0 ] || fail "$action failed"
    [ "$action" = suspend ] || continue
    grab "$E2E_TMP/ss1-a.png" "$SS1" && sleep 2 && grab "$E2E_TMP/ss1-b.png" "$SS1"
    same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png" && app_alive || fail "suspend: the count did not end"
done
note "each action made its own call once (lock through GetSessionByPID, log out through XDG_SESSION_ID)"

add_method RebootWithFlags t "" 'raise dbus.exceptions.DBusException("Permission denied", name="org.freedesktop.DBus.Error.AccessDenied")'
act restart
wait_for 8 error_box_shown || fail "no error box for a refused restart"
[ "$(stderr_count "quelvex: Cannot restart the computer: Permission denied")" = 1 ] || fail "refusal not shown as such"
note "a refused restart is shown"

# Hibernation not allowed: a start asking for it is refused, and so is a hand-over, which changes nothing.
add_method CanHibernate "" s "ret = 'no'"
for options in "--action hibernate" "--dry-run --in 5s --action hibernate"; do
    # shellcheck disable=SC2086
    set +e && "$E2E_BIN" $options >"$E2E_TMP/out" 2>&1
    rc=$? && set -e
    [ "$rc" = 2 ] && [ "$(cat "$E2E_TMP/out")" = "quelvex: this computer does not allow --action hibernate" ] ||
        fail "$options: status $rc, $(cat "$E2E_TMP/out")"
done
hand_over() {
    gdbus call --address "$DBUS_SESSION_BUS_ADDRESS" --dest example.quelvex.Quelvex --object-path \
        /example/quelvex/Quelvex --method example.quelvex.Quelvex.HandOver "['--in', '3s', '--action', '$1']" '{}' 2>&1
}
act lock
hand_over hibernate >"$E2E_TMP/refused" || true
grep -qF "this computer does not allow --action hibernate" "$E2E_TMP/refused" || fail "hand-over not refused: $(cat "$E2E_TMP/refused")"
sleep 4
[ "$(calls "$ANY_ACTION")" = 1 ] || fail "a refused hand-over acted: $(tail -n +"$FROM" "$LOG")"
hand_over suspend >/dev/null || fail "hand-over of an allowed action refused"
wait_for 8 eval '[ "$(calls " SuspendWithFlags 16$")" = 1 ]' || fail "the allowed hand-over did not act"
note "an action logind does not allow is refused at start (also rehearsed) and in a hand-over"

# A suspend at a time of day with the alarm on: the program stays armed for the next day, yet
# lets its inhibitor go before it asks; the alarm sounds and the window goes on working.
mkdir -p "$E2E_TMP/runtime" "$E2E_TMP/home" && chmod 700 "$E2E_TMP/runtime"
pa() { env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$@"; }
pa pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix >"$E2E_TMP/pulse.log" 2>&1 &
DBUS_MOCK_PIDS+=($!)
wait_for 10 pa pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"
sounding() {
    pa timeout -s INT 0.5 parecord -d null.monitor --raw --format=s16le --rate=44100 --channels=1 "$E2E_TMP/rec.raw" || true
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$E2E_TMP/rec.raw" -n stat 2>&1 | awk '/RMS +amplitude/ { exit !($3 > 0.02) }'
}
stop_pid "$E2E_APID"
rm -f "$E2E_TMP/held"
E2E_APID="" E2E_ARGS=(--at "$(date -d '+6 sec' +%T)" --alarm --action suspend) FROM=$(($(wc -l <"$LOG") + 1))
start_app
find_window
wait_for 10 eval '[ "$(calls " Inhibit ")" = 1 ]' || fail "no idle inhibitor taken"
wait_for 15 eval '[ -s "$E2E_TMP/held" ]' || fail "no suspend asked for"
wait_for 10 sounding || fail "no alarm"
[ "$(cat "$E2E_TMP/held")" = 0 ] || fail "the idle inhibitor was still held when the suspend was asked for"
grab "$E2E_TMP/ss1-a.png" "$SS1" && sleep 1.5 && grab "$E2E_TMP/ss1-b.png" "$SS1"
! same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png" || fail "the time of day stopped after the suspend"
[ "$(calls "$ANY_ACTION")" = 1 ] && app_alive || fail "after the suspend: $(tail -n +"$FROM" "$LOG")"
note "suspend: alarm sounding, inhibitor let go before the call, program still running"
pass
