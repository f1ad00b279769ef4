#!/usr/bin/env bash
# Builds and runs every benchmark program, then prints one table: operation, size, median,
# the floor measured in the same run, and their ratio. Each program's own detailed output
# is kept in build/bench/<name>.log. Where the Windows cross toolchain and Wine are installed,
# the core's programs are then built for Windows and run under Wine for a second table
# (their output in build-win/bench/); CALCORA_BENCH_WINDOWS=0 leaves that part out.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh -DCALCORA_BENCH=ON >/dev/null

# Runs one benchmark program (through the command RUNNER... when given) and prints its rows:
# "ROW<TAB>operation<TAB>size<TAB>median<TAB>floor". Its own output goes to LOGS/<name>.log.
# bench_rows PROGRAM LOGS [RUNNER...]
bench_rows() {
  local program=$1 logs=$2
  shift 2
  local name=${program##*/bench_}
  name=${name%.exe}
  echo "running $name ..." >&2
  if grep -q BENCHMARK_MAIN "bench/$name.cpp"; then
    # A Google Benchmark program: each BM_X is paired with its BM_XRawFloor, medians only.
    "$@" "$program" --benchmark_format=json --benchmark_out="$logs/$name.json" >"$logs/$name.log" 2>&1 ||
      echo "  $name ended with an error (see $logs/$name.log)" >&2
    /usr/bin/python3 - "$logs/$name.json" <<'PY'
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
    "$@" "$program" >"$logs/$name.log" 2>&1 || echo "  $name ended with an error (see $logs/$name.log)" >&2
    grep '^ROW' "$logs/$name.log" || true
  fi
}

# Prints the rows of the file ROWS as the table.
print_table() {
  awk -F'\t' '
    BEGIN { printf "| %-58s | %-18s | %12s | %12s | %7s |\n", "operation", "size", "median, ms", "floor, ms", "ratio";
            printf "|%s|%s|%s|%s|%s|\n", "------------------------------------------------------------", "--------------------", "--------------", "--------------", "---------" }
    { ratio = ($5 > 0) ? sprintf("%.2f", $4 / $5) : "-";
      printf "| %-58s | %-18s | %12.3f | %12.3f | %7s |\n", $2, $3, $4, $5, ratio }' "$1"
}

rows=$(mktemp)
wine_up=0
# The link service is measured on PostgreSQL too, in a throwaway server started here.
source scripts/postgres-scratch.sh
trap 'rm -f "$rows"; postgres_scratch_stop; ((wine_up)) && wineserver -k >/dev/null 2>&1; true' EXIT
postgres_scratch_start >/dev/null ||
  echo "PostgreSQL did not start: the link service is measured on SQLite only" >&2
for program in build/bench/bench_*; do
  [ -x "$program" ] || continue
  bench_rows "$program" build/bench >>"$rows"
done
postgres_scratch_stop

# The editor page in Chromium against the loopback host (open, keystrokes, scrolling).
if [ -x build/calcora-serve ] && [ -x "${CALCORA_CHROMIUM:-/usr/bin/chromium}" ] && [ -d e2e/node_modules ]; then
  echo "running editor page ..." >&2
  node e2e/bench/editor-bench.mjs >>"$rows" 2>build/bench/editor-page.log ||
    echo "  editor page ended with an error (see build/bench/editor-page.log)" >&2
  grep -E '^[0-9]+ lines:' build/bench/editor-page.log >&2 || true
  node e2e/bench/panels-bench.mjs >>"$rows" 2>build/bench/panels-page.log ||
    echo "  panels page ended with an error (see build/bench/panels-page.log)" >&2
fi

print_table "$rows"

# The core's programs built for Windows, under Wine. Wine turns file, thread and clock calls
# into Linux ones with costs of its own, so these figures only hint at a Windows machine's.
if [ "${CALCORA_BENCH_WINDOWS:-1}" != 0 ] && command -v x86_64-w64-mingw32-g++-posix >/dev/null &&
  command -v wine >/dev/null; then
  echo "building the Windows programs ..." >&2
  mkdir -p build-win
  if CALCORA_PAGE_BUILT=1 scripts/build-windows.sh -DCALCORA_BENCH=ON >build-win/bench-build.log 2>&1; then
    source scripts/wine-prefix.sh
    wine_up=1
    wine_ready
    : >"$rows"
    # CALCORA_SERVE may name a Linux host to compare; the Windows figures take the Windows one.
    for program in build-win/bench/bench_*.exe; do
      bench_rows "$program" build-win/bench env -u CALCORA_SERVE wine >>"$rows"
    done
    echo
    echo "Windows build under Wine (indicative only: Wine's file, thread and clock calls are not Windows' own)"
    echo
    print_table "$rows"
  else
    echo "the Windows build failed (see build-win/bench-build.log): no Wine table" >&2
  fi
fi
echo
cat bench/NOTES.md
