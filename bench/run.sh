#!/usr/bin/env bash
# Builds and runs every benchmark program, then prints one table: operation, size, median,
# the floor measured in the same run, and their ratio. Each program's own detailed output
# is kept in build/bench/<name>.log.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DCALCORA_BENCH=ON >/dev/null

rows=$(mktemp)
# The link service is measured on PostgreSQL too, in a throwaway server started here.
source scripts/postgres-scratch.sh
trap 'rm -f "$rows"; postgres_scratch_stop' EXIT
postgres_scratch_start >/dev/null ||
  echo "PostgreSQL did not start: the link service is measured on SQLite only" >&2
for program in build/bench/bench_*; do
  [ -x "$program" ] || continue
  name=${program##*/bench_}
  echo "running $name ..." >&2
  if grep -q BENCHMARK_MAIN "bench/$name.cpp"; then
    # A Google Benchmark program: each BM_X is paired with its BM_XRawFloor, medians only.
    "$program" --benchmark_format=json --benchmark_out="build/bench/$name.json" >"build/bench/$name.log" 2>&1 ||
      echo "  $name ended with an error (see build/bench/$name.log)" >&2
    /usr/bin/python3 - "build/bench/$name.json" >>"$rows" <<'PY'
import json, re, sys
runs = {re.sub(r"/repeats:\d+$", "", b["run_name"]): b for b in json.load(open(sys.argv[1]))["benchmarks"] if b.get("aggregate_name") == "median"}
scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
for name, b in runs.items():
    if "RawFloor" in name:
        continue
    base, _, arg = name.partition("/")
    floor = runs.get(base + "RawFloor" + ("/" + arg if arg else ""))
    ms = b["real_time"] * scale[b["time_unit"]]
    floor_ms = floor["real_time"] * scale[floor["time_unit"]] if floor else 0
    size = b.get("label") or (("case " + arg) if arg else "")
    print("ROW\t%s\t%s\t%.3f\t%.3f" % (base.removeprefix("BM_"), size, ms, floor_ms))
PY
  else
    "$program" >"build/bench/$name.log" 2>&1 || echo "  $name ended with an error (see build/bench/$name.log)" >&2
    grep '^ROW' "build/bench/$name.log" >>"$rows" || true
  fi
done

# The editor page in Chromium against the loopback host (open, keystrokes, scrolling).
if [ -x build/calcora-serve ] && [ -x "${CALCORA_CHROMIUM:-/usr/bin/chromium}" ] && [ -d e2e/node_modules ]; then
  echo "running editor page ..." >&2
  node e2e/bench/editor-bench.mjs >>"$rows" 2>build/bench/editor-page.log ||
    echo "  editor page ended with an error (see build/bench/editor-page.log)" >&2
  grep -E '^[0-9]+ lines:' build/bench/editor-page.log >&2 || true
  node e2e/bench/panels-bench.mjs >>"$rows" 2>build/bench/panels-page.log ||
    echo "  panels page ended with an error (see build/bench/panels-page.log)" >&2
fi

awk -F'\t' '
  BEGIN { printf "| %-58s | %-18s | %12s | %12s | %7s |\n", "operation", "size", "median, ms", "floor, ms", "ratio";
          printf "|%s|%s|%s|%s|%s|\n", "------------------------------------------------------------", "--------------------", "--------------", "--------------", "---------" }
  { ratio = ($5 > 0) ? sprintf("%.2f", $4 / $5) : "-";
    printf "| %-58s | %-18s | %12.3f | %12.3f | %7s |\n", $2, $3, $4, $5, ratio }' "$rows"
echo
cat bench/NOTES.md
