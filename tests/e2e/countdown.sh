#!/usr/bin/env bash
# Program-counter mode counts an entered three seconds on the left clock, then asks for the
# power-off exactly once and stops.
#   countdown.sh PATH_TO_QUELVEX [SKIN_DIR]
# With SKIN_DIR, the entered value is also read off the right clock against the skin's digit.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
S1="13x23+$(sx 438)+$(sy 75)"   # right clock (entry), last seconds digit
S2="13x23+$(sx 422)+$(sy 75)"   # right clock (entry), first seconds digit
readonly SS1 S1 S2

start_x
start_app
find_window
wid=$E2E_WID
wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" || fail "window not at its opening place"
wait_for 15 window_drawn || fail "window not drawn"

# The mode button acts on press. In program-counter mode the left clock rests at zero until
# START; across a clock-second boundary it must not move.
click_pc_mode
sleep 0.5
left_clock_still() {
    grab "$E2E_TMP/ss1-a.png" "$SS1"
    sleep 1.3
    grab "$E2E_TMP/ss1-b.png" "$SS1"
    same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png"
}
wait_for 8 left_clock_still || fail "left clock keeps moving after choosing program-counter mode"
note "program-counter mode: left clock at rest"

# Three quick presses of the seconds-up button enter 00:00:03.
for _ in 1 2 3; do click_seconds_up; done
if [ -n "$E2E_SKIN" ] && [ -f "$E2E_SKIN/n3.png" ] && [ -f "$E2E_SKIN/n0.png" ]; then
    entry_reads_03() {
        grab "$E2E_TMP/s1.png" "$S1"
        grab "$E2E_TMP/s2.png" "$S2"
        shows_picture "$E2E_TMP/s1.png" "$E2E_SKIN/n3.png" && shows_picture "$E2E_TMP/s2.png" "$E2E_SKIN/n0.png"
    }
    wait_for 5 entry_reads_03 || fail "right clock does not read 03 seconds after three presses"
    note "entry reads 03 seconds"
fi
sleep 0.3
grab "$E2E_TMP/ss1-before.png" "$SS1"

# START acts on release; the count then ticks on the left clock.
click_start
started=$(now_ms)
left_clock_moved() {
    grab "$E2E_TMP/ss1-now.png" "$SS1"
    ! same_picture "$E2E_TMP/ss1-before.png" "$E2E_TMP/ss1-now.png"
}
wait_for 8 left_clock_moved || fail "left clock did not move after START"
note "left clock moved $(($(now_ms) - started)) ms after START"

wait_for 15 power_requested || fail "no power-off request after the count"
note "power-off requested $(($(now_ms) - started)) ms after START"

# The count has ended: no second request and no further tick, across several clock seconds.
sleep 0.5
grab "$E2E_TMP/ss1-end.png" "$SS1"
sleep 3
grab "$E2E_TMP/ss1-later.png" "$SS1"
[ "$(stderr_count "$POWER_LINE")" = 1 ] || fail "power-off requested $(stderr_count "$POWER_LINE") times"
same_picture "$E2E_TMP/ss1-end.png" "$E2E_TMP/ss1-later.png" || fail "left clock still moves after the count ended"
app_alive || fail "the program exited after the count"
[ -z "${E2E_SHOT:-}" ] || grab "$E2E_SHOT"
pass
