#!/usr/bin/env bash
# Rewrites the window's reference pictures (tests/reference/) from the current build, after an
# intended change of layout or artwork. Look at them before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target gui_reference -j2
QT_QPA_PLATFORM=offscreen QUELVEX_UPDATE_REFERENCES=1 "$build/tests/gui/gui_reference"
git status --short tests/reference
