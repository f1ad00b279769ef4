#!/usr/bin/env bash
# The sanitizer stage of the test suite: every C++ test under ASan + UBSan, then each fuzz
# target replays its seed corpus and fuzzes for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-sanitized.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -E '^program\.'

seconds=${CALCORA_FUZZ_SECONDS:-5}
for binary in build-asan/fuzz/fuzz_*; do
  target=${binary##*/fuzz_}
  scratch=$(mktemp -d)
  echo "fuzz $target: replay + ${seconds}s"
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$scratch/" \
    "$scratch" "fuzz/corpus/$target" 2>"$scratch/log" || { tail -40 "$scratch/log"; exit 1; }
  rm -rf "$scratch"
done
