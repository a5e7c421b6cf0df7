#!/usr/bin/env bash
# Builds Voziroz with AddressSanitizer and UBSan (clang; every finding ends the test that made
# it: -fno-sanitize-recover=all) into build-asan/ (or $VOZIROZ_ASAN_BUILD_DIR) and runs the
# Linux test suites there. CC/CXX choose another compiler (CC=gcc CXX=g++ works as well).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
build=${VOZIROZ_ASAN_BUILD_DIR:-build-asan}
CC=${CC:-clang} CXX=${CXX:-clang++} \
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOZIROZ_SANITIZE=ON > /dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
