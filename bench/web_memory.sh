#!/usr/bin/env bash
# Memory of the whole process tree (the program and the web engine's helper processes) once the
# web strip shows the update page, served from a loopback server, against the same program
# before its first navigation.
#   bench/web_memory.sh BUILD_DIR
# Prints RSS and PSS (from /proc/PID/smaps_rollup; PSS counts shared pages once across the tree)
# in MiB, and the number of processes.
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"

build=$(realpath "${1:?usage: $0 BUILD_DIR}")
bin="$build/app/quelvex"
[ -x "$bin" ] || { echo "not built: $bin" >&2; exit 2; }

site="$BENCH_TMP/site"
mkdir -p "$site"
cat >"$site/actualizacion-update.htm" <<'HTML'
<html><head><title>Quelvex news</title></head>
<body style="margin:0;background:#fff;font:13px sans-serif"><a href="other.htm">More news</a></body></html>
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
strip_white() {
    import -window root -crop 481x21+399+513 +repage "$BENCH_TMP/strip.png" 2>/dev/null || return 1
    convert "$BENCH_TMP/strip.png" -fill black +opaque white -colorspace Gray -format '%[fx:mean]' info: |
        awk '{ exit !($1 >= 0.9) }'
}

cd "$BENCH_TMP/work"
QUELVEX_SITE_URL="http://127.0.0.1:$port" "$bin" --dry-run >/dev/null 2>"$BENCH_TMP/stderr" &
app=$!
BENCH_PIDS+=("$app")
sleep 0.8
echo "before the first navigation: $(usage "$app")"
for _ in $(seq 300); do strip_white && break; sleep 0.1; done
strip_white || { echo "the strip never showed the page" >&2; exit 1; }
sleep 2
# shellcheck disable=SC2046
echo "strip showing the page:     $(usage $(tree "$app"))"
echo "  of which the program:     $(usage "$app")"
