#!/usr/bin/env bash
# quelvex.exe under Wine on its own Xvfb: the window opens centred at full size, the left clock
# runs with the time of day, a program-counter entry of three seconds ends in the rehearsed
# power-off, the options panel folds the window, later starts hand their command line over, the
# link bar stays while Wine (online, with no page engine) loads no page, a Spanish user gets the
# Spanish face, the keyboard and screen readers reach the buttons, and the end action's menu.
#   windows.sh PATH_TO_QUELVEX_EXE SKIN_DIR     (WINEPREFIX and HOME set to the build's prefix)
# Start it with no Wine session running in the prefix: a session keeps the screen it began on.
# With E2E_SHOT=FILE.png the English and Spanish windows are saved as FILE-english/-spanish.png.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
: "${WINEPREFIX:?the Wine prefix of the build}"
export WINEDEBUG=-all
SKIN=$(realpath "${2:?skin folder}")
readonly SKIN SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit

# The exe through wine, in its own working folder; the launched process is the program itself.
start_windows_app() {
    mkdir -p "$E2E_TMP/work"
    (
        cd "$E2E_TMP/work"
        exec env LC_ALL="$1" LANG="$1" DISPLAY="$DISPLAY" wine "$E2E_BIN" --dry-run \
            </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr"
    ) &
    E2E_APID=$!
}
# The start button (5,41) shows the skin picture of a language.
start_shows() {
    grab "$E2E_TMP/start.png" "176x44+$(sx 5)+$(sy 41)"
    shows_picture "$E2E_TMP/start.png" "$SKIN/$1.png"
}
opened_as_designed() {
    find_window
    wid=$E2E_WID
    [ "$(xdotool getwindowname "$wid")" = "Quelvex 5.0" ] || fail "title is '$(xdotool getwindowname "$wid")'"
    wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" ||
        fail "window at ${X:-?},${Y:-?} size ${WIDTH:-?}x${HEIGHT:-?}; expected $WIN_X,$WIN_Y ${WIN_W}x$WIN_H"
    wait_for 15 window_drawn || fail "window not drawn"
}

start_x
started=$(now_ms)
start_windows_app en_US.UTF-8
opened_as_designed
note "English window drawn at its place $(($(now_ms) - started)) ms after the start"
wait_for 5 start_shows starton || fail "START does not show the English picture"
readonly LINKS="480x21+$(sx 1)+$(sy 169)"
grab "$E2E_TMP/links-a.png" "$LINKS"

# The default mode shows the time of day: the seconds digit moves.
grab "$E2E_TMP/ss1-a.png" "$SS1"
seconds_moved() {
    grab "$E2E_TMP/ss1-b.png" "$SS1"
    ! same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png"
}
wait_for 3 seconds_moved || fail "the left clock does not show a running time of day"
[ -z "${E2E_SHOT:-}" ] || grab "${E2E_SHOT%.png}-english.png" "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"

# Program-counter mode, 00:00:03 entered, START: one rehearsed power-off after three seconds.
click_pc_mode
sleep 0.5
for _ in 1 2 3; do click_seconds_up; done
sleep 0.3
click_start
counting=$(now_ms)
POWER_LINE="quelvex: power-off requested (dry run: not performed)"
wait_for 10 power_requested || fail "no rehearsed power-off after the count"
elapsed=$(($(now_ms) - counting))
((elapsed >= 1000)) || fail "power-off after only $elapsed ms of a three-second count"
note "rehearsed power-off $elapsed ms after START"
sleep 2
[ "$(stderr_count "$POWER_LINE")" = 1 ] || fail "power-off requested $(stderr_count "$POWER_LINE") times"

# The options panel folds the window to 220 high in place, and unfolds it.
click_control 198 304 88 24
wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H_FOLDED" || fail "not folded to 220 in place"
click_control 197 191 88 24
wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" || fail "not unfolded to 335 in place"
note "folded to $WIN_H_FOLDED and back"

# Later starts hand their command line to this one: a count that ends in a second rehearsed
# power-off, one window all along; a bad value exits 2; a real --stop finds no real program.
later() {
    RC=0
    env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8 DISPLAY="$DISPLAY" timeout 30 wine "$E2E_BIN" "$@" \
        </dev/null >/dev/null 2>"$E2E_TMP/later" || RC=$?
}
later --in 0:00:02 --dry-run
[ "$RC" = 0 ] || fail "handing over --in gave status $RC: $(cat "$E2E_TMP/later")"
second_power() { [ "$(stderr_count "$POWER_LINE")" = 2 ]; }
wait_for 10 second_power || fail "the handed-over count did not end in a power-off"
[ "$(xdotool search --onlyvisible --name '^Quelvex' | wc -l)" = 1 ] || fail "a later start opened a window"
later --in 100:00:00 --dry-run
[ "$RC" = 2 ] && grep -q '99:59:59' "$E2E_TMP/later" || fail "--in 100:00:00: status $RC, $(cat "$E2E_TMP/later")"
later --stop
[ "$RC" = 1 ] || fail "a real --stop with only a rehearsal running gave status $RC"
note "later starts hand over, bad values exit 2"

