#!/usr/bin/env bash
# Installs what is missing and builds Voziroz into build/ (or $VOZIROZ_BUILD_DIR).
# Extra arguments go to CMake, e.g. -DVOZIROZ_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
build=${VOZIROZ_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
cmake --build "$build" -j "$(nproc)"
