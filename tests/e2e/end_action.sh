#!/usr/bin/env bash
# Every end action against logind stood in for by dbusmock on a private system bus (never a real one):
# its own call once, a refusal shown, an action not allowed refused, a suspend with the alarm on.
#   end_action.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"
SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
readonly MANAGER=org.freedesktop.login1.Manager LOG=$E2E_TMP/logind.log SS1
start_x
start_private_bus session && export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS # where a later start finds the running one
start_private_bus system && export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
start_dbusmock "$BUS_ADDRESS" org.freedesktop.login1 "$LOG" --system --template logind
mock() { bus_call "$DBUS_SYSTEM_BUS_ADDRESS" org.freedesktop.login1 /org/freedesktop/login1 "$@" >/dev/null; }
add_method() { mock org.freedesktop.DBus.Mock.AddMethod string:$MANAGER "string:$1" "string:$2" "string:$3" "string:$4"; }
for m in PowerOff Reboot Hibernate; do add_method ${m}WithFlags t "" ""; done
# A suspend notes how many inhibitors logind still holds as it is asked.
add_method SuspendWithFlags t "" "open('$E2E_TMP/held', 'a').write('%d\n' % len(globals().get('inhibitors', [])))"
add_method GetSessionByPID u o "ret = '/org/freedesktop/login1/session/c1'"
mock org.freedesktop.DBus.Mock.AddSession string:c1 string:seat0 uint32:1000 string:someone boolean:true
calls() { tail -n +"$FROM" "$LOG" | grep -cE -- "$1" || true; }
readonly ANY=' (PowerOff|Reboot|Suspend|Hibernate)(WithFlags)? |LockSession|TerminateSession'
# run [NAME=VALUE...]: a new program with E2E_ARGS; act ACTION [NAME=VALUE...]: 2 s towards ACTION.
run() { stop_pid "$E2E_APID" && E2E_APID="" FROM=$(($(wc -l <"$LOG") + 1)) && start_app "$E2E_TMP/work" "$@" && find_window; }
act() { E2E_ARGS=(--in 0:00:02 --action "$1") && run "${@:2}"
    wait_for 20 eval '[ "$(stderr_count " requested")" = 1 ]' && sleep 1 || fail "$1: not requested"; }

for case in "restart:RebootWithFlags 16" "suspend:SuspendWithFlags 16" "hibernate:HibernateWithFlags 16" \
    "lock:LockSession \"c1\"" "logout:TerminateSession \"c7\":XDG_SESSION_ID=c7"; do
    IFS=: read -r action call env <<<"$case"
    act "$action" ${env:+"$env"}
    [ "$(calls " $call$")" = 1 ] && [ "$(calls "$ANY")" = 1 ] && [ "$(stderr_count failed)" = 0 ] ||
        fail "$action: $(tail -n +"$FROM" "$LOG")"
    [ "$action" != suspend ] || { grab "$E2E_TMP/a.png" "$SS1" && sleep 2 && grab "$E2E_TMP/b.png" "$SS1" &&
        same_picture "$E2E_TMP/a.png" "$E2E_TMP/b.png"; } || fail "the count went on after the suspend"
done
note "each action made its own call once (lock through GetSessionByPID, log out through XDG_SESSION_ID)"
add_method RebootWithFlags t "" 'raise dbus.exceptions.DBusException("Permission denied", name="org.freedesktop.DBus.Error.AccessDenied")'
act restart
wait_for 8 error_box_shown && [ "$(stderr_count "quelvex: Cannot restart the computer: Permission denied")" = 1 ] ||
    fail "refused restart not shown"
# Hibernation not allowed: refused by a start, also rehearsed, and by the running one, which changes nothing.
add_method CanHibernate "" s "ret = 'no'"
readonly REFUSAL="this computer does not allow --action hibernate"
refused() { local rc=0 && "$E2E_BIN" "$@" >"$E2E_TMP/out" 2>&1 || rc=$?; [ $rc = 2 ] && [ "$(cat "$E2E_TMP/out")" = "quelvex: $REFUSAL" ]; }
refused --action hibernate && refused --dry-run --in 5s --action hibernate || fail "$(cat "$E2E_TMP/out")"
hand_over() { gdbus call --address "$DBUS_SESSION_BUS_ADDRESS" --dest example.quelvex.Quelvex --object-path \
    /example/quelvex/Quelvex --method example.quelvex.Quelvex.HandOver "['--in', '3s', '--action', '$1']" '{}' 2>&1; }
act lock
grep -qF "$REFUSAL" <<<"$(hand_over hibernate)" || fail "hand-over not refused"
sleep 4
[ "$(calls "$ANY")" = 1 ] && hand_over suspend >/dev/null || fail "refused hand-over acted, or an allowed one refused"
wait_for 8 eval '[ "$(calls " SuspendWithFlags 16$")" = 1 ]' || fail "the allowed hand-over did not act"
note "a refused restart is shown; an action not allowed is refused at start (also rehearsed) and in a hand-over"

# A suspend at a time of day with the alarm on: the count stays armed for tomorrow, yet lets its
# inhibitor go before it asks; the alarm sounds and the window goes on working.
pa() { env HOME="$E2E_TMP/home" XDG_RUNTIME_DIR="$E2E_TMP/runtime" "$@"; }
pa pulseaudio -n --daemonize=no --exit-idle-time=-1 --load="module-null-sink sink_name=null" \
    --load=module-native-protocol-unix >"$E2E_TMP/pulse.log" 2>&1 &
DBUS_MOCK_PIDS+=($!)
wait_for 10 pa pactl info >/dev/null 2>&1 || fail "PulseAudio did not start"
sounding() { pa timeout -s INT 0.5 parecord -d null.monitor --raw --format=s16le --rate=44100 --channels=1 "$E2E_TMP/rec.raw" || true
    sox -t raw -r 44100 -e signed -b 16 -c 1 "$E2E_TMP/rec.raw" -n stat 2>&1 | awk '/RMS +amplitude/ { exit !($3 > 0.02) }'; }
rm -f "$E2E_TMP/held"
E2E_ARGS=(--at "$(date -d '+6 sec' +%T)" --alarm --action suspend) && run
wait_for 10 eval '[ "$(calls " Inhibit ")" = 1 ]' && wait_for 15 test -s "$E2E_TMP/held" || fail "no inhibitor or no suspend"
wait_for 10 sounding || fail "no alarm"
[ "$(cat "$E2E_TMP/held")" = 0 ] || fail "the idle inhibitor was still held when the suspend was asked for"
grab "$E2E_TMP/a.png" "$SS1" && sleep 1.5 && grab "$E2E_TMP/b.png" "$SS1"
! same_picture "$E2E_TMP/a.png" "$E2E_TMP/b.png" && [ "$(calls "$ANY")" = 1 ] || fail "after the suspend"
note "suspend: alarm sounding, inhibitor let go before the call, program still running"
pass
