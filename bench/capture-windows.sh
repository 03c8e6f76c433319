#!/usr/bin/env bash
# One full-screen capture (grab + JPEG encode + write) at 1920x1080: the Linux build's
# DesktopScreenGrab and quelvex.exe's WindowsScreenGrab under Wine, on the same busy screen of
# one Xvfb, in the same run.
#   bench/capture-windows.sh [BUILD_DIR=build] [WINDOWS_BUILD_DIR=build-windows] [RUNS=15]
# Uses the Wine prefix of the Windows build (tools/build-windows.sh --test makes it); any Wine
# session in it is ended first and at the end.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

root=$(realpath "$(dirname "$0")/..")
linux=$(realpath "${1:-$root/build}")/bench/quelvex_capture_bench
wbuild=$(realpath "${2:-$root/build-windows}")
exe="$wbuild/platform/windows/quelvex_capture_bench.exe"
runs=${3:-15}
for b in "$linux" "$exe"; do [ -f "$b" ] || { echo "not built: $b" >&2; exit 2; }; done
bench_use_wine "$wbuild"

start_xvfb "$BENCH_TMP" 1920x1080 || { echo "Xvfb did not start" >&2; exit 1; }
BENCH_PIDS+=("$XVFB_PID")
# A plasma fractal with a grain, as in capture.sh: a gradient alone would flatter the encoder.
convert -size 1920x1080 plasma:fractal -attenuate 0.4 +noise Gaussian "$BENCH_TMP/screen.png"
display -window root "$BENCH_TMP/screen.png" || true
cd "$BENCH_TMP/work"
# Wine's first program of a session also starts the session: not counted.
wine_env wine "$exe" 1 w0.jpg >/dev/null
printf '%-8s %s\n' linux "$("$linux" "$runs" "$BENCH_TMP/work/l.jpg" | tail -n1)"
printf '%-8s %s\n' wine "$(wine_env wine "$exe" "$runs" w.jpg | tr -d '\r')"
printf 'jpeg_kib linux %d, wine %d\n' $(($(stat -c %s l.jpg) / 1024)) $(($(stat -c %s w.jpg) / 1024))
