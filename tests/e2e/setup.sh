#!/usr/bin/env bash
# The set-up scripts: run.sh says there is no display before it installs or builds anything (and
# goes on with one, or for --version); package.sh installs the tools CPack's Debian generator runs.
#   setup.sh PATH_TO_QUELVEX
# shellcheck source=tests/e2e/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
TOOLS=$(realpath "$(dirname "$0")/../../tools")

# Stand-ins that only log that installing or building began, then stop the script there.
mkdir -p "$E2E_TMP/bin"
for t in apt-get dpkg-query cmake sudo; do
    printf '#!/bin/sh\necho %s >>"%s/began"\nexit 1\n' "$t" "$E2E_TMP" >"$E2E_TMP/bin/$t" && chmod +x "$E2E_TMP/bin/$t"
done
went_on() {
    rm -f "$E2E_TMP/began"
    env -u WAYLAND_DISPLAY PATH="$E2E_TMP/bin:$PATH" bash "$TOOLS/run.sh" "$@" >"$E2E_TMP/out" 2>&1 || true
    [ -e "$E2E_TMP/began" ]
}
! (unset DISPLAY && went_on --dry-run) && [ "$(wc -l <"$E2E_TMP/out")" = 1 ] && grep -q "no display" "$E2E_TMP/out" ||
    fail "with no display: $(cat "$E2E_TMP/out" "$E2E_TMP/began" 2>/dev/null)"
(unset DISPLAY && went_on --version) || fail "run.sh --version with no display did not go on"
start_x
went_on --dry-run || fail "run.sh refused the display $DISPLAY"

listed=$(bash "$TOOLS/install-deps.sh" --list package)
for tool in file dpkg-shlibdeps; do
    grep -qx "$(dpkg -S "$(command -v "$tool")" | cut -d: -f1)" <<<"$listed" || fail "package.sh does not install $tool"
done
pass
