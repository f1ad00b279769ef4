#!/usr/bin/env bash
# Cross-compiles the native side for 64-bit Windows 10/11 with Debian's mingw-w64 toolchain
# into build-win/: calcora-serve.exe and the test programs, each statically linked so that it
# runs alone. The third-party libraries come from Debian's source packages, built once into
# build-win/deps (scripts/windows-deps.sh). Extra arguments go to CMake's configure step.
# CALCORA_PAGE_BUILT=1 skips building the page.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/windows-deps.sh
[ "${CALCORA_PAGE_BUILT:-}" = 1 ] || [ -f ui/dist/index.html ] || (cd ui && npm run --silent build)

# The build-time helpers run on this machine, so they are built for it.
host=build-win/host
mkdir -p "$host"
if [ ! -x "$host/calcora_embed" ] || [ tools/embed.cpp -nt "$host/calcora_embed" ]; then
  g++ -O1 -std=c++20 tools/embed.cpp -o "$host/calcora_embed"
fi
if [ ! -x "$host/calcora_unicode_table" ] || [ tools/unicode_table.cpp -nt "$host/calcora_unicode_table" ]; then
  g++ -O1 -std=c++20 tools/unicode_table.cpp $(pkg-config --cflags --libs icu-uc) -o "$host/calcora_unicode_table"
fi

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" \
  -DCMAKE_PREFIX_PATH="$PWD/build-win/deps/prefix" -DCALCORA_WIN_DEPS="$PWD/build-win/deps/prefix" \
  -DCALCORA_HOST_EMBED="$PWD/$host/calcora_embed" -DCALCORA_HOST_UNICODE_TABLE="$PWD/$host/calcora_unicode_table" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -g0" -DCMAKE_C_FLAGS_RELEASE="-O1 -g0" \
  -DCALCORA_DESKTOP=OFF -DCALCORA_BENCH=OFF "$@" >/dev/null
cmake --build build-win
