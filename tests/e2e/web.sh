#!/usr/bin/env bash
# The web strip against a loopback server: the update page shows in the strip in the link bar's
# place, a link in it opens the page view under the related-topics bar, the cross returns to the
# strip, and every process the page view started ends; a link for a new window goes to the user's
# browser, an http or https one only, also from the page view with the engine in the program (its
# module) or in its helper, whose processes' output is no report. The helper ends with the program.
# A server that does not answer, or trickles, leaves the link bar in place, and the language button
# changes its captions at once. A hostile page (hostile_site.py) opens no window, shows no local
# picture, leaves the clock stepping and does not make the program grow.
#   web.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"

SITE=$E2E_TMP/site
mkdir -p "$SITE" "$E2E_TMP/bin" "$E2E_TMP/work"
# A local file the page names, as a picture or a link, must never show.
convert -size 481x274 xc:red "$E2E_TMP/red.png"
cp "$E2E_TMP/red.png" "$E2E_TMP/work/secret.png"
convert -size 40x10 xc:blue "$SITE/blue.png"
cat >"$SITE/actualizacion-update.htm" <<HTML
<html><head><title>Quelvex news</title></head>
<body style="margin:0;background:#fff;font:13px sans-serif"><table border="0" cellspacing="0" cellpadding="0"><tr><td
width="200"><a href="file://$E2E_TMP/red.png">ff</a><a href="other.htm">More news</a></td><td width="100"><a
href="about:blank" target="_blank">bbbb</a></td><td><a href="new.htm" target="_blank">nnnn</a></td></tr></table></body></html>
HTML
cat >"$SITE/other.htm" <<HTML
<html><head><title>Other page</title></head><body style="margin:0;background:#fff"><div><a href="about:blank"
target="_blank" style="display:inline-block;width:200px;height:40px">b</a><a href="new.htm" target="_blank"
style="display:inline-block;width:200px;height:40px">n</a></div>Another page<img
src="file://$E2E_TMP/red.png" alt=""><img src="blue.png" alt=""></body></html>
HTML
# The user's browser, as the desktop would start it: it only records the address.
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$E2E_TMP/browser.log" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"

E2E_ARGS=(--dry-run)
start_x
SERVERS=()
# The servers go first; the outcome passes on to the common clean-up.
trap 'rc=$?; set +e; for p in "${SERVERS[@]}"; do stop_pid "$p"; done; (exit $rc); e2e_cleanup' EXIT
free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
# serve DIR LOG: a loopback web server for DIR; sets PORT.
serve() {
    PORT=$(free_port)
    /usr/bin/python3 -u -m http.server --bind 127.0.0.1 "$PORT" --directory "$1" >"$2" 2>&1 &
    SERVERS+=("$!")
    wait_for 10 grep -q Serving "$2" || fail "the test server did not start"
}
serve "$SITE" "$E2E_TMP/server.log"
port=$PORT
/usr/bin/python3 -u "$(dirname "$0")/hostile_site.py" "$E2E_TMP/hostile.port" "$E2E_TMP/red.png" >"$E2E_TMP/hostile.log" 2>&1 &
SERVERS+=("$!")
wait_for 20 test -s "$E2E_TMP/hostile.port" || fail "the hostile site did not start"
hostile_port=$(cat "$E2E_TMP/hostile.port")

STRIP="481x21+$(sx 1)+$(sy 169)"
BAR="482x21+$(sx 0)+$(sy 36)"
PAGE="481x274+$(sx 1)+$(sy 57)"
SS1="13x23+$(sx 134)+$(sy 128)" # left clock, last seconds digit
readonly STRIP BAR PAGE SS1

# Fraction of a screen area that is pure white: the test pages' background.
white_in() {
    grab "$E2E_TMP/area.png" "$1"
    convert "$E2E_TMP/area.png" -fill black +opaque white -fill white -opaque white -colorspace Gray \
        -format '%[fx:mean]' info:
}
mostly_white() { awk -v w="$(white_in "$1")" 'BEGIN { exit !(w >= 0.9) }'; }
# The page view is closed: at most the strip's share of its area is white.
no_page_view() { awk -v w="$(white_in "$PAGE")" 'BEGIN { exit !(w <= 0.2) }'; }

run_app() {
    stop_pid "$E2E_APID"
    start_app "$E2E_TMP/work" PATH="$E2E_TMP/bin:$PATH" "$@"
    find_window
    wait_for 15 window_drawn || fail "window not drawn"
}

# Links for a new window in the page view: only the http one reaches the browser.
page_view_new_windows() {
    sleep 2 # the browser opens at most once every 2 s
    : >"$E2E_TMP/browser.log"
    click "$(sx 100)" "$(sy 77)" && sleep 1 && click "$(sx 300)" "$(sy 77)" # about:blank, then new.htm
    wait_for 10 test -s "$E2E_TMP/browser.log" && sleep 1
    [ "$(cat "$E2E_TMP/browser.log")" = "http://127.0.0.1:$port/new.htm" ] || fail "$1: browser: $(cat "$E2E_TMP/browser.log")"
    : >"$E2E_TMP/browser.log"
}

