#!/usr/bin/env bash
# The sanitizer stage of the test suite: every C++ test under ASan + UBSan, then each fuzz
# target replays its seed corpus and fuzzes for a few seconds. `tests` or `fuzz` as the only
# argument runs just that half (the sanitizer build is brought up to date either way).
set -euo pipefail
cd "$(dirname "$0")/.."
part=${1:-all}
scripts/build-sanitized.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [ "$part" != fuzz ]; then
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -E '^program\.'
fi
[ "$part" != tests ] || exit 0

seconds=${CALCORA_FUZZ_SECONDS:-5}
for binary in build-asan/fuzz/fuzz_*; do
  target=${binary##*/fuzz_}
  scratch=$(mktemp -d)
  echo "fuzz $target: replay + ${seconds}s"
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$scratch/" \
    "$scratch" "fuzz/corpus/$target" 2>"$scratch/log" || { tail -40 "$scratch/log"; exit 1; }
  rm -rf "$scratch"
done
