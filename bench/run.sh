#!/usr/bin/env bash
# Builds the benchmarks (optimised, in build-bench/), generates the 100 MB and 1 GB sample files
# into $VOZIROZ_BENCH_DIR (default /tmp) when they are missing, runs the load benchmark on each
# and the export benchmark on the 100 MB file. Extra arguments go to both after the file name (the
# number of repeats).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${VOZIROZ_BENCH_BUILD_DIR:-build-bench}
dir=${VOZIROZ_BENCH_DIR:-/tmp}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DVOZIROZ_TESTS=OFF -DVOZIROZ_BENCH=ON > /dev/null
cmake --build "$build" -j2 --target make_large_gedcom load_bench export_bench
mkdir -p "$dir"
for mb in 100 1024; do
  file="$dir/voziroz-bench-${mb}mb.ged"
  if [ ! -s "$file" ]; then
    echo "generating $file"
    "$build/bench/make_large_gedcom" "$file.part" "$mb"
    mv "$file.part" "$file"
  fi
  "$build/bench/load_bench" "$file" "$@"
  echo
done
"$build/bench/export_bench" "$dir/voziroz-bench-100mb.ged" "$@"
