#!/usr/bin/env bash
# The Linux program against quelvex.exe under Wine, both on one Xvfb: start to first frame, memory
# once started, and CPU standing idle and counting; printed side by side with the ratio Wine/Linux.
#   bench/windows.sh [BUILD_DIR=build] [WINDOWS_BUILD_DIR=build-windows] [RUNS=5] [SECONDS=60]
# Uses the Wine prefix of the Windows build (tools/build-windows.sh --test makes it); any Wine
# session in it is ended first and at the end.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

root=$(realpath "$(dirname "$0")/..")
program=$(realpath "${1:-$root/build}")/app/quelvex
wbuild=$(realpath "${2:-$root/build-windows}")
exe="$wbuild/quelvex.exe"
runs=${3:-5}
seconds=${4:-60}
for b in "$program" "$exe"; do
    [ -f "$b" ] || { echo "not built: $b" >&2; exit 2; }
done
bench_use_wine "$wbuild"
tck=$(getconf CLK_TCK)
readonly WIN_AREA=483x335+398+344 # the window opens centred on the 1280x1024 screen
declare -A R                      # results, by "linux.KEY" and "wine.KEY"

die() { echo "$*" >&2; exit 1; }

# launch linux|wine: starts that program with --dry-run; sets APP_PID (for Wine, the exe's process).
launch() {
    if [ "$1" = linux ]; then
        (cd "$BENCH_TMP/work" && exec env QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0 \
            "$program" --dry-run </dev/null >/dev/null 2>>"$BENCH_TMP/linux.stderr") &
    else
        (cd "$BENCH_TMP/work" && exec env HOME="$WINE_HOME" wine "$exe" --dry-run \
            </dev/null >/dev/null 2>>"$BENCH_TMP/wine.stderr") &
    fi
    APP_PID=$!
    BENCH_PIDS+=("$APP_PID")
}

window_shown() { xdotool search --onlyvisible --name '^Quelvex 5\.0$' >/dev/null 2>&1; }
# The window's area on the screen is mostly lit (as the end-to-end tests' window_drawn).
window_drawn() {
    convert x:root -crop "$WIN_AREA" +repage -colorspace Gray -threshold 3% -format '%[fx:mean]' info: |
        awk '{ exit !($1 >= 0.25) }'
}
ms_since() { echo $((($(date +%s%N) - $1) / 1000000)); }
still_starting() {
    kill -0 "$APP_PID" 2>/dev/null || die "$1: the program exited"
    (($(ms_since "$2") < 60000)) || die "$1: no window drawn within 60 s"
}

# start_timed linux|wine: starts the program; sets MAPPED and DRAWN, ms from the launch.
start_timed() {
    local t0
    t0=$(date +%s%N)
    launch "$1"
    until window_shown; do still_starting "$1" "$t0"; sleep 0.01; done
    MAPPED=$(ms_since "$t0")
    until window_drawn; do still_starting "$1" "$t0"; done
    DRAWN=$(ms_since "$t0")
}

stop_app() {
    local _
    stop_pid "$APP_PID"
    for _ in $(seq 100); do window_shown || return 0; sleep 0.1; done
    die "the window outlived its program"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Linux PIDs of the Wine session of the prefix (wineserver and its helper processes), the program
# left out: Wine's own binaries whose environment names the prefix.
wine_pids() {
    local d p
    for d in /proc/[0-9]*; do
        p=${d#/proc/}
        [ "$p" != "$APP_PID" ] || continue
        case $(readlink "$d/exe" 2>/dev/null) in */wine*) ;; *) continue ;; esac
        if tr '\0' '\n' 2>/dev/null <"$d/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; then echo "$p"; fi
    done
}

# rss_pss PID...: summed Rss and Pss of /proc/PID/smaps_rollup, in MiB.
rss_pss() {
    local p
    for p in "$@"; do cat "/proc/$p/smaps_rollup"; done |
        awk '/^Rss:/ { r += $2 } /^Pss:/ { p += $2 } END { printf "%.1f %.1f\n", r / 1024, p / 1024 }'
}

