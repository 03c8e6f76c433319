#!/usr/bin/env bash
# Builds a static libjpeg-turbo for 64-bit Windows from Debian's own source package, the same
# version as the Linux build's libjpeg62-turbo, and installs it under BUILD_DIR/libjpeg-turbo/prefix.
# Done once per build folder: an existing library is kept.
#   tools/build-libjpeg-windows.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(mkdir -p "${1:?usage: $0 BUILD_DIR}" && cd "$1" && pwd)"
work="$build_dir/libjpeg-turbo"
prefix="$work/prefix"
[ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ] && exit 0

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

# apt-get source needs a deb-src entry; Debian's images ship only binary ones.
if ! apt-cache showsrc libjpeg-turbo 2>/dev/null | grep -q '^Package: libjpeg-turbo'; then
    if ! grep -rqsE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        # apt refuses two entries for one archive that disagree on its key.
        keyring=/usr/share/keyrings/debian-archive-keyring.gpg
        signed=""
        grep -rqsi "signed-by.*$keyring" /etc/apt/sources.list /etc/apt/sources.list.d/ && signed="[signed-by=$keyring] "
        echo "deb-src ${signed}http://deb.debian.org/debian bookworm main" |
            "${as_root[@]}" tee /etc/apt/sources.list.d/quelvex-bookworm-src.list >/dev/null
    fi
    "${as_root[@]}" apt-get update -qq
fi

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1)
src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n1)"
[ -n "$src" ] || { echo "apt-get source libjpeg-turbo gave no source tree" >&2; exit 1; }

# The prefix must be absolute: the library's Windows default (C:/...) breaks its configure step.
# REQUIRE_SIMD: without nasm the encoder silently runs three times slower.
cmake -S "$src" -B "$work/build" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON -Wno-dev >/dev/null
cmake --build "$work/build" -j2 >/dev/null
cmake --install "$work/build" >/dev/null
echo "libjpeg-turbo for Windows: $prefix"
