#!/usr/bin/env bash
# Cross-builds Quelvex for 64-bit Windows into build-windows/ with Debian's MinGW-w64 and
# libjpeg-turbo built from Debian's source package, and its installer with NSIS
# (quelvex-<version>-win64.exe). Installs what is missing first (Debian 12).
#   tools/build-windows.sh          build
#   tools/build-windows.sh --test   build, then run the model tests, the program's end-to-end
#                                   test and the installer's test under Wine
# With CI=true warnings are errors.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
# QUELVEX_WINDOWS_BUILD lets several builds live side by side.
out="${QUELVEX_WINDOWS_BUILD:-$root/build-windows}"

if [ "${1:-}" = --test ]; then bash tools/install-deps.sh windows-test; else bash tools/install-deps.sh windows; fi
bash tools/build-libjpeg-windows.sh "$out"
jpeg="$out/libjpeg-turbo/prefix"

werror=OFF
[ "${CI:-}" = true ] && werror=ON
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DJPEG_INCLUDE_DIR="$jpeg/include" -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a" \
      -DQUELVEX_WERROR=$werror >/dev/null
cmake --build "$out" -j2
# The installer, quelvex-<version>-win64.exe, beside quelvex.exe.
(cd "$out" && cpack -G NSIS >/dev/null)
installer="$out/$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$out/CPackConfig.cmake").exe"
chmod +x "$installer"

[ "${1:-}" = --test ] || exit 0

# Wine keeps its own Windows under a prefix of ours, never ~/.wine; made once per build folder.
export WINEPREFIX="$out/wine" HOME="$out/wine-home" WINEDEBUG=-all
# Nor on the caller's locale: with none, Wine cannot make non-ASCII file names. The end-to-end
# tests choose their users' locales themselves.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus
mkdir -p "$HOME"
# The registry reaches the disk only when the server ends: wait for it, so a finished prefix
# is one with system.reg.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # Without Mono and Gecko: the tests need neither, and Wine would offer to download them.
    WINEDLLOVERRIDES='mscoree=d;mshtml=d' wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# One server for the whole run, instead of one started and torn down per test program. Its
# helper processes (services.exe and friends) start with the first program and keep its output
# open: start them here, away from ctest's pipes, or ctest waits on them until its time limit.
# The platform tests open windows: the session meets a screen of its own first.
source tools/xsession.sh
xdir=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; stop_pid "${XVFB_PID:-}"; rm -rf "$xdir"' EXIT
start_xvfb "$xdir" 1280x1024
wineserver -p 2>/dev/null || true
wineboot >/dev/null 2>&1 </dev/null
ctest --test-dir "$out" --output-on-failure -j2

# Wine takes the user's locale and language from the host's: the test runs in English and Spanish.
missing_locales=()
for l in en_US es_ES; do
    locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || missing_locales+=("$l")
done
if [ ${#missing_locales[@]} -gt 0 ]; then
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    for l in "${missing_locales[@]}"; do
        "${as_root[@]}" sed -i "s/^# *\($l.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    done
    "${as_root[@]}" locale-gen >/dev/null
fi
# Wine's screen is the one its first program of a session met: the program's test starts a session
# of its own, on its own X server.
wineserver -k 2>/dev/null || true
wineserver -w
stop_pid "$XVFB_PID"
bash tests/e2e/windows.sh "$out/quelvex.exe" skin
# The end of a count: the alarm heard, the capture, the error box, and the real power-off in a
# prefix the test makes for it.
bash tests/e2e/windows_actions.sh "$out/quelvex.exe"
# The installer: a silent install, the installed program, a silent uninstall; a session of its own.
wineserver -k 2>/dev/null || true
wineserver -w
bash tests/e2e/windows-installer.sh "$installer"
