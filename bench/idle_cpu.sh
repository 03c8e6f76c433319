#!/usr/bin/env bash
# CPU use and wake-ups of the program standing idle in its default (system-time) mode and
# counting with the emblem turning, the program and the X server together; against the variant
# whose Timer1 ticks every millisecond, against the floor (a bare client showing the emblem's twenty
# frames a second), and against a baseline build when one is given. Everything is measured one
# after the other under one Xvfb.
#   bench/idle_cpu.sh BUILD_DIR [SECONDS=30] [BASELINE_BUILD_DIR]
# Goals: idle, the program at most 0.25 % of one core and at least 8 times below the variant;
# program and X server together at most 0.10 % idle and 0.30 % counting.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR [SECONDS=30] [BASELINE_BUILD_DIR]}")
seconds=${2:-30}
baseline=${3:+$(realpath "$3")}
program="$build/app/quelvex"
variant="$build/bench/quelvex_timer1_every_ms"
floor="$build/bench/quelvex_frame_floor"
for b in "$program" "$variant" "$floor" ${baseline:+"$baseline/app/quelvex"}; do
    [ -x "$b" ] || { echo "not built: $b" >&2; exit 2; }
done
tck=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks (fields 14 and 15 of /proc/PID/stat).
cpu_ticks() {
    local rest
    rest=$(sed 's/^.*) //' "/proc/$1/stat")
    awk '{ print $12 + $13 }' <<<"$rest"
}

# Run time on a CPU of all of a process's threads, in ns (/proc/PID/task/*/schedstat, field 1).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%d\n", s }'; }

# Times any thread of a process went to sleep of its own accord: each is one wake-up later.
wakeups() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^voluntary_ctxt_switches/ { s += $2 } END { printf "%d\n", s }'
}

# Clicks at a point of the window, which opens centred on the 1280x1024 screen at 398,344.
click_at() { xdotool mousemove $((398 + $1)) $((344 + $2)) click 1; }

# measure NAME BINARY MODE: prints "NAME MODE ticks% program% x% together% program_wakeups/s
# x_wakeups/s ticks"; MODE is idle (system time, as started), counting (a one-hour count) or
# frames (the floor, which only turns its emblem).
measure() {
    local name=$1 bin=$2 mode=$3 pid t0 t1 c0 c1 n0 n1 x0 x1 w0 w1 v0 v1
    (cd "$BENCH_TMP/work" && exec "$bin" --dry-run </dev/null >/dev/null 2>"$BENCH_TMP/$name.$mode.stderr") &
    pid=$!
    BENCH_PIDS+=("$pid")
    timeout 60 xdotool search --sync --onlyvisible --name '^Quelvex' >/dev/null ||
        { echo "$name: no window in 60 s" >&2; exit 1; }
    sleep 1
    if [ "$mode" = counting ]; then
        click_at 258 139 # program-counter mode
        sleep 0.5
        click_at 354 53 # hours up: 01:00:00
        sleep 0.3
        click_at 93 63 # START
    fi
    xdotool mousemove 5 5 # off the window
    sleep 2 # let start-up work (first paints, font loading) finish before measuring
    t0=$(date +%s%N); c0=$(cpu_ticks "$pid"); n0=$(cpu_ns "$pid"); x0=$(cpu_ns "$XVFB_PID")
    w0=$(wakeups "$pid"); v0=$(wakeups "$XVFB_PID")
    sleep "$seconds"
    t1=$(date +%s%N); c1=$(cpu_ticks "$pid"); n1=$(cpu_ns "$pid"); x1=$(cpu_ns "$XVFB_PID")
    w1=$(wakeups "$pid"); v1=$(wakeups "$XVFB_PID")
    kill -0 "$pid" 2>/dev/null || { echo "$name exited during the measurement" >&2; exit 1; }
    stop_pid "$pid"
    awk -v n="$name" -v m="$mode" -v dt=$((t1 - t0)) -v dc=$((c1 - c0)) -v tck="$tck" -v dn=$((n1 - n0)) \
        -v dx=$((x1 - x0)) -v dw=$((w1 - w0)) -v dv=$((v1 - v0)) 'BEGIN {
        s = dt / 1e9
        printf "%s %s %.4f %.4f %.4f %.4f %.1f %.1f %d\n", n, m, 100 * dc / tck / s, 100 * dn / dt,
            100 * dx / dt, 100 * (dn + dx) / dt, dw / s, dv / s, dc }'
}

bench_start_x
echo "CPU and wake-ups over ${seconds} s each, under Xvfb $DISPLAY (CLK_TCK=$tck)"
runs=("program $program idle" "program $program counting" "variant $variant idle" "floor $floor frames")
[ -n "$baseline" ] && runs+=("baseline $baseline/app/quelvex idle" "baseline $baseline/app/quelvex counting")
for r in "${runs[@]}"; do
    read -r name bin mode <<<"$r"
    measure "$name" "$bin" "$mode" >>"$BENCH_TMP/results"
done

awk -v s="$seconds" -v tck="$tck" -v base="$baseline" '
{ k = $1 "." $2; ticks[k] = $3; prog[k] = $4; x[k] = $5; all[k] = $6; pw[k] = $7; xw[k] = $8; nt[k] = $9
  order[++n] = k }
END {
    printf "%-20s %9s %9s %9s %9s %9s %9s\n", "", "ticks %", "program %", "X %", "together", "wakes/s", "X wakes"
    for (i = 1; i <= n; i++) { k = order[i]
        printf "%-20s %9.3f %9.3f %9.3f %9.3f %9.1f %9.1f\n", k, ticks[k], prog[k], x[k], all[k], pw[k] + xw[k], xw[k] }
    p = ticks["program.idle"]; v = ticks["variant.idle"]
    if (nt["program.idle"] > 0) printf "variant / program, idle: %.1fx (by ticks)", v / p
    else printf "variant / program, idle: > %.1fx (by ticks; the program used under one tick = %.4f %%)", v / (100 / tck / s), 100 / tck / s
    if (prog["program.idle"] > 0) printf ", %.1fx (by schedstat)\n", prog["variant.idle"] / prog["program.idle"]; else printf "\n"
    printf "counting above the floor: CPU together %+.3f %% of a core, wake-ups %+.1f/s\n",
        all["program.counting"] - all["floor.frames"], pw["program.counting"] + xw["program.counting"] - pw["floor.frames"] - xw["floor.frames"]
    if (base != "") for (m = 1; m <= 2; m++) { md = m == 1 ? "idle" : "counting"
        printf "baseline / program, %s: CPU together %.1fx, wake-ups %.1fx\n", md,
            all["baseline." md] / all["program." md], (pw["baseline." md] + xw["baseline." md]) / (pw["program." md] + xw["program." md]) }
    met = "met"; notmet = "NOT met"
    printf "goals: program idle <= 0.25 %%: %s; variant/program >= 8: %s; together idle <= 0.10 %%: %s; together counting <= 0.30 %%: %s\n",
        (p <= 0.25 ? met : notmet), ((nt["program.idle"] == 0 ? nt["variant.idle"] >= 8 : v / p >= 8) ? met : notmet),
        (all["program.idle"] <= 0.10 ? met : notmet), (all["program.counting"] <= 0.30 ? met : notmet)
}' "$BENCH_TMP/results"
