#!/usr/bin/env bash
# The command line of the real program on a private session bus: a bad value is refused with
# status 2 and no window; --in counts down and ends in the rehearsed power-off; later starts hand
# their command line to the running program (a new count, --stop) and a plain start leaves one
# window. Real runs and rehearsals stay apart.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
# shellcheck source=tests/e2e/dbus_mock_lib.sh
source "$(dirname "$0")/dbus_mock_lib.sh"

start_x
start_private_bus session
export DBUS_SESSION_BUS_ADDRESS=$BUS_ADDRESS

# quelvex ARGS…: a later start, in the first one's session; sets RC, its stderr in $E2E_TMP/later.
quelvex() {
    RC=0
    env HOME="$E2E_TMP/home" LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" \
        timeout 20 "$E2E_BIN" "$@" </dev/null >/dev/null 2>"$E2E_TMP/later" || RC=$?
}
windows() { xdotool search --onlyvisible --name '^Quelvex' 2>/dev/null | wc -l; }
power_offs() { grep -c 'power-off requested' "$E2E_TMP/stderr" || true; }
powered_off() { [ "$(power_offs)" -ge 1 ]; }

quelvex --in 100:00:00 --dry-run
[ "$RC" = 2 ] || fail "--in 100:00:00 gave status $RC"
[ "$(wc -l <"$E2E_TMP/later")" = 1 ] && grep -q '99:59:59' "$E2E_TMP/later" || fail "message: $(cat "$E2E_TMP/later")"
quelvex --in 1m --at 10:00
[ "$RC" = 2 ] && [ "$(windows)" = 0 ] || fail "--in with --at: status $RC, $(windows) windows"
note "bad values refused with status 2, no window"

E2E_ARGS=(--in 0:00:03 --dry-run)
started=$(now_ms)
start_app
wait_for 15 powered_off || fail "no rehearsed power-off within 15 s"
elapsed=$(($(now_ms) - started))
note "power-off rehearsed ${elapsed} ms after the start with --in 0:00:03"
((elapsed >= 2000 && elapsed <= 6000)) || fail "power-off after $elapsed ms"
find_window

quelvex --in 0:00:04 --dry-run
[ "$RC" = 0 ] || fail "handing over --in gave status $RC: $(cat "$E2E_TMP/later")"
sleep 1
quelvex --stop --dry-run
[ "$RC" = 0 ] || fail "--stop gave status $RC: $(cat "$E2E_TMP/later")"
sleep 5
[ "$(power_offs)" = 1 ] || fail "the stopped count still ended in a power-off"
note "a later start's --in and --stop reach the running count"
# An --at whose second has come is set for tomorrow and says so (tried again if a second went by).
for _ in 1 2 3; do quelvex --at "$(date -d '+1 sec' +%T)" --dry-run && grep -q 'tomorrow$' "$E2E_TMP/later" && break; done
[ "$(wc -l <"$E2E_TMP/later")" = 1 ] && grep -q ' is now: .* tomorrow$' "$E2E_TMP/later" || fail "--at now: status $RC, $(cat "$E2E_TMP/later")"
note "$(cat "$E2E_TMP/later")"

quelvex --dry-run
[ "$RC" = 0 ] || fail "a plain later start gave status $RC"
sleep 1
[ "$(windows)" = 1 ] || fail "$(windows) windows after a second start"
[ "$(xdotool getwindowfocus 2>/dev/null)" = "$E2E_WID" ] || fail "the second start did not bring the window forward"
quelvex --stop
[ "$RC" = 1 ] && grep -q 'no Quelvex runs' "$E2E_TMP/later" || fail "--stop of a real run: status $RC, $(cat "$E2E_TMP/later")"
app_alive || fail "the program ended"
note "one window, brought forward; a real --stop does not reach a rehearsal"
pass
