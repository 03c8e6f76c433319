# shellcheck shell=bash
# Shared by the capture scripts: the program started in a chosen folder with --dry-run, counts of
# three seconds with the end-of-count capture, and a check of the JPEG it writes.
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/e2e_lib.sh"

readonly POWER_LINE="quelvex: power-off requested"
# shellcheck disable=SC2034 # used by the scripts that source this file
readonly ERROR_LINE="quelvex: Cannot create file Quelvex ScreenCAP "

# start_app_in DIR [NAME=VALUE...]: a rehearsal in DIR, in program-counter mode.
start_app_in() {
    E2E_ARGS=(--dry-run)
    start_app "$@"
    find_window
    wait_for 10 geometry_is "$E2E_WID" "$WIN_X" "$WIN_Y" "$WIN_W" "$WIN_H" || fail "window not at its opening place"
    sleep 1
    click_pc_mode
    sleep 0.5
}

# The switches of the options panel, open at start. They act on press.
toggle_capture() { click_control 199 257 16 12; }
toggle_hide_on_capture() { click_control 234 270 16 12; }

# capture_name [DATE_ARGS...]: the capture file's name for a moment (default now).
capture_name() { date "$@" +'Quelvex ScreenCAP %-H.%-M %-d-%-m-%Y.jpg'; }

# count_three_seconds [CHECK]: RESET, enter 00:00:03, START, run CHECK if given, and wait until
# the count's power-off request. Sets NAMES to the two names the capture may bear (the minute may
# turn during the count).
count_three_seconds() {
    local before
    before=$(stderr_count "$POWER_LINE")
    click_control 30 90 128 28
    sleep 0.3
    for _ in 1 2 3; do click_seconds_up; done
    sleep 0.3
    NAMES=("$(capture_name)" "$(capture_name -d '+30 seconds')")
    click_start
    [ $# -eq 0 ] || "$1"
    more_power_requests() { [ "$(stderr_count "$POWER_LINE")" -gt "$before" ]; }
    wait_for 15 more_power_requests || fail "no power-off request at the end of the count"
    sleep 0.5
}

# The capture among NAMES in DIR, into CAPTURE; fails when there is none.
find_capture() {
    CAPTURE=""
    for n in "${NAMES[@]}"; do [ -f "$1/$n" ] && CAPTURE="$1/$n"; done
    [ -n "$CAPTURE" ] || fail "no capture named '${NAMES[0]}' in $1: $(ls -A "$1")"
}

# check_jpeg FILE W H: a baseline 3-component JFIF of W x H at quality 90.
check_jpeg() {
    [ "$(head -c 10 "$1" | tail -c 4)" = JFIF ] || fail "$1 is not a JFIF file"
    local frame
    frame=$(djpeg -verbose "$1" 2>&1 >/dev/null | grep 'Start Of Frame') || true
    [ "$frame" = "Start Of Frame 0xc0: width=$2, height=$3, components=3" ] ||
        fail "$1: not a baseline $2x$3 colour JPEG: $frame"
    [ "$(identify -format '%Q' "$1")" = 90 ] || fail "$1: quality $(identify -format '%Q' "$1"), not 90"
}
