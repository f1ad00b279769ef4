#!/usr/bin/env bash
# The desktop window exports an estimate through the real GTK save dialog, driven from
# outside on a virtual X display as a user would with the keyboard:
#  1. a first start; the estimate list's name field (reached with Tab) creates an estimate;
#  2. a second start; Tab to the row's "Экспорт", Enter opens the menu, Enter picks "Книга Excel";
#  3. in the GTK save dialog the path .../report.pdf is typed over the proposed name and accepted;
#     the workbook lands on disk as report.xlsx (the page forces the extension).
# Usage: desktop_export.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: desktop_export.sh BUILD_DIR}" && pwd)
program="$build/calcora"

for tool in Xvfb xdotool unzip; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }
done
[ -x "$program" ] || { echo "SKIP: the desktop program was not built"; exit 0; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  # The screen is kept: the programs are stopped, the work folder stays.
  command -v import >/dev/null && import -window root "$work/fail.png" 2>/dev/null && echo "(screen kept in $work/fail.png)" &&
    trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done' EXIT
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}

# shellcheck source=helpers/waits.sh
. "$(dirname "$0")/helpers/waits.sh"
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; }
logged() { grep -qE "$2" "$1" 2>/dev/null; }

Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset -ardelay 60000 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
within 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 HOME="$work/home" LOCALAPPDATA="$work/local" G_MESSAGES_DEBUG=calcora
unset XDG_DATA_HOME
mkdir -p "$work/home" "$work/out"

start() {
  "$program" >"$work/$1.log" 2>&1 &
  pids+=($!)
  within 30 visible_window '^Calcora$' >/dev/null || fail "no Calcora window within 30 s"
  window=$(visible_window '^Calcora$')
  within 30 logged "$work/$1.log" 'command list_estimates answered' || fail "the estimate list was not loaded"
  xdotool windowfocus --sync "$window" || fail "could not focus the window"
  sleep 0.5  # the list is drawn after its answer arrives
}

# Focus order of a fresh list: menu toggle, four sections, settings, the name field (7th);
# with one estimate: then "+ Новая смета", "Открыть свой Excel", the estimate's link, "Экспорт" (11th).
tabs() { for _ in $(seq "$1"); do xdotool key --delay 60 Tab; done; }

echo "== an estimate from the list's name field"
start first
tabs 7
xdotool type --delay 40 'Smoke test' && xdotool key Return || fail "xdotool could not type"
within 20 logged "$work/first.log" 'command save_estimate answered' || fail "no estimate was created"
kill "${pids[-1]}"
within 10 sh -c "! xdotool search --onlyvisible --name '^Calcora$' >/dev/null 2>&1" || fail "the first window did not close"

echo "== export through the GTK save dialog"
start second
tabs 11
xdotool key Return && sleep 0.5 && xdotool key Return || fail "xdotool could not press Enter"
within 20 visible_window '^Сохранить файл$' >/dev/null || fail "no save dialog within 20 s"
dialog=$(visible_window '^Сохранить файл$')
# The name field has the focus and holds the proposed name: replace it with a whole path.
xdotool windowfocus --sync "$dialog" key ctrl+a && xdotool type --delay 30 "$work/out/report.pdf" && xdotool key Return ||
  fail "xdotool could not type into the dialog"
within 30 test -s "$work/out/report.xlsx" || fail "report.xlsx was not written"
[ -e "$work/out/report.pdf" ] && fail "the chosen extension was kept instead of the workbook's"
logged "$work/second.log" 'command export_estimate_xlsx answered' || fail "the export command did not answer"
# The listing is read whole before it is searched: grep -q leaving a pipe early would end unzip
# with SIGPIPE, which pipefail reports as a failure.
listing=$(unzip -l "$work/out/report.xlsx") || fail "report.xlsx is not a zip archive"
grep -q 'xl/worksheets/sheet1.xml' <<<"$listing" || fail "report.xlsx is not a workbook"
echo "desktop export test passed"
