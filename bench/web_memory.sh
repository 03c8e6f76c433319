#!/usr/bin/env bash
# Memory of the whole process tree (the program and the web engine's helper processes) while the
# web strip shows the update page, served from a loopback server, then during a visit to the page
# view (a link followed in the strip) and after the cross has brought the strip back.
#   bench/web_memory.sh BUILD_DIR [BASELINE_BUILD_DIR]
# Prints RSS and PSS (from /proc/PID/smaps_rollup; PSS counts shared pages once across the tree)
# in MiB, the number of processes, the lines on standard error, how long the page view took to
# show after the click, how long the processes started for the page view took to end after the
# cross, and the memory 5 s after the cross against the program's before the visit. A second build is measured the same way in the same run.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

builds=("$(realpath "${1:?usage: $0 BUILD_DIR [BASELINE_BUILD_DIR]}")")
[ -z "${2:-}" ] || builds+=("$(realpath "$2")")
for b in "${builds[@]}"; do [ -x "$b/app/quelvex" ] || { echo "not built: $b/app/quelvex" >&2; exit 2; }; done

site="$BENCH_TMP/site"
mkdir -p "$site"
cat >"$site/actualizacion-update.htm" <<'HTML'
<html><head><title>Quelvex news</title></head>
<body style="margin:0;background:#fff;font:13px sans-serif"><a href="other.htm">More news</a></body></html>
HTML
cat >"$site/other.htm" <<'HTML'
<html><head><title>Other page</title></head><body style="margin:0;background:#fff">Another page</body></html>
HTML
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
/usr/bin/python3 -m http.server --bind 127.0.0.1 "$port" --directory "$site" >"$BENCH_TMP/server.log" 2>&1 &
BENCH_PIDS+=($!)
bench_start_x

tree() {
    local p
    echo "$1"
    for p in $(pgrep -P "$1"); do tree "$p"; done
}
# usage PID...: "processes rss_mib pss_mib" summed over the processes.
usage() {
    local p rss=0 pss=0 n=0 r s
    for p in "$@"; do
        r=$(awk '/^Rss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null) || continue
        s=$(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup" 2>/dev/null) || continue
        rss=$((rss + r)) pss=$((pss + s)) n=$((n + 1))
    done
    awk -v n="$n" -v r="$rss" -v s="$pss" 'BEGIN { printf "%d processes, rss %.1f MiB, pss %.1f MiB\n", n, r / 1024, s / 1024 }'
}
# white AREA [MIN=0.9]: true when at least MIN of the screen area is pure white (the test pages).
white() {
    import -window root -crop "$1" +repage "$BENCH_TMP/area.png" 2>/dev/null || return 1
    convert "$BENCH_TMP/area.png" -fill black +opaque white -colorspace Gray -format '%[fx:mean]' info: |
        awk -v min="${2:-0.9}" '{ exit !($1 >= min) }'
}
# The window is centred at 398,344; the strip lies at 1,169 in it, the page view at 1,57.
strip=481x21+399+513 page=481x274+399+401
page_shown() { white "$page"; }
strip_back() { white "$strip" && ! white "$page" 0.2; }
# wait_until SECONDS COMMAND...
wait_until() {
    local i
    for ((i = 0; i < $1 * 10; i++)); do "${@:2}" && return 0; sleep 0.1; done
    return 1
}

measure() {
    local bin=$1/app/quelvex app t0 helpers
    echo "== $1"
    cd "$BENCH_TMP/work"
    QUELVEX_SITE_URL="http://127.0.0.1:$port" "$bin" --dry-run >/dev/null 2>"$BENCH_TMP/stderr" &
    app=$!
    BENCH_PIDS+=("$app")
    sleep 0.8
    echo "before the first navigation: $(usage "$app")"
    wait_until 30 white "$strip" || { echo "the strip never showed the page" >&2; exit 1; }
    sleep 2
    # shellcheck disable=SC2046
    echo "strip showing the page:     $(usage $(tree "$app"))"
    echo "  of which the program:     $(usage "$app")"
    echo "  lines on stderr:          $(wc -l <"$BENCH_TMP/stderr")"
    before=$(usage "$app")
    t0=$(date +%s%N)
    xdotool mousemove 418 520 click 1
    wait_until 30 page_shown || { echo "the page view never opened" >&2; exit 1; }
    echo "  page view shown after:    $((($(date +%s%N) - t0) / 1000000)) ms"
    sleep 2
    # Every process of the tree during the visit but the program: the engine's, wherever they
    # are later (an ended parent's children go to init).
    visit=$(tree "$app" | grep -vx "$app" || true)
    # shellcheck disable=SC2086
    echo "page view open:             $(usage "$app" $visit)"
    xdotool mousemove 870 388 click 1
    wait_until 20 strip_back || { echo "the cross did not bring the strip back" >&2; exit 1; }
    t0=$(date +%s%N)
    left() {
        local p n=0
        for p in $visit; do [ ! -e "/proc/$p" ] || n=$((n + 1)); done
        echo "$n"
    }
    none_left() { [ "$(left)" = 0 ]; }
    wait_until 10 none_left || true
    helpers=$(left)
    if [ "$helpers" = 0 ]; then
        echo "  helpers gone after:       $((($(date +%s%N) - t0) / 1000000)) ms"
    else
        echo "  helpers still running after 10 s: $helpers"
    fi
    sleep "$(awk -v t="$(($(date +%s%N) - t0))" 'BEGIN { s = 5 - t / 1e9; print (s > 0 ? s : 0) }')"
    # shellcheck disable=SC2046
    after=$(usage $(tree "$app"))
    echo "5 s after the cross:        $after"
    awk -v b="${before##*pss }" -v a="${after##*pss }" 'BEGIN { printf "  program pss after - before the visit: %+.1f MiB\n", a - b }'
    stop_pid "$app"
}

for b in "${builds[@]}"; do measure "$b"; done
