#!/usr/bin/env bash
# CPU use of the program standing idle in its default (system-time) mode, against the variant
# whose Timer1 ticks every millisecond, each over the same number of seconds under one Xvfb.
#   bench/idle_cpu.sh BUILD_DIR [SECONDS=30]
# Goal: the program at most 0.25 % of one core, and at least 8 times below the variant.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR [SECONDS=30]}")
seconds=${2:-30}
program="$build/app/quelvex"
variant="$build/bench/quelvex_timer1_every_ms"
for b in "$program" "$variant"; do
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

# measure NAME BINARY: prints "NAME percent_by_ticks percent_by_schedstat ticks"
measure() {
    local name=$1 bin=$2 pid t0 t1 c0 c1 n0 n1
    (cd "$BENCH_TMP/work" && exec "$bin" </dev/null >/dev/null 2>"$BENCH_TMP/$name.stderr") &
    pid=$!
    BENCH_PIDS+=("$pid")
    timeout 60 xdotool search --sync --onlyvisible --name '^Quelvex' >/dev/null ||
        { echo "$name: no window in 60 s" >&2; exit 1; }
    sleep 2 # let start-up work (first paints, font loading) finish before measuring
    t0=$(date +%s%N); c0=$(cpu_ticks "$pid"); n0=$(cpu_ns "$pid")
    sleep "$seconds"
    t1=$(date +%s%N); c1=$(cpu_ticks "$pid"); n1=$(cpu_ns "$pid")
    kill -0 "$pid" 2>/dev/null || { echo "$name exited during the measurement" >&2; exit 1; }
    stop_pid "$pid"
    awk -v n="$name" -v dt=$((t1 - t0)) -v dc=$((c1 - c0)) -v tck="$tck" -v dn=$((n1 - n0)) \
        'BEGIN { printf "%s %.4f %.4f %d\n", n, 100 * dc / tck / (dt / 1e9), 100 * dn / dt, dc }'
}

bench_start_x
echo "idle CPU over ${seconds} s each, under Xvfb $DISPLAY (CLK_TCK=$tck)"
measure program "$program" >"$BENCH_TMP/program.result"
measure variant "$variant" >"$BENCH_TMP/variant.result"
read -r _ p_pct p_ns_pct p_ticks <"$BENCH_TMP/program.result"
read -r _ v_pct v_ns_pct v_ticks <"$BENCH_TMP/variant.result"

awk -v pp="$p_pct" -v pn="$p_ns_pct" -v pt="$p_ticks" -v vp="$v_pct" -v vn="$v_ns_pct" -v vt="$v_ticks" \
    -v s="$seconds" -v tck="$tck" 'BEGIN {
    printf "%-34s %10s %12s\n", "", "% of a core", "(schedstat)"
    printf "%-34s %9.3f %% %10.3f %%   %d ticks\n", "program (system-time mode)", pp, pn, pt
    printf "%-34s %9.3f %% %10.3f %%   %d ticks\n", "variant (Timer1 every 1 ms)", vp, vn, vt
    if (pt > 0) printf "variant / program: %.1fx (by ticks)", vp / pp
    else printf "variant / program: > %.1fx (by ticks; the program used under one tick = %.4f %%)", vp / (100 / tck / s), 100 / tck / s
    if (pn > 0) printf ", %.1fx (by schedstat)\n", vn / pn; else printf "\n"
    printf "goal: program <= 0.25 %%: %s; variant/program >= 8: %s\n", (pp <= 0.25 ? "met" : "NOT met"),
        ((pt == 0 ? vt >= 8 : vp / pp >= 8) ? "met" : "NOT met")
}'
