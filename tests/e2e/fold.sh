#!/usr/bin/env bash
# The options panel folds the window to 220 high and unfolds it back to 335, in place.
#   fold.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_x
start_app
find_window
wid=$E2E_WID
wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" || fail "window not at its opening place"
sleep 0.5

describe() {
    window_geometry "$wid" || true
    echo "${X:-?},${Y:-?} size ${WIDTH:-?}x${HEIGHT:-?}"
}

for round in 1 2; do
    # menuup: panel 198,116 -> window 198,304; folds on release.
    click_control 198 304 88 24
    wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H_FOLDED" ||
        fail "round $round: after folding, window at $(describe); expected ${WIN_W}x$WIN_H_FOLDED in place"
    note "round $round: folded to $(describe)"
    [ "$round" = 2 ] || [ -z "${E2E_SHOT:-}" ] || { sleep 0.5; grab "${E2E_SHOT%.png}-folded.png"; }

    # menudown: panel 197,3 -> window 197,191; shown only while folded.
    click_control 197 191 88 24
    wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" ||
        fail "round $round: after unfolding, window at $(describe); expected ${WIN_W}x$WIN_H in place"
    note "round $round: unfolded to $(describe)"
    sleep 0.3
done
app_alive || fail "the program exited"
pass
