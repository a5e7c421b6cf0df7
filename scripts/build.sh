#!/usr/bin/env bash
# Installs what is missing and builds Voziroz into build/ (or $VOZIROZ_BUILD_DIR).
# $VOZIROZ_DEPS names the package sets beyond the build's (scripts/install-deps.sh: "test",
# "windows"); extra arguments go to CMake, e.g. -DVOZIROZ_SANITIZE=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck disable=SC2086  # the sets are words
bash scripts/install-deps.sh ${VOZIROZ_DEPS:-}
build=${VOZIROZ_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
cmake --build "$build" -j "$(nproc)"
