#!/usr/bin/env bash
# Full-screen capture (grab + JPEG encode + write) under Xvfb at 1920x1080 and 3840x2160, on a
# busy photo-like screen, beside scrot and ImageMagick's import on the same screen in the same
# run; then the resident memory over a long series of captures.
#   bench/capture.sh BUILD_DIR [RUNS=15] [SERIES=1000]
# Goal: at most 20 ms and 70 ms, at most a quarter of scrot's time; SERIES captures grow the
# resident memory by less than 1 MiB after the first.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR [RUNS=15] [SERIES=1000]}")
runs=${2:-15}
series=${3:-1000}
bench="$build/bench/quelvex_capture_bench"
[ -x "$bench" ] || { echo "not built: $bench" >&2; exit 2; }
for tool in scrot import convert display; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (tools/install-deps.sh test)" >&2; exit 2; }
done
cd "$BENCH_TMP/work"

# median_of_command RUNS COMMAND...: wall time of a whole command (process start included), ms.
median_of_command() {
    local n=$1 i s e
    shift
    for ((i = 0; i < n; i++)); do
        s=$(date +%s%N)
        "$@" >/dev/null 2>&1
        e=$(date +%s%N)
        echo $(((e - s) / 100000))
    done | sort -n | awk '{ a[NR] = $1 } END { m = a[int((NR + 1) / 2)]; printf "%d.%d", m / 10, m % 10 }'
}

# A plasma fractal with a grain: smooth areas and fine detail, as in a photograph. A gradient
# alone would flatter the encoder.
show_busy_screen() {
    convert -size "$1" plasma:fractal -attenuate 0.4 +noise Gaussian "$BENCH_TMP/screen.png"
    display -window root "$BENCH_TMP/screen.png" || true # sets the root's background, then exits
    import -window root "$BENCH_TMP/check.png"
    local sd
    sd=$(convert "$BENCH_TMP/check.png" -format '%[fx:standard_deviation]' info:)
    awk -v s="$sd" 'BEGIN { exit !(s > 0.05) }' || { echo "the screen is not busy: sd $sd" >&2; exit 1; }
}

printf '%-10s %11s %13s %10s %10s %9s %9s\n' screen quelvex_ms quelvex_cmd_ms scrot_ms import_ms vs_scrot jpeg_kib
for size in 1920x1080 3840x2160; do
    start_xvfb "$BENCH_TMP" "$size" || { echo "Xvfb did not start" >&2; exit 1; }
    BENCH_PIDS+=("$XVFB_PID")
    show_busy_screen "$size"
    ours=$("$bench" "$runs" "$BENCH_TMP/work/q.jpg" | sed -n 's/^median_ms=\([0-9.]*\).*/\1/p')
    kib=$(($(stat -c %s q.jpg) / 1024))
    ours_cmd=$(median_of_command "$runs" "$bench" 1 "$BENCH_TMP/work/c.jpg")
    scrot_ms=$(median_of_command "$runs" scrot -o -q 90 "$BENCH_TMP/work/s.jpg")
    import_ms=$(median_of_command "$runs" import -window root -quality 90 "$BENCH_TMP/work/i.jpg")
    printf '%-10s %11s %13s %10s %10s %9s %9s\n' "$size" "$ours" "$ours_cmd" "$scrot_ms" "$import_ms" \
        "$(awk -v a="$ours" -v b="$scrot_ms" 'BEGIN { printf "%.2f", a / b }')" "$kib"
    stop_pid "$XVFB_PID"
    unset 'BENCH_PIDS[${#BENCH_PIDS[@]}-1]'
done
echo "quelvex_ms: median of $runs captures in one process (the first included); quelvex_cmd_ms, scrot and"
echo "import: the whole command (process start, connection, one capture), median of $runs; vs_scrot: quelvex_ms / scrot_ms"

start_xvfb "$BENCH_TMP" 1920x1080 || { echo "Xvfb did not start" >&2; exit 1; }
BENCH_PIDS+=("$XVFB_PID")
show_busy_screen 1920x1080
echo "memory over $series captures at 1920x1080:"
"$bench" "$series" "$BENCH_TMP/work/m.jpg" | tail -n1
