#!/usr/bin/env bash
# Second quick-start command: install, build, and run every test. The Windows DLL and its Wine
# suites (scripts/windows-test.sh) are still being finished and are run separately for now.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh "$@"
build=${VOZIROZ_BUILD_DIR:-build}
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