# cpu_of PID...: "ticks ns": utime+stime (/proc/PID/stat) and run time of all threads (schedstat).
cpu_of() {
    local p t=0 n=0
    for p in "$@"; do
        t=$((t + $(sed 's/^.*) //' "/proc/$p/stat" | awk '{ print $12 + $13 }')))
        n=$((n + $(cat /proc/"$p"/task/*/schedstat | awk '{ s += $1 } END { printf "%d", s }')))
    done
    echo "$t $n"
}

# measure_cpu KEY MODE: CPU over SECONDS of the program, of the Wine session and of the X server;
# sets KEY.MODE.{ticks,prog,wine,all} (% of one core; "ticks" is the program's by clock ticks).
measure_cpu() {
    local k=$1 m=$2 wp t0 t1 p0 p1 w0 w1 x0 x1 r
    read -ra wp <<<"$(wine_pids | tr '\n' ' ')"
    t0=$(date +%s%N); p0=$(cpu_of "$APP_PID"); w0=$(cpu_of "${wp[@]}"); x0=$(cpu_of "$XVFB_PID")
    sleep "$seconds"
    t1=$(date +%s%N); p1=$(cpu_of "$APP_PID"); w1=$(cpu_of "${wp[@]}"); x1=$(cpu_of "$XVFB_PID")
    kill -0 "$APP_PID" 2>/dev/null || die "$k exited during the measurement"
    read -ra r < <(awk -v dt=$((t1 - t0)) \
        -v tck="$tck" -v p="$p0 $p1" -v w="$w0 $w1" -v x="$x0 $x1" 'BEGIN {
        split(p, P, " "); split(w, W, " "); split(x, X, " ")
        pn = P[4] - P[2]; wn = W[4] - W[2]; xn = X[4] - X[2]
        printf "%.4f %.4f %.4f %.4f\n", 100 * (P[3] - P[1]) / tck / (dt / 1e9), 100 * pn / dt,
            100 * (pn + wn) / dt, 100 * (pn + wn + xn) / dt }')
    R[$k.$m.ticks]=${r[0]} R[$k.$m.prog]=${r[1]} R[$k.$m.wine]=${r[2]} R[$k.$m.all]=${r[3]}
}

click_at() { xdotool mousemove $((398 + $1)) $((344 + $2)) mousedown 1 mouseup 1; }

# bench KEY: the first start, RUNS timed starts, then memory and CPU of one more.
bench() {
    local k=$1 i mapped=() drawn=() mem=()
    start_timed "$k"
    R[$k.first]=$DRAWN
    stop_app
    if [ "$k" = wine ]; then
        # A session of our own on this X server, kept running (as a user's would be), one warm-up.
        end_wine_session
        wine_env wineserver -p 2>/dev/null || true
        wine_env wineboot >/dev/null 2>&1 </dev/null
        start_timed wine
        stop_app
    fi
    for ((i = 0; i < runs; i++)); do
        start_timed "$k"
        mapped+=("$MAPPED"); drawn+=("$DRAWN")
        stop_app
    done
    R[$k.mapped]=$(median "${mapped[@]}")
    R[$k.drawn]=$(median "${drawn[@]}")
    echo "$k: mapped ${mapped[*]} ms, drawn ${drawn[*]} ms (first start ${R[$k.first]} ms)"

    start_timed "$k"
    sleep 3
    read -ra mem <<<"$(rss_pss "$APP_PID")"
    R[$k.rss]=${mem[0]} R[$k.pss]=${mem[1]}
    if [ "$k" = wine ]; then
        read -ra mem <<<"$(wine_pids | tr '\n' ' ')"
        R[wine.helpers]=$((${#mem[@]} - 1))
        read -ra mem <<<"$(rss_pss "${mem[@]}")"
        R[wine.hrss]=${mem[0]} R[wine.hpss]=${mem[1]}
    fi
    measure_cpu "$k" idle
    click_at 258 139 # program-counter mode
    sleep 0.5
    click_at 354 53 # hours up: 01:00:00
    sleep 0.3
    click_at 93 63 # START
    sleep 2
    measure_cpu "$k" counting
    stop_app
}

bench_start_x
echo "Linux program and quelvex.exe ($(wine --version)) under Xvfb $DISPLAY: $runs timed starts," \
    "CPU over $seconds s (CLK_TCK=$tck)"
bench linux
bench wine

row() {
    awk -v l="$1" -v a="$2" -v b="$3" 'BEGIN {
        r = (a ~ /^[0-9.]+$/ && b ~ /^[0-9.]+$/ && a > 0) ? sprintf("%.2f", b / a) : "-"
        printf "%-50s %10s %10s %10s\n", l, a, b, r }'
}
printf '\n%-50s %10s %10s %10s\n' "" linux wine wine/linux
row "start to window mapped, median (ms)" "${R[linux.mapped]}" "${R[wine.mapped]}"
row "start to first frame, median (ms)" "${R[linux.drawn]}" "${R[wine.drawn]}"
row "first start to first frame (ms; Wine: cold)" "${R[linux.first]}" "${R[wine.first]}"
row "program RSS after 3 s (MiB)" "${R[linux.rss]}" "${R[wine.rss]}"
row "program PSS after 3 s (MiB)" "${R[linux.pss]}" "${R[wine.pss]}"
row "wineserver + ${R[wine.helpers]} helpers RSS (MiB)" - "${R[wine.hrss]}"
row "wineserver + ${R[wine.helpers]} helpers PSS (MiB)" - "${R[wine.hpss]}"
for m in idle counting; do
    row "$m CPU, program (% of a core, ticks)" "${R[linux.$m.ticks]}" "${R[wine.$m.ticks]}"
    row "$m CPU, program (schedstat)" "${R[linux.$m.prog]}" "${R[wine.$m.prog]}"
    row "$m CPU, program + wineserver and helpers" - "${R[wine.$m.wine]}"
    row "$m CPU, all: program (+ Wine's) + X server" "${R[linux.$m.all]}" "${R[wine.$m.all]}"
done
