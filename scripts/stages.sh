# Sourced by the test scripts: `stage NAME COMMAND...` runs one stage and records its wall
# time; the table of every stage run so far is printed when the script ends, pass or fail.
calcora_stage_rows=()
calcora_stage_start=$SECONDS

stage() {
  local name=$1 started=$SECONDS status=0
  shift
  echo "== $name"
  "$@" || status=$?
  local took=$((SECONDS - started))
  calcora_stage_rows+=("$(printf '%6d s  %s%s' "$took" "$name" "$([ $status -eq 0 ] || echo "  (FAILED, exit $status)")")")
  echo "== $name: ${took} s"
  return $status
}

calcora_stage_table() {
  local status=$?
  ((${#calcora_stage_rows[@]})) || return $status
  echo
  echo "Stage times:"
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
