#!/usr/bin/env bash
# in_xvfb.sh PROGRAM...: runs a test program on an X server of its own, ended afterwards.
set -u
# shellcheck source=../../tools/xsession.sh
source "$(dirname "$0")/../../tools/xsession.sh"
dir=$(mktemp -d)
start_xvfb "$dir" 800x600 || exit 1
QT_QPA_PLATFORM=xcb "$@"
rc=$?
stop_pid "$XVFB_PID"
rm -rf "$dir"
exit "$rc"
