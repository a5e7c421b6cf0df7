#!/usr/bin/env bash
# First quick-start command: install only what the build needs, build the libraries and the tool,
# show the shipped sample file's tables, and end with the main job: a short Python script that
# registers the server (in the user's registry) and uses the component by ProgID, through the
# voziroz package as a Python user installs it (pip, into a virtual environment in the build
# folder), run from another folder.
set -euo pipefail
cd "$(dirname "$0")/.."
VOZIROZ_DEPS= bash scripts/build.sh -DVOZIROZ_TESTS=OFF
export VOZIROZ_BUILD_DIR=${VOZIROZ_BUILD_DIR:-build}
"$VOZIROZ_BUILD_DIR/cli/voziroz" tables samples/family.ged
venv=$(realpath -m "$VOZIROZ_BUILD_DIR")/venv
[ -x "$venv/bin/pip" ] || /usr/bin/python3 -m venv --system-site-packages "$venv"
"$venv/bin/pip" install --quiet --no-index ./python
root=$PWD
(cd / && "$venv/bin/python" "$root/python/examples/sample_tour.py" "$root/samples/family.ged")
