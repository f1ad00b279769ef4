#!/usr/bin/env bash
# Installs, builds and runs every test suite: C++ (ctest), the page's unit tests (Vitest)
# and the browser end-to-end tests (Playwright with Debian's chromium). Prints each stage's
# wall time as it ends and a table of them at the end (also when a stage fails).
set -euo pipefail
cd "$(dirname "$0")/.."
export NO_COLOR=1 CI=1
source scripts/stages.sh

stage "packages" scripts/install-deps.sh
stage "page build, with its type check" bash -c 'cd ui && npm run --silent build'
# The release build holds the programs and their tests; the core's tests are built and run
# once, under the sanitizers, below. Without debug information: nothing here reads it, and it
# costs a third of the compile time.
release="-O2 -DNDEBUG"
stage "native build" env CALCORA_PAGE_BUILT=1 scripts/build.sh -DCALCORA_UNIT_TESTS=OFF -DCALCORA_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$release" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$release"

# The sanitizer half and the Windows build need only the sources: they run beside the page's
# checks, the program tests and the browser walks, which spend much of their time waiting on the
# page, and take the processor time those leave.
sanitizer_half() {
  stage "sanitizer build" scripts/build-sanitized.sh
  stage "C++ tests under ASan + UBSan" scripts/test-sanitized.sh tests
  stage "fuzz replay" scripts/test-sanitized.sh fuzz
}
stages_beside "sanitizer build and tests" sanitizer_half
stages_beside "Windows build" stage "Windows build" env CALCORA_PAGE_BUILT=1 scripts/build-windows.sh

# The page build above has type-checked the page already.
stage "page: lint, unit tests" bash -c 'cd ui && npm run --silent lint && npx vitest run'

stage "program tests (release build)" ctest --test-dir build --output-on-failure -j"$(nproc)"

stage "end-to-end tests" bash -c 'cd e2e && npx tsc -p tsconfig.json && npx playwright test'
stage "link service on PostgreSQL" scripts/test-postgres.sh
# The Windows programs' C++ tests and walks under Wine, once the Linux walks are done: two walk
# suites at once slow each other down more than they gain. The sanitizer tests go on beside them.
stages_beside_wait "Windows build"
stage "Windows tests under Wine" scripts/test-windows.sh
stages_beside_wait
echo "All tests passed."
