#!/usr/bin/env bash
# The program opens its window centred, at full height, titled and drawn with its skin, and asks
# for no action while it merely runs.
#   startup.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

start_x
start_app
find_window
wid=$E2E_WID

title=$(xdotool getwindowname "$wid")
[ "$title" = "Quelvex 5.0" ] || fail "window title is '$title'"

# The first show may still be settling when the window maps; give it time, then insist.
if ! wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H"; then
    window_geometry "$wid" || true
    fail "window at ${X:-?},${Y:-?} size ${WIDTH:-?}x${HEIGHT:-?}; expected $WIN_X,$WIN_Y size ${WIN_W}x$WIN_H"
fi
note "window at $X,$Y size ${WIDTH}x$HEIGHT"

# Drawn with the skin: a good share of the window lit, in many colours (pictures, not a flat fill).
drawn() {
    grab "$E2E_TMP/window.png" "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"
    lit=$(lit_fraction "$E2E_TMP/window.png")
    colours=$(colour_count "$E2E_TMP/window.png")
    awk -v l="$lit" 'BEGIN { exit !(l >= 0.25) }' && [ "$colours" -ge 64 ]
}
wait_for 15 drawn || fail "window looks undrawn: lit fraction ${lit:-?}, ${colours:-?} colours"
note "window drawn: lit fraction $lit, $colours colours"

# Nothing is drawn outside the window: the strips around it are the bare root (one colour).
for strip in "${WIN_W}x8+${WIN_X}+$((WIN_Y - 8))" "${WIN_W}x8+${WIN_X}+$((WIN_Y + WIN_H))" \
    "8x${WIN_H}+$((WIN_X - 8))+${WIN_Y}" "8x${WIN_H}+$((WIN_X + WIN_W))+${WIN_Y}"; do
    grab "$E2E_TMP/strip.png" "$strip"
    [ "$(colour_count "$E2E_TMP/strip.png")" = 1 ] || fail "something drawn outside the window at $strip"
done

# Standing idle, in its default mode, for a couple of clock seconds: no action is requested.
sleep 2.5
app_alive || fail "the program exited on its own"
for action in "power-off requested" "alarm requested" "screen capture requested"; do
    [ "$(stderr_count "$action")" = 0 ] || fail "'$action' while idle"
done
[ -z "${E2E_SHOT:-}" ] || grab "$E2E_SHOT"
pass
