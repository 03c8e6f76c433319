#!/usr/bin/env bash
# The Debian packages of this build, quelvex and quelvex-web: their files and computed
# dependencies, no maintainer scripts, the validators (lintian, desktop-file-validate,
# appstreamcli), and the unpacked pair, the program started through its bin/ link, finding its
# alarm and its web module in its own folder.
#   package.sh PATH_TO_QUELVEX BUILD_DIR
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
BUILD=$(realpath "${2:?usage: $0 PATH_TO_QUELVEX BUILD_DIR}")
readonly ID=example.quelvex.Quelvex

(cd "$E2E_TMP" && cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$E2E_TMP/pkg" >"$E2E_TMP/cpack.log" 2>&1) ||
    fail "cpack: $(tail -5 "$E2E_TMP/cpack.log")"
deb=$(ls "$E2E_TMP"/pkg/quelvex_5.0_*.deb) || fail "no package built"
web=$(ls "$E2E_TMP"/pkg/quelvex-web_5.0_*.deb) || fail "no web package built"
note "packages: $(($(stat -c %s "$deb") / 1024)) KiB and web $(($(stat -c %s "$web") / 1024)) KiB"

root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
[ ! -e "$root/usr/lib/quelvex/quelvex_webengine.so" ] && [ ! -e "$root/usr/lib/quelvex/quelvex-web-view" ] ||
    fail "the web engine is in quelvex"
[ "$(dpkg-deb -c "$web" | grep -c '^-')" = 4 ] || fail "quelvex-web holds more than its helper, module and docs"
dpkg-deb -x "$web" "$root"
for f in usr/lib/quelvex/quelvex usr/lib/quelvex/ALARM.WAV usr/share/applications/$ID.desktop \
    usr/share/metainfo/$ID.metainfo.xml usr/share/icons/hicolor/48x48/apps/$ID.png \
    usr/share/icons/hicolor/96x96/apps/$ID.png usr/share/icons/hicolor/scalable/apps/$ID.svg \
    usr/share/doc/quelvex/copyright usr/share/man/man1/quelvex.1.gz usr/lib/quelvex/quelvex_webengine.so \
    usr/lib/quelvex/quelvex-web-view; do
    [ -e "$root/$f" ] || fail "missing from the package: $f"
done
[ "$(readlink "$root/usr/bin/quelvex")" = ../lib/quelvex/quelvex ] || fail "bin/quelvex is not a link to the program"
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6widgets6 libqt6multimedia6 libjpeg62-turbo fonts-liberation qt6-wayland; do
    grep -q "$d" <<<"$depends" || fail "$d not among the dependencies: $depends"
done
! grep -qi webengine <<<"$depends" || fail "quelvex depends on QtWebEngine: $depends"
[ "$(dpkg-deb -f "$deb" Recommends)" = quelvex-web ] || fail "quelvex does not recommend quelvex-web"
grep -q '^quelvex (= 5.0), .*libqt6webenginewidgets6' <<<"$(dpkg-deb -f "$web" Depends)" ||
    fail "quelvex-web dependencies: $(dpkg-deb -f "$web" Depends)"
for d in "$deb" "$web"; do
    ! dpkg-deb -I "$d" | grep -q 'postinst\|postrm' || fail "maintainer scripts in $(basename "$d")"
done
desktop-file-validate "$root/usr/share/applications/$ID.desktop" || fail "desktop entry not valid"
appstreamcli validate --no-net "$root/usr/share/metainfo/$ID.metainfo.xml" >"$E2E_TMP/appstream.log" 2>&1 ||
    fail "AppStream metadata not valid: $(cat "$E2E_TMP/appstream.log")"
lintian "$deb" "$web" >"$E2E_TMP/lintian.log" 2>&1 || true
! grep -q '^[EW]:' "$E2E_TMP/lintian.log" || fail "lintian: $(grep '^[EW]:' "$E2E_TMP/lintian.log")"

# In a terminal with no display, --version and --help still answer.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quelvex" --version 2>&1)" = "Quelvex 5.0" ] ||
    fail "--version with no display: $(env -u DISPLAY "$root/usr/bin/quelvex" --version 2>&1 | head -3)"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quelvex" --help 2>&1 | grep -q -- --dry-run ||
    fail "--help with no display does not list --dry-run"
# Without one, the window's start says so in one line and fails, instead of Qt's abort.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/quelvex" --dry-run 2>&1) && fail "started with no display"
[ "$(wc -l <<<"$out")" = 1 ] && grep -q "desktop session" <<<"$out" || fail "no display: $out"

# The unpacked program, started through its link, in a rehearsal. Online (as these machines
# report themselves), its first poll loads the web module from the program's own folder.
E2E_BIN=$root/usr/bin/quelvex E2E_ARGS=(--dry-run)
start_x
start_app
find_window
wait_for 15 window_drawn || fail "the unpacked program's window is not drawn"
sleep 3
[ "$(stderr_count 'web engine module not loaded')" = 0 ] || fail "the unpacked program did not find its web module"
app_alive || fail "the unpacked program exited"
pass