# exercise LABEL: the three runs with the program at E2E_BIN.
exercise() {
    # 1. Online with the server up: the strip shows the update page.
    run_app QUELVEX_SITE_URL="http://127.0.0.1:$port"
    grab "$E2E_TMP/bar-hidden.png" "$BAR"
    wait_for 40 mostly_white "$STRIP" || fail "the strip does not show the update page"
    note "$1: update page in the strip"
    no_page_view || fail "the page view is open before any link was followed"
    # The strip is the simple view: no engine, so no helper process and nothing of it on stderr.
    [ -z "$(pgrep -P "$E2E_APID")" ] && [ ! -s "$E2E_TMP/stderr" ] || fail "the strip started the engine"

    served=$(wc -l <"$E2E_TMP/server.log")
    # A link followed in the strip opens the page view with the related-topics bar.
    click "$(sx 20)" "$(sy 176)"
    bar_shown() { grab "$E2E_TMP/bar.png" "$BAR" && ! same_picture "$E2E_TMP/bar.png" "$E2E_TMP/bar-hidden.png"; }
    wait_for 20 mostly_white "$PAGE" || fail "the followed link did not open the page view"
    bar_shown || fail "the page view shows without the related-topics bar"
    tail -n "+$((served + 1))" "$E2E_TMP/server.log" | grep -q 'GET /other.htm' || fail "the linked page was not fetched"
    blue_shown() { grab "$E2E_TMP/page.png" "$PAGE" && [ "$(convert "$E2E_TMP/page.png" -fill white +opaque blue -fill black -opaque blue -format '%[fx:int((1-mean)*w*h)]' info:)" -ge 300 ]; }
    wait_for 10 blue_shown || fail "the page's picture is not shown in the page view"
    note "$1: page view open"
    descendants() { local p; for p in $(pgrep -P "$1"); do echo "$p"; descendants "$p"; done; }
    engine=$(descendants "$E2E_APID")

    # The cross (Image6 in the bar) returns to the strip and reloads the update page.
    click "$(sx $((0 + 464 + 8)))" "$(sy $((36 + 8)))"
    strip_again() { ! bar_shown && no_page_view && mostly_white "$STRIP"; }
    wait_for 20 strip_again || fail "the cross did not return to the strip"
    note "$1: back to the strip"
    # Every process started for the page view ends with it.
    engine_gone() { for p in $engine; do [ ! -e "/proc/$p" ] || return 1; done; }
    wait_for 5 engine_gone || fail "processes of the page view still run: $(ps -o pid=,args= -p "${engine//$'\n'/,}")"
    [ ! -s "$E2E_TMP/browser.log" ] || fail "the browser was started: $(cat "$E2E_TMP/browser.log")"
    click "$(sx 6)" "$(sy 176)" && sleep 2
    { no_page_view && mostly_white "$STRIP"; } || fail "a link to a local file was followed"
    if [ "$1" = "web engine" ]; then # the simple HTML view loads every link in place
        click "$(sx 210)" "$(sy 176)" && click "$(sx 310)" "$(sy 176)" # about:blank, then new.htm
        wait_for 10 test -s "$E2E_TMP/browser.log" && sleep 1
        [ "$(cat "$E2E_TMP/browser.log")" = "http://127.0.0.1:$port/new.htm" ] || fail "browser: $(cat "$E2E_TMP/browser.log")"
        : >"$E2E_TMP/browser.log"
        # A page view whose engine process dies goes on as simple HTML.
        click "$(sx 20)" "$(sy 176)" && wait_for 20 blue_shown || fail "the page view did not open again"
        kill -9 "$(pgrep -P "$E2E_APID" -f quelvex-web-view)"
        wait_for 5 grep -q 'helper ended' "$E2E_TMP/stderr" && wait_for 10 blue_shown && bar_shown ||
            fail "the page view was lost with its engine"
        note "$1: page view kept when its engine died"
        click "$(sx 472)" "$(sy 44)" && wait_for 20 strip_again && click "$(sx 20)" "$(sy 176)" &&
            wait_for 20 blue_shown && helper=$(pgrep -P "$E2E_APID" -f quelvex-web-view) || fail "no helper again"
        for p in $(descendants "$helper"); do echo "newwindow http://127.0.0.1:$port/printed" >"/proc/$p/fd/1" 2>/dev/null || true; done
        sleep 1 && [ ! -s "$E2E_TMP/browser.log" ] || fail "the engine's output was taken for a report: $(cat "$E2E_TMP/browser.log")"
        page_view_new_windows "$1"
        kill -9 "$E2E_APID" && { wait "$E2E_APID" 2>/dev/null || true; E2E_APID=""; }
        helper_gone() { [ ! -e "/proc/$helper" ] || grep -q '^State:.*Z' "/proc/$helper/status"; }
        wait_for 10 helper_gone || fail "the page view's helper outlived the program"
    fi

    # 2. Nothing answers at the site: the link bar stays over the strip.
    dead=$(free_port)
    run_app QUELVEX_SITE_URL="http://127.0.0.1:$dead"
    sleep 4
    grab "$E2E_TMP/strip-dead.png" "$STRIP"
    lit=$(lit_fraction "$E2E_TMP/strip-dead.png")
    awk -v l="$lit" 'BEGIN { exit !(l > 0.02 && l < 0.4) }' || fail "no link bar over the strip (lit $lit)"
    note "$1: link bar kept with the server down"
    # The bar's captions start in the window's language: one press changes them.
    click_control 200 55 30 30
    captions_changed() { grab "$E2E_TMP/strip-lan.png" "$STRIP" && ! same_picture "$E2E_TMP/strip-lan.png" "$E2E_TMP/strip-dead.png"; }
    wait_for 3 captions_changed || fail "the link bar kept its captions after the language button"

    # 3. A hostile page: no window of its own, no browser, no local picture, and the clock keeps
    # stepping.
    served=$(wc -l <"$E2E_TMP/hostile.log")
    run_app QUELVEX_SITE_URL="http://127.0.0.1:$hostile_port"
    rss_mib() { awk '/^Rss:/ { print int($2 / 1024) }' "/proc/$E2E_APID/smaps_rollup"; }
    start_rss=$(rss_mib)
    hostile_fetched() { tail -n "+$((served + 1))" "$E2E_TMP/hostile.log" | grep -q 'GET /actualizacion-update.htm'; }
    wait_for 40 hostile_fetched || fail "the hostile page was not requested"
    sleep 2
    rss=$(rss_mib)
    steps=0
    for _ in 1 2 3 4 5; do
        grab "$E2E_TMP/ss1-a.png" "$SS1" && sleep 1.1 && grab "$E2E_TMP/ss1-b.png" "$SS1"
        same_picture "$E2E_TMP/ss1-a.png" "$E2E_TMP/ss1-b.png" || steps=$((steps + 1))
    done
    [ "$steps" -ge 4 ] || fail "the left clock stepped in only $steps of 5 seconds beside the hostile page"
    grown=$(($(rss_mib) - rss))
    [ "$grown" -le 12 ] || fail "the program grew by $grown MiB in 6 s beside the hostile page"
    wait_for 30 mostly_white "$STRIP" || fail "the hostile page does not show, or shows a local picture"
    peak=$(awk '/^VmHWM:/ { print int($2 / 1024) }' "/proc/$E2E_APID/status")
    [ $((peak - start_rss)) -le 160 ] || fail "the program grew to $peak MiB from $start_rss MiB for the hostile page"
    windows=$(xdotool search --onlyvisible --maxdepth 1 --pid "$E2E_APID" 2>/dev/null | wc -l)
    [ "$windows" = 1 ] || fail "$windows visible windows beside the hostile page"
    [ ! -s "$E2E_TMP/browser.log" ] || fail "the hostile page started the browser"
    note "$1: hostile page contained"
}

exercise "web engine"
# Without its web engine module beside it, the program shows pages as simple HTML.
mkdir -p "$E2E_TMP/alone" && cp "$E2E_BIN" "$E2E_TMP/alone/" && E2E_BIN=$E2E_TMP/alone/$(basename "$E2E_BIN")
exercise "simple HTML"

# A body trickled a byte a second fails within the load's time: the connection ends, and the link
# bar stays.
run_app QUELVEX_SITE_URL="http://127.0.0.1:$hostile_port/slow"
wait_for 60 grep -q closed "$E2E_TMP/hostile.log" || fail "a trickled page kept its connection"
grab "$E2E_TMP/strip-slow.png" "$STRIP"
awk -v l="$(lit_fraction "$E2E_TMP/strip-slow.png")" 'BEGIN { exit !(l > 0.02 && l < 0.4) }' || fail "no link bar after a trickled page"
note "trickled page given up"

# The engine as a module in the program (as under Wayland): the same links from the page view.
cp "$(dirname "$1")/quelvex_webengine.so" "$E2E_TMP/alone/"
run_app QUELVEX_SITE_URL="http://127.0.0.1:$port"
wait_for 40 mostly_white "$STRIP" && click "$(sx 20)" "$(sy 176)" && wait_for 30 blue_shown || fail "no page view from the module"
page_view_new_windows "web module"
note "web module: new-window links from the page view"
pass
