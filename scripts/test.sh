#!/usr/bin/env bash
# Installs, builds and runs every test suite: C++ (ctest), the page's unit tests (Vitest)
# and the browser end-to-end tests (Playwright with Debian's chromium).
set -euo pipefail
cd "$(dirname "$0")/.."
export NO_COLOR=1 CI=1

scripts/install-deps.sh
scripts/build.sh

echo "== page: type check and unit tests"
(cd ui && npm run --silent typecheck && npx vitest run)

echo "== C++ tests"
ctest --test-dir build --output-on-failure -j"$(nproc)"

echo "== C++ tests under AddressSanitizer + UndefinedBehaviorSanitizer, fuzz replay"
scripts/test-sanitized.sh

echo "== end-to-end tests"
(cd e2e && npx tsc -p tsconfig.json && npx playwright test)
echo "All tests passed."
