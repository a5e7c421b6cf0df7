#!/usr/bin/env bash
# The Python host beside the C interface and beside parse-gedcom on node (bench/README.md):
# builds optimised into build-bench/, writes the 100 MB file into $VOZIROZ_BENCH_DIR (default
# /tmp) when it is missing, registers the server in a registry of its own, runs each program
# REPEATS times (default 3), every run its own process, and prints the best run of each (its
# seconds and peak memory) and the ratios. parse-gedcom is skipped unless it is installed in
# $PARSE_GEDCOM_DIR (default /tmp/pg): npm install --prefix /tmp/pg parse-gedcom
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VOZIROZ_BENCH_BUILD_DIR:-build-bench}
dir=${VOZIROZ_BENCH_DIR:-/tmp}
repeats=${1:-3}
export PARSE_GEDCOM_DIR=${PARSE_GEDCOM_DIR:-/tmp/pg}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DVOZIROZ_TESTS=OFF -DVOZIROZ_BENCH=ON > /dev/null
cmake --build "$build" -j2 --target make_large_gedcom host_tables_bench voziroz_server voziroz_python
file="$dir/voziroz-bench-100mb.ged"
if [ ! -s "$file" ]; then
  "$build/bench/make_large_gedcom" "$file.part" 100
  mv "$file.part" "$file"
fi
registry=$(mktemp -d)
trap 'rm -rf "$registry"' EXIT
export VOZIROZ_REGISTRY=$registry/registry VOZIROZ_BUILD_DIR=$PWD/$build PYTHONPATH=$PWD/python
/usr/bin/python3 -c 'import voziroz; voziroz.RegisterServer()'

# The output line of the fastest of $repeats runs of a command.
best() {
  for _ in $(seq "$repeats"); do "$@"; done | sort -k2 -g | head -1
}
field() { awk -v name="$1" '{ for (i = 1; i < NF; ++i) if ($i == name) print $(i + 1) }'; }
report() {  # label, output line, floor line
  local seconds peak floor
  seconds=$(field seconds <<< "$2"); peak=$(field peak_kb <<< "$2")
  floor=$(field seconds <<< "$3")
  printf '%-44s %8.3f s %8.0f MB %7.2fx\n' "$1" "$seconds" "$((peak / 1024))" \
    "$(awk -v a="$seconds" -v b="$floor" 'BEGIN { print a / b }')"
}

c_tables=$(best "$build/bench/host_tables_bench" "$file" tables)
python_tables=$(best /usr/bin/python3 bench/host_tables_bench.py "$file" tables)
c_walk=$(best "$build/bench/host_tables_bench" "$file" walk)
python_walk=$(best /usr/bin/python3 bench/host_tables_bench.py "$file" walk)
echo "$(basename "$file"), best of $repeats; load average $(cut -d' ' -f1 /proc/loadavg)"
printf '%-44s %10s %11s %8s\n' "" time peak "x C"
report "C: Open + Execute + five tables as rows" "$c_tables" "$c_tables"
report "Python: the same" "$python_tables" "$c_tables"
report "C: Row(i) over EVENT" "$c_walk" "$c_walk"
report "Python: the same" "$python_walk" "$c_walk"
if [ -d "$PARSE_GEDCOM_DIR/node_modules/parse-gedcom" ]; then
  node=$(best node bench/parse_gedcom_bench.js "$file")
  report "parse-gedcom on node: read, parse, walk" "$node" "$c_tables"
  echo "parse-gedcom / Python: $(awk -v a="$(field seconds <<< "$node")" \
    -v b="$(field seconds <<< "$python_tables")" 'BEGIN { printf "%.1fx", a / b }')"
fi
