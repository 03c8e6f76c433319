#!/usr/bin/env bash
# The end-of-count capture of the real program under Xvfb: a full-screen JPEG in the working
# folder with the window in it, or without it when the window hides for captures; a full disk and
# a read-only folder leave the earlier picture intact and no stray file, show the error and still
# request the power-off.
#   capture.sh PATH_TO_QUELVEX
# The folder faults need root (a small tmpfs of our own); without it they are skipped.
# shellcheck source=tests/e2e/capture_lib.sh
source "$(dirname "$0")/capture_lib.sh"

work="$E2E_TMP/work"
mkdir -p "$work"
mounted=0
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o size=16m quelvex-e2e "$work"; then
    mounted=1
    trap 'rc=$?; set +e; umount -l "$work" 2>/dev/null; (exit $rc); e2e_cleanup' EXIT
fi
win="${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}"

start_x
start_app_in "$work"
toggle_capture

# root_colour COLOUR: the root window's background, as a desktop's wallpaper.
root_colour() {
    convert -size 8x8 "xc:$1" "$E2E_TMP/root.png"
    display -window root "$E2E_TMP/root.png" || true
}
# rss_shmem PID: KiB of shared memory the process has touched.
rss_shmem() { awk '/^RssShmem:/ { print $2 }' "/proc/$1/status"; }
segment_kib=$((SCREEN_W * SCREEN_H * 4 / 1024))
# The capture armed at START is readied then: the program and the X server have each touched the
# whole screen-sized segment before the end of the count, no file comes of it, and the picture at
# the end is of the screen at the end.
readied() { (($(rss_shmem "$E2E_APID") >= segment_kib && $(rss_shmem "$E2E_XPID") >= x_shmem + segment_kib)); }
readied_or_captured() { readied || [ -n "$(ls -A "$work")" ]; }
readied_after_start() {
    wait_for 10 readied_or_captured || fail "the armed capture was not readied"
    [ -z "$(ls -A "$work")" ] || fail "no capture readied before the end of the count: $(ls -A "$work")"
    root_colour '#2060c0'
}

# Shown window: it is in the picture, as the screen showed it (allowing for JPEG's losses and
# for the clock's last second).
x_shmem=$(rss_shmem "$E2E_XPID")
count_three_seconds readied_after_start
find_capture "$work"
corner=$(convert "$CAPTURE" -crop 16x16+0+0 -scale '1x1!' -format '%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]' info:)
awk -v c="$corner" 'BEGIN { split(c, v, " "); exit !((v[1] - 32)^2 + (v[2] - 96)^2 + (v[3] - 192)^2 < 300) }' ||
    fail "the picture is not of the screen at the end of the count (corner $corner)"
root_colour black
check_jpeg "$CAPTURE" "$SCREEN_W" "$SCREEN_H"
cp "$CAPTURE" "$E2E_TMP/good.jpg"
convert "$CAPTURE" -crop "$win" +repage "$E2E_TMP/in-picture.png"
grab "$E2E_TMP/on-screen.png" "$win"
differing=$(pixels_differing "$E2E_TMP/in-picture.png" "$E2E_TMP/on-screen.png" 12%)
((differing < WIN_W * WIN_H / 20)) || fail "the window is not in the picture ($differing pixels differ)"
note "window in the picture: $(basename "$CAPTURE")"

# Hidden for captures: the screen behind the window (black) is in the picture, and the window
# is back afterwards.
rm -f "$work"/*.jpg
toggle_hide_on_capture
count_three_seconds
find_capture "$work"
check_jpeg "$CAPTURE" "$SCREEN_W" "$SCREEN_H"
convert "$CAPTURE" -crop "$win" +repage "$E2E_TMP/hidden.png"
lit=$(lit_fraction "$E2E_TMP/hidden.png")
awk -v l="$lit" 'BEGIN { exit !(l < 0.01) }' || fail "the hidden window is in the picture (lit $lit)"
wait_for 3 window_mapped || fail "the window did not come back after the capture"
[ "$(stderr_count "$ERROR_LINE")" = 0 ] || fail "an error was reported for a writable folder"
note "window hidden in the picture and back after it"

# A count of 00:01:01 with a picture every minute: the count ends while the minute's hidden
# sequence still takes its pictures. The last one, which the file keeps, has no window in it.
rm -f "$work"/*.jpg
before=$(stderr_count "$POWER_LINE")
for control in "234 284 16 12" "414 283 13 13" "30 90 128 28" "378 36 36 34" "420 36 36 34"; do
    # shellcheck disable=SC2086 # a rectangle's four numbers: rate lamp, 1 minute, RESET, 00:01:01
    click_control $control
    sleep 0.3
done
# The count's first second is the rest of the second START falls in: it ends 60 to 63 s from here.
NAMES=("$(capture_name -d '+60 seconds')" "$(capture_name -d '+63 seconds')")
click_start
wait_for 75 eval '[ "$(stderr_count "$POWER_LINE")" -gt "$before" ]' || fail "no power-off after 00:01:01"
find_capture "$work"
convert "$CAPTURE" -crop "$win" +repage "$E2E_TMP/sequence.png"
lit=$(lit_fraction "$E2E_TMP/sequence.png")
awk -v l="$lit" 'BEGIN { exit !(l < 0.01) }' || fail "the window is in the sequence's last picture (lit $lit)"
wait_for 3 window_mapped || fail "the window did not come back after the sequence"
click_control 234 284 16 12
note "count ending in a hidden sequence: no window in its last picture"

# error_shown N: N capture errors on stderr and an error box besides the window.
error_shown() { [ "$(stderr_count "$ERROR_LINE")" = "$1" ] && error_box_shown; }
# only_good_files: the folder holds the earlier capture under both names, intact, and nothing else
# but what the test put there.
only_good_files() {
    local n
    for n in "${NAMES[@]}"; do cmp -s "$E2E_TMP/good.jpg" "$work/$n" || fail "earlier capture $n damaged"; done
    n=$(find "$work" -mindepth 1 ! -name 'Quelvex ScreenCAP *' ! -name filler | wc -l)
    [ "$n" = 0 ] || fail "stray files left: $(ls -A "$work")"
}

if [ "$mounted" = 1 ]; then
    # A full disk, with a good capture of the same minute already there.
    rm -f "$work"/*.jpg
    for n in "$(capture_name)" "$(capture_name -d '+1 minute')" "$(capture_name -d '+2 minutes')"; do
        cp "$E2E_TMP/good.jpg" "$work/$n"
    done
    dd if=/dev/zero of="$work/filler" bs=4k 2>/dev/null || true
    count_three_seconds
    wait_for 5 error_shown 1 || fail "no error shown for a full disk"
    only_good_files
    note "full disk: earlier capture intact, error shown, power-off requested"

    # A folder that cannot be written at all.
    xdotool windowmove "$(error_box)" 0 0 # out of the way of the clicks
    rm -f "$work/filler"
    mount -o remount,ro "$work"
    count_three_seconds
    wait_for 5 error_shown 2 || fail "no error shown for a read-only folder"
    only_good_files
    note "read-only folder: error shown, power-off requested"
else
    note "not root: full-disk and read-only folder cases skipped"
fi
app_alive || fail "the program exited"
pass
