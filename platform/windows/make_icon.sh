#!/usr/bin/env bash
# Packs PNG pictures into a Windows .ico as they are (PNG entries, Windows Vista and later), so
# the build needs no image tool on the host.
#   make_icon.sh OUT.ico SQUARE.png...
set -euo pipefail
out=$1
shift
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
# Width from the PNG header (bytes 16-19, big-endian); 256 is written as 0.
png_width() { od -An -tu1 -j16 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }'; }
{
    le16 0; le16 1; le16 $#
    offset=$((6 + 16 * $#))
    for png in "$@"; do
        w=$(png_width "$png")
        size=$(stat -c %s "$png")
        printf "\\x$(printf %02x $((w & 255)))\\x$(printf %02x $((w & 255)))"
        printf '\x00\x00'
        le16 1; le16 32; le32 "$size"; le32 "$offset"
        offset=$((offset + size))
    done
    cat "$@"
} >"$out.tmp"
mv "$out.tmp" "$out"
