#!/usr/bin/env bash
# Builds the program alone (not its tests) and starts it, passing on its arguments. Installs what
# is missing first (Debian 12).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target program
exec build/app/quelvex "$@"
