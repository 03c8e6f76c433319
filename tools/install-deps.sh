#!/usr/bin/env bash
# Installs the Debian packages Quelvex needs, only those that are missing.
#   tools/install-deps.sh build   what building and running the program needs
#   tools/install-deps.sh package that, plus what CPack's Debian generator runs besides dpkg-dev
#   tools/install-deps.sh test    that, plus what the tests need: X server, xdotool, ImageMagick,
#                                 a private D-Bus with the logind mock, PulseAudio, sox
#   tools/install-deps.sh windows the MinGW-w64 cross compiler, Wine to run its tests, nasm for
#                                 libjpeg-turbo's SIMD code, NSIS, stb_image
#   tools/install-deps.sh windows-test  what the Windows program's end-to-end tests need: X
#                                 server, xdotool, ImageMagick, an English and a Spanish locale,
#                                 PulseAudio, sox, djpeg
# Several sets may be named at once (test windows): one apt-get run for all of them.
# With --list first, it prints the packages of the sets named, one a line, and installs nothing.
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config libgtest-dev
            qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
            qt6-multimedia-dev qt6-webengine-dev libjpeg62-turbo-dev libxcb1-dev libxcb-shm0-dev libxcb-shape0-dev dpkg-dev
            fonts-liberation fonts-liberation2 fonts-dejavu-core)
# CPack finds the libraries the program needs with `file` and dpkg-shlibdeps; a minimal Debian has
# no `file`, and nothing above pulls it in.
package_pkgs=(file)
test_pkgs=(xvfb xauth xdotool imagemagick x11-utils
           dbus-daemon python3-dbusmock python3-gi python3-dbus
           pulseaudio pulseaudio-utils sox libjpeg-turbo-progs scrot
           lintian desktop-file-utils appstream
           sway grim qt6-wayland libwayland-dev)
windows_pkgs=(cmake ninja-build libgtest-dev dpkg-dev
              g++-mingw-w64-x86-64-posix wine64 wine nasm nsis libstb-dev)
windows_test_pkgs=(xvfb xauth xdotool imagemagick x11-utils locales
                   pulseaudio pulseaudio-utils sox libjpeg-turbo-progs)

list=false
if [ "${1:-}" = --list ]; then
    list=true
    shift
fi
pkgs=()
for set in "${@:-build}"; do
    case "$set" in
        package) pkgs+=("${build_pkgs[@]}" "${package_pkgs[@]}") ;;
        windows) pkgs+=("${windows_pkgs[@]}") ;;
        windows-test) pkgs+=("${windows_pkgs[@]}" "${windows_test_pkgs[@]}") ;;
        test) pkgs+=("${build_pkgs[@]}" "${package_pkgs[@]}" "${test_pkgs[@]}") ;;
        *) pkgs+=("${build_pkgs[@]}") ;;
    esac
done

if $list; then
    printf '%s\n' "${pkgs[@]}"
    exit 0
fi
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "missing packages (run as root): ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq "${missing[@]}"
