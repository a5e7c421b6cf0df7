#!/usr/bin/env bash
# The Python host beside a C host and beside parse-gedcom on node (bench/README.md): builds
# optimised into build-bench/, writes the 100 MB file into $VOZIROZ_BENCH_DIR (default /tmp) when
# it is missing, registers the server in a registry of its own, runs each program REPEATS times
# (default 3), every run its own process, and prints the fastest run of each (wall and CPU
# seconds, peak memory) with its ratios to the C host doing the same. parse-gedcom is skipped
# unless it is installed in $PARSE_GEDCOM_DIR (default /tmp/pg): npm install --prefix /tmp/pg
# parse-gedcom
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
row() {  # label, output line, the floor's output line
  awk -v label="$1" -v s="$(field seconds <<< "$2")" -v c="$(field cpu <<< "$2")" \
      -v p="$(field peak_kb <<< "$2")" -v fs="$(field seconds <<< "$3")" \
      -v fc="$(field cpu <<< "$3")" \
      'BEGIN { printf "| %s | %.2f | %.2f | %.0f | %.2fx | %.2fx |\n", label, s, c, p / 1024,
               s / fs, c / fc }'
}

echo "$(basename "$file"), best of $repeats, load average $(cut -d' ' -f1 /proc/loadavg)"
echo "| run | wall s | CPU s | peak MB | x C wall | x C CPU |"
echo "|---|---|---|---|---|---|"
for mode in rows gettable walk; do
  c=$(best "$build/bench/host_tables_bench" "$file" "$mode")
  python=$(best /usr/bin/python3 bench/host_tables_bench.py "$file" "$mode")
  row "C, $mode" "$c" "$c"
  row "Python, $mode" "$python" "$c"
  if [ "$mode" = rows ]; then c_rows=$c python_rows=$python; fi
done
if [ -d "$PARSE_GEDCOM_DIR/node_modules/parse-gedcom" ]; then
  node=$(best node bench/parse_gedcom_bench.js "$file")
  row "parse-gedcom on node: read, parse, visit every node" "$node" "$c_rows"
  awk -v ns="$(field seconds <<< "$node")" -v nc="$(field cpu <<< "$node")" \
      -v ps="$(field seconds <<< "$python_rows")" -v pc="$(field cpu <<< "$python_rows")" \
      'BEGIN { printf "parse-gedcom / Python rows: %.1fx wall, %.1fx CPU\n", ns / ps, nc / pc }'
fi
