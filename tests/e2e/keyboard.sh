#!/usr/bin/env bash
# The window by keyboard alone: Tab walks to the program-counter button, Space chooses it, Tab on
# to the seconds, Up enters three, Shift+Tab back to START and Enter starts a count that ends in
# the (rehearsed) action chosen. Escape neither closes nor folds anything. It runs as on a machine with
# a network where the update page cannot be loaded, with the pointer resting on the window: the
# web strip's view under the link bar takes none of the keys.
#   keyboard.sh PATH_TO_QUELVEX SKIN_DIR
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
source "$(dirname "$0")/dbus_mock_lib.sh"

E2E_ARGS=(--dry-run)
start_x
start_private_bus system
start_dbusmock "$BUS_ADDRESS" org.freedesktop.login1 "$E2E_TMP/logind.log" --system --template logind
export DBUS_SYSTEM_BUS_ADDRESS=$BUS_ADDRESS
failing_site
start_app "" QUELVEX_SITE_URL="$SITE"
find_window
wid=$E2E_WID
wait_for 15 window_drawn || fail "window not drawn"
wait_for 30 update_page_asked || fail "the program did not ask for the update page: no network seen here?"
xdotool mousemove "$(sx 300)" "$(sy 150)"
xdotool windowfocus --sync "$wid" 2>/dev/null || true

keys() { xdotool key --delay 30 "$@"; }
keys Escape
sleep 0.3
app_alive && window_mapped || fail "Escape closed the window"
height_is "$wid" "$WIN_H" || fail "Escape folded the options"

# Title link, help, minimise, close, START, RESET, language, system time, program counter.
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab space
# Hours up, hours, hours down, minutes up, minutes, minutes down, seconds up, seconds.
keys Tab Tab Tab Tab Tab Tab Tab Tab Up Up Up
seconds_read() {
    grab "$E2E_TMP/s1.png" "13x23+$(sx 438)+$(sy 75)" && grab "$E2E_TMP/s2.png" "13x23+$(sx 422)+$(sy 75)" &&
        shows_picture "$E2E_TMP/s1.png" "$E2E_SKIN/n3.png" && shows_picture "$E2E_TMP/s2.png" "$E2E_SKIN/n0.png"
}
wait_for 10 seconds_read || fail "Space and Up did not enter three seconds in the program counter"
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space # eleven stops on: the end action
menu_open() { [ "$(xdotool search --onlyvisible --classname quelvex | wc -l)" = 2 ]; }
wait_for 10 menu_open || fail "Space on the end action opened no menu"
keys Down Return shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab \
    shift+Tab shift+Tab # the entry after the one chosen (the mock logind allows all), back to the seconds
# Back over the same twelve stops to START.
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab \
    shift+Tab shift+Tab shift+Tab Return
started=$(now_ms) POWER_LINE="quelvex: restart requested (dry run: not performed)"
wait_for 15 power_requested || fail "no restart after a three-second count entered by keyboard"
elapsed=$(($(now_ms) - started))
((elapsed >= 1000)) || fail "restart after $elapsed ms: the count was not the three seconds entered"
note "count entered and started by keyboard ran out after $elapsed ms"
app_alive || fail "the program exited"
pass
