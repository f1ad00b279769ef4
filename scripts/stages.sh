# Sourced by the test scripts: `stage NAME COMMAND...` runs one stage and records its wall time
# and the processor time it used (user + system, all its processes; on a machine shared with other
# work the processor time is the steadier figure). The table of every stage run so far is printed
# when the script ends, pass or fail.
calcora_stage_rows=()
calcora_stage_start=$SECONDS

calcora_stage_times=$(mktemp)

# Sets calcora_cpu to the processor seconds used so far by this shell's finished children:
# bash's `times` (second line), run in this shell itself, since a subshell counts only its own.
calcora_cpu_now() {
  times >"$calcora_stage_times"
  calcora_cpu=$(sed -n 2p "$calcora_stage_times" |
    awk '{ t = 0; for (i = 1; i <= 2; i++) { split($i, p, /[ms]/); t += p[1] * 60 + p[2] } printf "%.0f", t }')
}

stage() {
  local name=$1 started=$SECONDS cpu_before status=0
  shift
  calcora_cpu_now
  cpu_before=$calcora_cpu
  echo "== $name"
  "$@" || status=$?
  calcora_cpu_now
  local took=$((SECONDS - started)) cpu=$((calcora_cpu - cpu_before))
  calcora_stage_rows+=("$(printf '%6d s %7d s  %s%s' "$took" "$cpu" "$name" "$([ $status -eq 0 ] || echo "  (FAILED, exit $status)")")")
  echo "== $name: ${took} s (processor ${cpu} s)"
  return $status
}

# `stages_beside NAME COMMAND...` starts a chain of work beside the stages that follow, at a lower
# priority, so it fills the processor time that waiting stages (browser walks) leave idle;
# COMMAND runs its own `stage` calls. Several chains may run beside at once. Each one's output is
# kept and printed by `stages_beside_wait`, with its stages' rows; the rows are marked as run
# beside others, so their wall times overlap.
calcora_beside_pids=()
calcora_beside_dirs=()
calcora_beside_names=()
stages_beside() {
  local name=$1 dir
  shift
  dir=$(mktemp -d)
  echo "== $name: started beside the next stages"
  # A process group of its own, so that a failure elsewhere can stop all of it at once.
  set -m
  (
    trap - EXIT
    calcora_stage_rows=()
    status=0
    renice -n 10 -p $BASHPID >/dev/null || true
    "$@" || status=$?
    printf '%s\n' "${calcora_stage_rows[@]}" | sed 's/$/  (beside)/' >"$dir/rows"
    exit $status
  ) >"$dir/log" 2>&1 &
  calcora_beside_pids+=($!)
  calcora_beside_dirs+=("$dir")
  calcora_beside_names+=("$name")
  set +m
}

# `stages_beside_wait [NAME]` waits for the chain started beside under NAME, or for every one in
# the order they were started, and prints each one's output and rows; fails when any of them
# failed. The others go on.
stages_beside_wait() {
  local only=${1:-} status=0 i
  local pids=() dirs=() names=()
  for i in "${!calcora_beside_pids[@]}"; do
    if [ -n "$only" ] && [ "${calcora_beside_names[$i]}" != "$only" ]; then
      pids+=("${calcora_beside_pids[$i]}")
      dirs+=("${calcora_beside_dirs[$i]}")
      names+=("${calcora_beside_names[$i]}")
      continue
    fi
    wait "${calcora_beside_pids[$i]}" || status=$?
    cat "${calcora_beside_dirs[$i]}/log"
    [ -s "${calcora_beside_dirs[$i]}/rows" ] &&
      mapfile -t -O "${#calcora_stage_rows[@]}" calcora_stage_rows <"${calcora_beside_dirs[$i]}/rows"
    rm -rf "${calcora_beside_dirs[$i]}"
  done
  calcora_beside_pids=("${pids[@]}")
  calcora_beside_dirs=("${dirs[@]}")
  calcora_beside_names=("${names[@]}")
  return $status
}

calcora_stage_table() {
  local status=$?
  # A failed stage ends the run: work still going beside it is stopped, its output shown.
  if ((${#calcora_beside_pids[@]})); then
    local pid
    for pid in "${calcora_beside_pids[@]}"; do kill -TERM -- "-$pid" 2>/dev/null || true; done
    stages_beside_wait || true
  fi
  rm -f "$calcora_stage_times"
  ((${#calcora_stage_rows[@]})) || return $status
  echo
  echo "Stage times:"
  echo "  wall processor  stage"
  printf '%s\n' "${calcora_stage_rows[@]}"
  local total=$((SECONDS - calcora_stage_start))
  if [ $status -eq 0 ]; then
    echo "Summary: ${#calcora_stage_rows[@]} stages passed in ${total} s ($((total / 60)) min $((total % 60)) s)"
  else
    echo "Summary: FAILED after ${total} s ($((total / 60)) min $((total % 60)) s)"
  fi
  return $status
}
trap calcora_stage_table EXIT
