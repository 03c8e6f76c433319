#!/usr/bin/env bash
# Start-up time to the first painted frame and resident memory, median of RUNS runs under Xvfb.
#   bench/startup.sh BUILD_DIR [RUNS=11]
# Goal: at most 150 ms and 40 MiB.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR [RUNS=11]}")
runs=${2:-11}
bench="$build/bench/quelvex_startup_bench"
[ -x "$bench" ] || { echo "not built: $bench" >&2; exit 2; }

bench_start_x
echo "start-up under Xvfb $DISPLAY, $runs runs after one warm-up run"
cd "$BENCH_TMP/work"
"$bench" "$runs"
