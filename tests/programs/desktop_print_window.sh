#!/usr/bin/env bash
# The desktop window's print window, driven from outside as a user would: the proposal's
# "Сохранить PDF" opens a second window with the document and the print dialog; the dialog is
# cancelled, the second window closes on the window manager's close request, the program goes
# on and finally ends with 0. Buttons are pressed through the accessibility bus (AT-SPI), so
# no screen position is assumed. Usage: desktop_print_window.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: desktop_print_window.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
program="$build/calcora"
serve="$build/calcora-serve"

for tool in Xvfb xdotool dbus-run-session curl; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 0
  fi
done
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
  echo "SKIP: the AT-SPI Python bindings are not installed"
  exit 0
fi
if [ ! -x "$program" ] || [ ! -x "$serve" ]; then
  echo "SKIP: the desktop program was not built"
  exit 0
fi
# The accessibility bus lives on a session bus of this test's own, and its socket in a runtime
# folder of this test's own: without one it would take the user's, shared with any other run.
if [ -z "${CALCORA_PRINT_TEST_WORK:-}" ]; then
  work=$(mktemp -d)
  mkdir -m 700 "$work/runtime"
  exec env CALCORA_PRINT_TEST_WORK="$work" XDG_RUNTIME_DIR="$work/runtime" dbus-run-session -- bash "$0" "$@"
fi

work=$CALCORA_PRINT_TEST_WORK
pids=()
cleanup() {
  for pid in $(cat "$work"/*.pid 2>/dev/null) "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work" 2>/dev/null
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}

# shellcheck source=helpers/waits.sh
. "$here/helpers/waits.sh"

wait_gone() {  # SECONDS WINDOW-ID
  for _ in $(seq $(($1 * 5))); do
    xdotool getwindowname "$2" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

press() { /usr/bin/python3 "$here/helpers/press.py" "$@"; }

Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export GSETTINGS_BACKEND=memory
unset NO_AT_BRIDGE

echo "== an estimate with the proposal, made through the loopback host"
data="$work/home/.local/share/com.calcora.desktop"
mkdir -p "$data"
"$serve" --port 0 --data-dir "$data" >"$work/serve.log" 2>&1 &
serve_pid=$!
pids+=("$serve_pid")
wait_lines 15 "$work/serve.log" '^Calcora: http' 1 || fail "the loopback host did not start"
address=$(sed -n 's/^Calcora: \(http:\/\/[0-9.:]*\)\/#key=\(.*\)$/\1 \2/p' "$work/serve.log")
read -r origin key <<<"$address"
invoke() { curl -sf -X POST -H "X-Calcora-Key: $key" -H 'Content-Type: application/json' --data "$2" "$origin/api/invoke/$1"; }
created=$(invoke create_estimate '{"objectName":"Дача у озера"}') || fail "create_estimate failed"
payload=$(/usr/bin/python3 -c '
import json, sys
p = json.loads(sys.argv[1])
p["estimate"]["mode"] = "private"
p["estimate"]["mode_mask_json"] = json.dumps({"skuCost": True, "calculators": True, "proposal": True, "governmentEngine": False})
p["lines"] = [{"estimate_id": p["estimate"]["id"], "sort_order": 0, "line_type": "full", "name": "Кладка", "unit": "м2",
               "quantity": 12, "unit_price": 1500, "category": "work"}]
print(json.dumps({"payload": p}))' "$created") || fail "could not build the estimate"
invoke save_estimate "$payload" >/dev/null || fail "save_estimate failed"
kill "$serve_pid" && wait "$serve_pid" 2>/dev/null

echo "== Сохранить PDF"
(
  cd "$work" || exit
  env -u XDG_DATA_HOME HOME="$work/home" G_MESSAGES_DEBUG=calcora "$program" >"$work/program.log" 2>&1 &
  echo $! >"$work/program.pid"
  wait $!
  echo $? >"$work/program.rc"
) &
main=$(wait_window 30 '^Calcora$') || fail "no Calcora window within 30 s"
press link 'Дача у озера' 30 || fail "the estimate is not in the list"
press 'toggle button|push button' 'КП' 30 || fail "no КП button in the editor"
press 'push button' 'Сохранить PDF' 30 || fail "no Сохранить PDF button in the proposal panel"
wait_lines 30 "$work/program.log" 'print window opened' 1 || fail "no print window opened"
# The window carries the proposal's title, which the print dialog names the PDF after.
printing=$(wait_window 30 '^Дача у озера$') || fail "no print window titled with the proposal's title"
[ "$printing" != "$main" ] || fail "the print window is the main window"

echo "== the print dialog, then closing the print window"
dialog=$(wait_window 30 '^(Print|Печать)$') || fail "no print dialog"
xdotool windowfocus --sync "$dialog" key Escape || fail "could not cancel the print dialog"
wait_gone 10 "$dialog" || fail "the print dialog stayed open"
/usr/bin/python3 "$here/helpers/close_window.py" "$printing" || fail "could not send the close request"
wait_gone 10 "$printing" || fail "the print window did not close"
wait_lines 5 "$work/program.log" 'print window closed' 1 || fail "the program did not log the closed print window"
xdotool getwindowname "$main" >/dev/null 2>&1 || fail "the main window went away with the print window"
[ -f "$work/program.rc" ] && fail "the program ended with the print window"

echo "== close"
/usr/bin/python3 "$here/helpers/close_window.py" "$main" || fail "could not send the close request"
for _ in $(seq 100); do [ -s "$work/program.rc" ] && break; sleep 0.2; done
[ "$(cat "$work/program.rc" 2>/dev/null)" = 0 ] || fail "the program did not end with 0 after closing"
grep -qiE 'critical|segmentation' "$work/program.log" && fail "the program reported a fault"
echo "desktop print window test passed"
