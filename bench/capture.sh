#!/usr/bin/env bash
# Full-screen capture (grab + JPEG encode + write) under Xvfb at 1920x1080 and 3840x2160, on a
# busy photo-like screen, beside scrot and ImageMagick's import on the same screen in the same
# run; then, at 1920x1080, the first capture of a process against the later ones, the program's
# end-of-count capture against cjpeg on the same frame, each also for a baseline build when one is
# given, and the resident memory over a long series of captures.
#   bench/capture.sh BUILD_DIR [RUNS=15] [SERIES=1000] [BASELINE_BUILD_DIR]
# Goal: at most 20 ms and 70 ms, at most a quarter of scrot's time; the end-of-count capture at
# most 1.5 times a later capture; SERIES captures grow the resident memory by less than 1 MiB
# after the first.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR [RUNS=15] [SERIES=1000] [BASELINE_BUILD_DIR]}")
runs=${2:-15}
series=${3:-1000}
baseline=${4:+$(realpath "$4")}
bench="$build/bench/quelvex_capture_bench"
starts=5
for b in "$bench" "$build/app/quelvex" ${baseline:+"$baseline/bench/quelvex_capture_bench" "$baseline/app/quelvex"}; do
    [ -x "$b" ] || { echo "not built: $b" >&2; exit 2; }
done
for tool in scrot import convert display cjpeg; do
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

median() { sort -n | awk '{ a[NR] = $1 } END { if (NR) printf "%.1f", a[int((NR + 1) / 2)]; else printf "-" }'; }

# first_and_later BENCH [--armed]: the median over fresh processes of each one's first capture and
# of its later ones' median, "FIRST LATER".
first_and_later() {
    local i line first="" later=""
    for ((i = 0; i < starts; i++)); do
        line=$("$@" "$runs" "$BENCH_TMP/work/f.jpg" | tail -n1)
        first+="$(sed -n 's/.* first_ms=\([0-9.]*\).*/\1/p' <<<"$line")"$'\n'
        # Builds from before later_ms: the median of all, the first among them.
        later+="$(sed -n 's/.* later_ms=\([0-9.]*\).*/\1/p; t; s/^median_ms=\([0-9.]*\).*/\1/p' <<<"$line")"$'\n'
    done
    echo "$(median <<<"$first") $(median <<<"$later")"
}

# end_of_count BUILD: the program counts two seconds with the end-of-count capture (a fresh start
# each time, in a folder of its own); how long after the second the capture file was last
# written, by its modification time (to the kernel's tick). Median of the starts.
end_of_count() {
    local i dir pid file
    for ((i = 0; i < starts; i++)); do
        dir=$(mktemp -d "$BENCH_TMP/work/eoc.XXXXXX")
        (cd "$dir" && exec "$1/app/quelvex" --dry-run --in 2s --capture >/dev/null 2>&1) &
        pid=$!
        for _ in $(seq 200); do
            file=$(find "$dir" -name 'Quelvex ScreenCAP *.jpg' | head -n1)
            [ -n "$file" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        stop_pid "$pid"
        # The fraction of the second, in ms.
        [ -z "$file" ] || stat -c %y "$file" | sed 's/^[^.]*\.\([0-9]\{6\}\).*/\1/' | awk '{ print $1 / 1000 }'
    done | median
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "-" || b == "-" || b <= 0) print "-"; else printf "%.2f", a / b }'; }

start_xvfb "$BENCH_TMP" 1920x1080 || { echo "Xvfb did not start" >&2; exit 1; }
BENCH_PIDS+=("$XVFB_PID")
show_busy_screen 1920x1080

echo "first capture of a process and the later ones at 1920x1080, median of $starts processes of $runs:"
printf '%-16s %9s %9s %12s\n' build first_ms later_ms first/later
declare -A later_of
rows=("armed:$build:--armed" "cold:$build:")
[ -n "$baseline" ] && rows+=("baseline:$baseline:")
for row in "${rows[@]}"; do
    IFS=: read -r name dir flag <<<"$row"
    read -r first later <<<"$(first_and_later "$dir/bench/quelvex_capture_bench" ${flag:+"$flag"})"
    later_of[$dir]=$later
    printf '%-16s %9s %9s %12s\n' "$name" "$first" "$later" "$(ratio "$first" "$later")"
done
echo "armed: told of an armed capture a second before the first, as the program is when a count starts"

import -window root -depth 8 "$BENCH_TMP/frame.ppm"
cjpeg_ms=$(median_of_command "$runs" cjpeg -quality 90 -outfile "$BENCH_TMP/work/cjpeg.jpg" "$BENCH_TMP/frame.ppm")
echo "end-of-count capture of the program at 1920x1080, ms after the second, median of $starts starts:"
printf '%-16s %9s %9s %9s %9s\n' build eoc_ms cjpeg_ms vs_cjpeg vs_later
for row in "program:$build" ${baseline:+"baseline:$baseline"}; do
    IFS=: read -r name dir <<<"$row"
    eoc=$(end_of_count "$dir")
    printf '%-16s %9s %9s %9s %9s\n' "$name" "$eoc" "$cjpeg_ms" "$(ratio "$eoc" "$cjpeg_ms")" \
        "$(ratio "$eoc" "${later_of[$dir]}")"
done
echo "cjpeg_ms: cjpeg -quality 90 on the same screen as a PPM file, the whole command, median of $runs;"
echo "vs_later: eoc_ms / the same build's later_ms above; '-' for a build that has no --in"

echo "memory over $series captures at 1920x1080:"
"$bench" "$series" "$BENCH_TMP/work/m.jpg" | tail -n1
