#!/usr/bin/env bash
# Builds and runs every benchmark program, then prints one table: operation, size, median,
# the floor measured in the same run, and their ratio. Each program's own detailed output
# is kept in build/bench/<name>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >/dev/null

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
for program in build/bench/bench_*; do
  [ -x "$program" ] || continue
  name=${program##*/bench_}
  echo "running $name ..." >&2
  if ! "$program" >"build/bench/$name.log" 2>&1; then
    echo "  $name ended with an error (see build/bench/$name.log)" >&2
  fi
  grep '^ROW' "build/bench/$name.log" >>"$rows" || true
done

awk -F'\t' '
  BEGIN { printf "| %-58s | %-18s | %12s | %12s | %7s |\n", "operation", "size", "median, ms", "floor, ms", "ratio";
          printf "|%s|%s|%s|%s|%s|\n", "------------------------------------------------------------", "--------------------", "--------------", "--------------", "---------" }
  { ratio = ($5 > 0) ? sprintf("%.2f", $4 / $5) : "-";
    printf "| %-58s | %-18s | %12.3f | %12.3f | %7s |\n", $2, $3, $4, $5, ratio }' "$rows"
