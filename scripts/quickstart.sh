#!/usr/bin/env bash
# First quick-start command: install only what the build needs, build the libraries and the tool,
# show the shipped sample file's tables, and end with the main job: a short Python script that
# registers the server (in the user's registry) and uses the component by ProgID.
set -euo pipefail
cd "$(dirname "$0")/.."
VOZIROZ_DEPS= bash scripts/build.sh -DVOZIROZ_TESTS=OFF
export VOZIROZ_BUILD_DIR=${VOZIROZ_BUILD_DIR:-build}
"$VOZIROZ_BUILD_DIR/cli/voziroz" tables samples/family.ged
/usr/bin/python3 python/examples/sample_tour.py samples/family.ged
