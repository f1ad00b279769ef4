#!/usr/bin/env bash
# scripts/fuzz.sh TARGET SECONDS: fuzzes one reader for a while (clang + libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer). New interesting inputs go to
# build-asan/fuzz-corpus/TARGET; a crash leaves its input in build-asan/fuzz-findings/.
# scripts/fuzz.sh --list shows the targets.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-sanitized.sh >/dev/null

if [ "${1:-}" = "--list" ]; then
  ls build-asan/fuzz | sed -n 's/^fuzz_//p'
  exit 0
fi
target=${1:?usage: scripts/fuzz.sh TARGET SECONDS}
seconds=${2:?usage: scripts/fuzz.sh TARGET SECONDS}
binary=build-asan/fuzz/fuzz_$target
[ -x "$binary" ] || { echo "no fuzz target $target (try --list)" >&2; exit 2; }

work=build-asan/fuzz-corpus/$target
findings=build-asan/fuzz-findings
mkdir -p "$work" "$findings" "fuzz/corpus/$target"
"$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$findings/$target-" "$work" "fuzz/corpus/$target"
