#!/usr/bin/env bash
# Builds the page, then the native programs into build/ (build/calcora, build/calcora-serve).
# Extra arguments go to CMake's configure step. CALCORA_PAGE_BUILT=1 skips the page (the test
# script builds it as a stage of its own).
set -euo pipefail
cd "$(dirname "$0")/.."

[ "${CALCORA_PAGE_BUILT:-}" = 1 ] || (cd ui && npm run --silent build)

desktop=ON
pkg-config --exists webkit2gtk-4.1 gtk+-3.0 || desktop=OFF
source scripts/configure.sh
configure build -DCALCORA_DESKTOP=$desktop "$@"
cmake --build build
