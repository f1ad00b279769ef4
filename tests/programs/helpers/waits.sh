# Waits shared by the desktop program tests: each polls its condition up to a limit in seconds.

wait_window() {  # SECONDS TITLE-PATTERN: prints the id of a visible window with that title
  local id
  for _ in $(seq $(($1 * 5))); do
    id=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

wait_lines() {  # SECONDS FILE PATTERN COUNT: the file has at least COUNT lines matching PATTERN
  for _ in $(seq $(($1 * 5))); do
    [ "$(grep -cE "$3" "$2" 2>/dev/null)" -ge "$4" ] && return 0
    sleep 0.2
  done
  return 1
}

within() {  # SECONDS COMMAND...: the command succeeds within the limit
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
