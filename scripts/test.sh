#!/usr/bin/env bash
# Second quick-start command: install the rest, build with the tests, and run every test: the
# suites under ctest, an install into a temporary prefix used from outside the repository and
# the .deb round trip (scripts/install-test.sh), then Voziroz.dll under Wine
# (scripts/windows-test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
VOZIROZ_DEPS="test windows" bash scripts/build.sh -DVOZIROZ_TESTS=ON "$@"
build=${VOZIROZ_BUILD_DIR:-build}
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
bash scripts/install-test.sh
bash scripts/windows-test.sh
