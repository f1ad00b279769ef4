#!/usr/bin/env bash
# The desktop window on a virtual X display, driven from outside as a user would:
#  1. a first start creates the database, shows the page and answers the page's first command;
#     Ctrl+S / Ctrl+O (also with a Russian-only keyboard layout) reach the page as events;
#     closing the window through the window manager's close request ends the program with 0;
#  2. a database path that is a folder fails the start with the "критическая ошибка" box and
#     the start-up log line, and the program ends once the box is closed, leaving no window.
# The round trip page → core → page is observed through GLib's own debug switch
# (G_MESSAGES_DEBUG=calcora), under which the window writes one line per command it answers.
# Usage: desktop_smoke.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: desktop_smoke.sh BUILD_DIR}" && pwd)
program="$build/calcora"

for tool in Xvfb xdotool import sqlite3; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed"
    exit 0
  fi
done
if [ ! -x "$program" ]; then
  echo "SKIP: the desktop program was not built"
  exit 0
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in $(cat "$work"/*.pid 2>/dev/null) "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}

# Xvfb picks a free display itself and reports its number. Keys do not repeat: on a busy
# machine a synthetic key may stay down long enough to repeat, which would count as a second press.
Xvfb -displayfd 3 -screen 0 1400x900x24 -nolisten tcp -noreset -ardelay 60000 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1

# Waits up to $1 seconds for a visible window whose title matches $2; prints its id.
# shellcheck source=helpers/waits.sh
. "$(dirname "$0")/helpers/waits.sh"

# Waits up to $1 seconds for the program to end, that is for its exit code in the file $2.
wait_exit() {
  for _ in $(seq $(($1 * 5))); do
    [ -s "$2" ] && return 0
    sleep 0.2
  done
  return 1
}

# Waits up to $1 seconds until a screenshot of window $2, kept as file $3, shows the painted
# page rather than the window's one background colour. On a busy machine the first paint can
# come seconds after the page's first command.
wait_painted() {
  for _ in $(seq $(($1 * 2))); do
    import -window "$2" "$3" 2>/dev/null && [ "$(convert "$3" -format '%k' info:)" -gt 8 ] && return 0
    sleep 0.5
  done
  return 1
}

# Asks the window to close the way a window manager does (WM_DELETE_WINDOW); there is no
# window manager on the virtual display, and xdotool can only destroy windows outright.
request_close() {
  /usr/bin/python3 "$(dirname "$0")/helpers/close_window.py" "$1"
}

# Starts the program in the background with a fresh home; extra NAME=VALUE pairs go first.
start_program() {
  local log=$1 rc=$2
  shift 2
  (
    cd "$work" || exit
    env -u XDG_DATA_HOME HOME="$work/home" LOCALAPPDATA="$work/local" G_MESSAGES_DEBUG=calcora "$@" \
      "$program" >"$log" 2>&1 &
    echo $! >"$rc.pid"
    wait $!
    echo $? >"$rc"
  ) &
}

started=$SECONDS
echo "== first start"
mkdir -p "$work/home"
start_program "$work/first.log" "$work/first.rc"
window=$(wait_window 30 '^Calcora$') || fail "no Calcora window within 30 s"
db="$work/home/.local/share/com.calcora.desktop/calcora.db"
[ -f "$db" ] || fail "no database at $db"
version=$(sqlite3 -cmd '.timeout 10000' "$db" 'PRAGMA user_version') || fail "sqlite3 cannot read the database"
[ "$version" = 11 ] || fail "database user_version is $version, expected 11"
# Any answer, a result or a refusal, proves the page's request reached the core and came back.
wait_lines 20 "$work/first.log" 'calcora-DEBUG.*command [a-z_]+ (answered|failed)' 1 ||
  fail "the page's first command never reached the core"
wait_painted 30 "$window" "$work/window.png" ||
  fail "the window shows $(convert "$work/window.png" -format '%k' info: 2>/dev/null) colours after 30 s: the page did not render"
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 1280x800 ] || fail "window is $geometry, expected 1280x800"
if command -v xprop >/dev/null; then
  hints=$(xprop -id "$window" WM_NORMAL_HINTS)
  grep -q 'minimum size: 900 by 600' <<<"$hints" || fail "the window's minimum size is not 900x600"
fi

echo "== shortcuts"
xdotool windowfocus --sync "$window" key ctrl+s || fail "xdotool could not type"
wait_lines 20 "$work/first.log" 'event "global-save"' 1 || fail "Ctrl+S did not reach the page"
if command -v setxkbmap >/dev/null; then
  # A keyboard with only the Russian layout: the S key now types "ы".
  setxkbmap ru && xdotool windowfocus --sync "$window" key ctrl+Cyrillic_yeru && setxkbmap us ||
    fail "could not switch the keyboard layout"
  wait_lines 20 "$work/first.log" 'event "global-save"' 2 || fail "Ctrl+S with the Russian layout did not reach the page"
fi
# Ctrl+O last: the page answers it with the modal open dialog, which takes the keyboard and
# would hold the window's close; it is dismissed as a user would.
xdotool windowfocus --sync "$window" key ctrl+o || fail "xdotool could not type"
wait_lines 20 "$work/first.log" 'event "global-open"' 1 || fail "Ctrl+O did not reach the page"
open_dialog=$(wait_window 30 '^Открыть файл$') || fail "Ctrl+O did not show the open dialog"
xdotool windowfocus --sync "$open_dialog" key Escape || fail "xdotool could not type"
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Открыть файл$' >/dev/null 2>&1 || break; sleep 0.2; done
xdotool search --onlyvisible --name '^Открыть файл$' >/dev/null 2>&1 && fail "the open dialog did not close on Escape"
# Only the press counts: three presses, three events. A release's event would follow its press
# closely; this short look can miss one on a slow machine but never fails a sound program.
sleep 0.3
[ "$(grep -cE 'event "global-(save|open)"' "$work/first.log")" = 3 ] || fail "a key release emitted an event"

if /usr/bin/python3 -c 'import gi; gi.require_version("Gtk", "3.0")' 2>/dev/null; then
  echo "== dropped files"
  # A second program offers two addresses to drag: a local file with a Cyrillic name and a web address.
  /usr/bin/python3 - 'file:///tmp/%D0%A1%D0%BC%D0%B5%D1%82%D0%B0%20%E2%84%961.xlsx' 'https://calcora.ru/x' \
    >"$work/dragsource.log" 2>&1 <<'PY' &
import sys, gi
gi.require_version("Gtk", "3.0")
from gi.repository import Gtk, Gdk
w = Gtk.Window(title="drag source")
w.move(0, 0)
w.set_default_size(120, 80)
b = Gtk.Button(label="drag")
w.add(b)
b.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
b.drag_source_add_uri_targets()
b.connect("drag-data-get", lambda widget, context, data, info, time: data.set_uris(sys.argv[1:]))
w.show_all()
Gtk.main()
PY
  pids+=($!)
  wait_window 30 '^drag source$' >/dev/null || fail "the drag source did not start"
  drag_to() {  # press on the source, move over the window to x,y, release there
    xdotool mousemove 40 30 mousedown 1 || return 1
    for x in 80 200 400 600 "$1"; do xdotool mousemove "$x" "$2"; sleep 0.1; done
    # Hover a moment, as a hand does: WebKit answers each motion asynchronously, and a
    # release before its answer lands counts as a refused drop.
    for dx in 1 2 3 4 5; do xdotool mousemove "$(($1 + dx))" "$2"; sleep 0.15; done
    xdotool mouseup 1
  }
  # Over the window and back: WebKit already reads the data, but nothing was dropped.
  xdotool mousemove 40 30 mousedown 1 && for x in 80 300 600 300 80 40; do xdotool mousemove "$x" 400; sleep 0.1; done &&
    xdotool mousemove 40 30 && sleep 0.3 && xdotool mouseup 1 || fail "xdotool could not drag"
  sleep 1  # the refused drag's icon glides back first
  grep -q 'files-dropped' "$work/first.log" && fail "a drag that only passed over the window emitted files-dropped"
  # A synthetic drag on a busy machine sometimes ends before WebKit has accepted it; a user
  # would simply drop again, and so does the test (at most three times).
  for _ in 1 2 3; do
    drag_to 700 400 || fail "xdotool could not drag"
    wait_lines 10 "$work/first.log" 'navigation to file:' 1 && break
    sleep 1
  done
  wait_lines 10 "$work/first.log" 'event "files-dropped", \["/tmp/\\u0421\\u043c\\u0435\\u0442\\u0430 \\u21161.xlsx"\]$' 1 ||
    fail "the dropped file did not reach the page as its path"
  wait_lines 10 "$work/first.log" 'navigation to file:' 1 || fail "the drop outside a drop zone was not refused as a navigation"
  wait_painted 15 "$window" "$work/after-drop.png" || fail "the page is gone after the drop"
fi

echo "== close"
request_close "$window" || fail "could not send the close request"
wait_exit 30 "$work/first.rc" || fail "the program did not end within 30 s of the close request"
[ "$(cat "$work/first.rc")" = 0 ] || fail "exit code $(cat "$work/first.rc") after closing, expected 0"
grep -q 'the page finished its close work' "$work/first.log" || fail "the window closed without the page's close work"
xdotool search --onlyvisible --name '^Calcora' >/dev/null 2>&1 && fail "a window is still open after closing"

echo "== typing in the editor, then Ctrl+S"
# A second start on the same database: Enter in the estimate list's name field creates an
# estimate with one empty line and opens its editor; Enter there starts editing that line's
# name; what is typed is stored by Ctrl+S (the window's own shortcut, before any autosave).
start_program "$work/editor.log" "$work/editor.rc"
window=$(wait_window 30 '^Calcora$') || fail "no Calcora window for the editor walk"
wait_lines 20 "$work/editor.log" 'command list_estimates answered' 1 || fail "the estimate list did not load"
# The list's name field follows the side menu's toggle, its five entries and "Настройки".
xdotool windowfocus --sync "$window" key --delay 80 Tab Tab Tab Tab Tab Tab Tab || fail "xdotool could not type"
xdotool type --delay 60 'Smoke' && xdotool key Return || fail "xdotool could not type"
wait_lines 20 "$work/editor.log" 'command get_estimate answered' 1 || fail "the new estimate's editor did not open"
sleep 1
xdotool key Return && xdotool type --delay 80 'Kladka' || fail "xdotool could not type"
sleep 0.2
xdotool key ctrl+s || fail "xdotool could not type"
wait_lines 5 "$work/editor.log" 'event "global-save"' 1 || fail "Ctrl+S did not reach the editor"
for _ in $(seq 50); do
  [ "$(sqlite3 -cmd '.timeout 10000' "$db" "SELECT count(*) FROM estimate_lines WHERE name = 'Kladka'" 2>/dev/null)" = 1 ] && break
  sleep 0.2
done
[ "$(sqlite3 -cmd '.timeout 10000' "$db" "SELECT count(*) FROM estimate_lines WHERE name = 'Kladka'")" = 1 ] ||
  fail "the line typed in the editor is not in the database after Ctrl+S"
request_close "$window" || fail "could not send the close request"
wait_exit 10 "$work/editor.rc" || fail "the program did not end after the editor walk"

echo "== database path is a folder"
mkdir -p "$work/xdg/com.calcora.desktop/calcora.db"
start_program "$work/broken.log" "$work/broken.rc" XDG_DATA_HOME="$work/xdg"
box=$(wait_window 30 'Calcora: критическая ошибка') || fail "no 'Calcora: критическая ошибка' box within 30 s"
xdotool search --onlyvisible --name '^Calcora$' >/dev/null 2>&1 && fail "the main window opened despite the failure"
grep -q '^panic: panicked at .*' "$work/broken.log" || fail "no 'panic: ' line on stderr"
grep -q 'база данных: ' "$work/broken.log" || fail "the fault does not name the database"
startup_log="$work/local/com.calcora.desktop/startup.log"
[ -f "$startup_log" ] || fail "no start-up log at $startup_log"
grep -qE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2} panic: panicked at ' "$startup_log" ||
  fail "the start-up log has no time-stamped 'panic: ' line"
grep -q '^база данных: ' "$startup_log" || fail "the start-up log does not name the database"
[ -f "$work/broken.rc" ] && fail "the program ended before its box was closed"
xdotool windowfocus --sync "$box" key Return || fail "could not close the box"
wait_exit 30 "$work/broken.rc" || fail "the program did not end after its box was closed"
[ "$(cat "$work/broken.rc")" != 0 ] || fail "a failed start ended with exit code 0"
xdotool search --onlyvisible --name 'Calcora' >/dev/null 2>&1 && fail "a window is still open after the failed start"

echo "desktop smoke test passed in $((SECONDS - started)) s"
