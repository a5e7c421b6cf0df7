#!/usr/bin/env bash
# First quick-start command: install, build, and run the main job on the shipped sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build=${VOZIROZ_BUILD_DIR:-build}
"$build/cli/voziroz" tables samples/family.ged
