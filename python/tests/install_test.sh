#!/usr/bin/env bash
# pip install ./python into a fresh virtual environment, offline, then a script run from another
# folder, without PYTHONPATH or the build folder, finds the installed package and its libraries.
# usage: install_test.sh SOURCE_ROOT BUILD_DIR
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
VOZIROZ_BUILD_DIR=$2 "$work/venv/bin/pip" install --quiet --no-index "$root/python"
cd /
env -u PYTHONPATH -u VOZIROZ_BUILD_DIR -u VOZIROZ_SERVER VOZIROZ_REGISTRY="$work/registry" \
  "$work/venv/bin/python" - "$root/samples/family.ged" "$work" <<'PYTHON'
import pathlib, sys
import voziroz
assert voziroz.__file__.startswith(sys.argv[2]), voziroz.__file__
assert voziroz.server_library().startswith(sys.argv[2]), voziroz.server_library()
voziroz.RegisterServer()
with voziroz.CreateObject("Voziroz.Parser") as parser:
    parser.Open(pathlib.Path(sys.argv[1]))
    assert parser.Execute() is True
    assert len(parser.GetTable("person", "rows")) > 1
print("installed package works:", voziroz.__file__)
PYTHON
