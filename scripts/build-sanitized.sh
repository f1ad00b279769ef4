#!/usr/bin/env bash
# Builds the core, its C++ tests and the fuzz targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/. Needs the page built (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-asan -DCALCORA_DESKTOP=OFF -DCALCORA_SANITIZE=ON -DCALCORA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-asan -j"$(nproc)"
