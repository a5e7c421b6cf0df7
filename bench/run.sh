#!/usr/bin/env bash
# Builds the benchmarks (optimised, in build-bench/), generates the 100 MB and 1 GB sample files
# and a 100 MB UTF-8 one into $VOZIROZ_BENCH_DIR (default /tmp) when they are missing, runs the
# load benchmark on each and the export benchmark on the 100 MB file. Extra arguments go to both after the file name (the
# number of repeats).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VOZIROZ_BENCH_BUILD_DIR:-build-bench}
dir=${VOZIROZ_BENCH_DIR:-/tmp}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DVOZIROZ_TESTS=OFF -DVOZIROZ_BENCH=ON > /dev/null
cmake --build "$build" -j2 --target make_large_gedcom load_bench export_bench
mkdir -p "$dir"
# name, size in MB, character set (empty: Windows-1252)
while read -r name mb charset; do
  file="$dir/voziroz-bench-$name.ged"
  if [ ! -s "$file" ]; then
    echo "generating $file"
    "$build/bench/make_large_gedcom" "$file.part" "$mb" $charset
    mv "$file.part" "$file"
  fi
  "$build/bench/load_bench" "$file" "$@"
  echo
done <<'SAMPLES'
100mb 100
1024mb 1024
100mb-utf-8 100 utf-8
SAMPLES
"$build/bench/export_bench" "$dir/voziroz-bench-100mb.ged" "$@"
