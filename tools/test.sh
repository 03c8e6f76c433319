#!/usr/bin/env bash
# Builds Quelvex and runs every test, the Windows build's model tests under Wine included.
# Installs what is missing first (Debian 12).
# With CI=true: warnings are errors, and the model tests also run under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh test windows

# Nothing a test starts may reach the machine's real logind: the tests that exercise the power-off
# bring their own private bus and set this again for the program they start.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/quelvex-test-bus

# Before the Linux builds, so that the last summary is the main build's; a failure stops here.
bash tools/build-windows.sh --test

werror=OFF
if [ "${CI:-}" = true ]; then
    werror=ON
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUELVEX_WITH_QT=OFF \
          -DQUELVEX_SANITIZE=ON -DQUELVEX_WERROR=ON >/dev/null
    cmake --build build-sanitize -j2
    ctest --test-dir build-sanitize --output-on-failure -j2
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVEX_WERROR=$werror >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure -j2
