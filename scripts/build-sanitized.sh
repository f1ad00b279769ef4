#!/usr/bin/env bash
# Builds the core, its C++ tests and the fuzz targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/. Needs the page built (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/configure.sh
# -O1 with line tables: sanitizer reports keep file and line, the build takes far less time
# than full debug information at -O2.
flags="-O1 -g1 -DNDEBUG"
CC=clang CXX=clang++ configure build-asan -DCALCORA_DESKTOP=OFF -DCALCORA_SANITIZE=ON -DCALCORA_FUZZ=ON \
  -DCALCORA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCALCORA_TEST_CODE_FLAGS=-O0 \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$flags"
cmake --build build-asan