# The star, then the Help link, show one help window, in English; kept for the Spanish one.
help_windows() { xdotool search --onlyvisible --name 'HELP$|^AYUDA' 2>/dev/null || true; }
one_help_window() { [ "$(help_windows | wc -l)" = 1 ] && help=$(help_windows); }
help_as() {
    wait_for 5 one_help_window || fail "$(help_windows | wc -l) help windows"
    [ "$(xdotool getwindowname "$help")" = "$1" ] || fail "help window titled '$(xdotool getwindowname "$help")'"
    window_geometry "$help"
    grab "$E2E_TMP/help-$2.png" "${WIDTH}x$HEIGHT+$X+$Y"
}
click "$(sx 418)" "$(sy 16)"
help_as "Quelvex 5.0   HELP" english
first=$help
xdotool windowmove "$help" 0 600 # out of the way of the link bar (there is no window manager)
click "$(sx 45)" "$(sy 178)"
help_as "Quelvex 5.0   HELP" english
[ "$help" = "$first" ] || fail "the Help link showed another help window"
note "one help window, English"

# Wine reports a connection, so the update page was asked for seconds ago; with no page engine here
# it never arrives: the link bar stays, the clock still runs, and no window but the program's two is up.
grab "$E2E_TMP/links-b.png" "$LINKS"
same_picture "$E2E_TMP/links-a.png" "$E2E_TMP/links-b.png" || fail "the link bar changed with no page loaded"
click_control 202 98 112 26 # the time of day again
sleep 1
grab "$E2E_TMP/ss1-a.png" "$SS1" && wait_for 3 seconds_moved || fail "the clock stopped once online"
[ "$(xdotool search --onlyvisible --name . | wc -l)" = 2 ] || fail "another window appeared once online"
click "$(sx 365)" "$(sy 175)" # Hide options, a link of the bar
wait_for 10 geometry_is "$wid" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H_FOLDED" || fail "Hide options did not fold"
note "online without a page: the link bar stays and its links work"

stop_pid "$E2E_APID"
E2E_APID=""
window_gone() { ! xdotool search --onlyvisible --name '^Quelvex' >/dev/null 2>&1; }
wait_for 10 window_gone || fail "the window outlived its program"

# A Spanish user: Wine takes the user's language from the locale.
start_windows_app es_ES.UTF-8
opened_as_designed
wait_for 5 start_shows iniciaron || fail "START does not show the Spanish picture under es_ES"
note "Spanish face under es_ES.UTF-8"
[ -z "${E2E_SHOT:-}" ] || grab "${E2E_SHOT%.png}-spanish.png" "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"

# By keyboard, once the window is active: Tab walks to the language button, Space switches it.
click "$(sx 120)" "$(sy 30)" # bare skin: activates the window, moves nothing
xdotool key --delay 50 Escape Tab Tab Tab Tab Tab Tab Tab space
wait_for 5 start_shows starton || fail "Tab and Space did not reach and press the language button"
xdotool key space
wait_for 5 start_shows iniciaron || fail "Space did not switch the language back"
note "Tab and Space switch the language"

# A screen reader hears the controls by name, role and value, and its press works.
probe() { wine "$(dirname "$E2E_BIN")/accessibility_probe.exe" "$@" | tr -d '\r' >"$E2E_TMP/probe.txt"; }
told() { grep -qxF "$1" "$E2E_TMP/probe.txt"; }
probe INICIAR || fail "no accessible START to press"
told $'INICIAR\t\t43\t1' && told $'horas\t00\t52\t1' && told $'Estado\tINACTIVO\t23\t1' ||
    fail "screen readers are told: $(head -c 600 "$E2E_TMP/probe.txt")"
probe && told $'Estado\tACTIVO\t23\t1' || fail "START pressed by a screen reader did not arm the clock"
note "screen readers are told the controls and can press them"
# The end action is a choice read with its value; pressing it opens the menu, where Escape leaves
# it as it was and the keyboard picks another.
chosen() { probe && told "Al final"$'\t'"$1"$'\t46\t1'; }
chosen "APAGAR EL ORDENADOR" || fail "no end action to choose: $(grep -a 'Al final' "$E2E_TMP/probe.txt")"
probe "Al final" && sleep 1 && xdotool key Escape && sleep 0.5 && chosen "APAGAR EL ORDENADOR" ||
    fail "Escape in the menu changed the action"
probe "Al final" && sleep 1 && xdotool key --delay 100 Down Down Return
wait_for 5 chosen "REINICIAR EL EQUIPO" || fail "the menu's second entry not chosen by the keyboard"
note "the end action's menu opens for a screen reader and takes the keyboard"

click "$(sx 418)" "$(sy 16)"
help_as "AYUDA de Quelvex 5.0" spanish
[ "$(pixels_differing "$E2E_TMP/help-english.png" "$E2E_TMP/help-spanish.png")" -gt 2000 ] ||
    fail "the help window shows the same manual in Spanish"
note "help window in Spanish"

app_alive || fail "the program exited"
pass
