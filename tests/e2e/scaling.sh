#!/usr/bin/env bash
# The window at 100 %, 150 % and 200 % (QT_SCALE_FACTOR) in the same state: each is its logical
# size times the factor, looks like the 100 % window when brought back to that size, and at 150 %
# is as sharp as the 200 % window brought down to 150 % (no 1x pictures blown up). At 175 % a
# capture, read from X11 or by Qt, still covers the whole screen.
#   scaling.sh PATH_TO_QUELVEX [OUT_DIR]
# With OUT_DIR, the 150 % window is kept there as quelvex-150.png (the metadata's screenshot).
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
OUT_DIR=${2:-}
[ -z "$OUT_DIR" ] || OUT_DIR=$(realpath -m "$OUT_DIR")

# scaled FACTOR VALUE: VALUE device pixels at the factor, rounded.
scaled() { awk -v f="$1" -v v="$2" 'BEGIN { printf "%d", v * f + 0.5 }'; }

# Clicks a control given by its window rectangle X Y W H, at factor $factor.
click_scaled() {
    click "$((X + $(scaled "$factor" $(($1 * 2 + $3)) ) / 2))" "$((Y + $(scaled "$factor" $(($2 * 2 + $4)) ) / 2))"
}

# Mean difference between neighbouring pixels, across and down: how sharp a picture is.
sharpness() {
    local across down
    across=$(convert "$1" -colorspace Gray \( +clone -roll +1+0 \) -compose difference -composite \
        -crop +1+0 +repage -format '%[fx:mean]' info:)
    down=$(convert "$1" -colorspace Gray \( +clone -roll +0+1 \) -compose difference -composite \
        -crop +0+1 +repage -format '%[fx:mean]' info:)
    echo "$across $down"
}

psnr() {
    local out
    out=$(compare -metric PSNR "$1" "$2" null: 2>&1) || true
    [[ "$out" =~ ^[0-9.]+$|^inf$ ]] || fail "cannot compare $1 and $2: $out"
    echo "$out"
}

start_x
E2E_ARGS=(--dry-run)
for factor in 1 1.5 2; do
    start_app "$E2E_TMP/work" QT_SCALE_FACTOR="$factor"
    find_window
    w=$(scaled "$factor" "$WIN_W") h=$(scaled "$factor" "$WIN_H")
    sized() { window_geometry "$E2E_WID" && [ "$WIDTH,$HEIGHT" = "$w,$h" ]; }
    wait_for 10 sized || fail "at $factor the window is ${WIDTH:-?}x${HEIGHT:-?}, expected ${w}x$h"
    # A state that stands still: program-counter mode, 00:00:02 entered, the alarm on.
    click_scaled 202 126 112 26
    click_scaled 420 36 36 34
    click_scaled 420 36 36 34
    click_scaled 199 239 16 12
    sleep 1.5
    grab "$E2E_TMP/at-$factor.png" "${w}x$h+$X+$Y"
    note "$factor: ${w}x$h at $X,$Y"
    stop_pid "$E2E_APID"
    E2E_APID=""
done

# Brought back to 100 %, both larger windows show what the 100 % one shows.
for factor in 1.5 2; do
    convert "$E2E_TMP/at-$factor.png" -filter box -resize "${WIN_W}x${WIN_H}!" "$E2E_TMP/back-$factor.png"
    p=$(psnr "$E2E_TMP/at-1.png" "$E2E_TMP/back-$factor.png")
    note "$factor brought to 100 %: PSNR $p dB"
    awk -v p="$p" 'BEGIN { exit !(p == "inf" || p >= 24) }' || fail "at $factor the window differs from 100 % (PSNR $p dB)"
done

# 150 % against the 200 % window brought down to 150 %: as close, and as sharp, as can be.
convert "$E2E_TMP/at-2.png" -filter box -resize "$(scaled 1.5 "$WIN_W")x$(scaled 1.5 "$WIN_H")!" "$E2E_TMP/ideal-1.5.png"
p=$(psnr "$E2E_TMP/ideal-1.5.png" "$E2E_TMP/at-1.5.png")
read -r ia id <<<"$(sharpness "$E2E_TMP/ideal-1.5.png")"
read -r sa sd <<<"$(sharpness "$E2E_TMP/at-1.5.png")"
note "150 %: PSNR $p dB against 200 % brought down; sharpness $sa/$sd against $ia/$id"
awk -v p="$p" 'BEGIN { exit !(p >= 24) }' || fail "150 % differs from 200 % brought down (PSNR $p dB)"
awk -v a="$sa" -v d="$sd" -v ia="$ia" -v id="$id" 'BEGIN { exit !(a >= 0.9 * ia && d >= 0.9 * id) }' ||
    fail "150 % is blurred: sharpness $sa/$sd against $ia/$id"

# At 175 % Qt rounds the screen to 731 scaled pixels, 1279.25 device pixels.
factor=1.75
for method in x11 qt; do
    rm -rf "$E2E_TMP/work"/*.jpg
    start_app "$E2E_TMP/work" QT_SCALE_FACTOR=$factor QUELVEX_CAPTURE=$method
    find_window
    wait_for 10 window_geometry "$E2E_WID" || fail "no window at $factor"
    sleep 1
    for control in "202 126 112 26" "420 36 36 34" "199 257 16 12" "5 41 176 44"; do
        # shellcheck disable=SC2086 # a rectangle's four numbers
        click_scaled $control
        sleep 0.3
    done
    wait_for 5 eval '[ "$(stderr_count "power-off requested")" = 1 ]' || fail "no end of count at $factor"
    size=$(identify -format '%wx%h' "$E2E_TMP/work"/*.jpg)
    [ "$size" = "${SCREEN_W}x$SCREEN_H" ] || fail "$method capture at $factor is $size"
    stop_pid "$E2E_APID"
    E2E_APID=""
done
note "175 %: X11 and Qt captures are ${SCREEN_W}x$SCREEN_H"

if [ -n "$OUT_DIR" ]; then
    mkdir -p "$OUT_DIR"
    cp "$E2E_TMP/at-1.5.png" "$OUT_DIR/quelvex-150.png"
fi
pass
