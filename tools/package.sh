#!/usr/bin/env bash
# Builds the two Debian packages, build-package/quelvex_5.0_<arch>.deb and
# quelvex-web_5.0_<arch>.deb. Installs what is missing first.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-package -j2
(cd build-package && cpack -G DEB)
ls -l build-package/*.deb
