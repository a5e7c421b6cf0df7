#!/usr/bin/env bash
# Second quick-start command: install, build, and run every test, then build Voziroz.dll and run
# its tests under Wine (scripts/windows-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
build=${VOZIROZ_BUILD_DIR:-build}
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
bash scripts/windows-test.sh
