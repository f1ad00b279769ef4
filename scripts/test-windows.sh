#!/usr/bin/env bash
# The Windows stage of the test suite: builds the Windows programs (scripts/build-windows.sh; at
# once when they are up to date), checks that the Linux and the Windows hosts write the same
# files, then runs the browser walks against calcora-serve.exe under Wine (Chromium stays the
# Linux one); beside the walks it runs every C++ test under Wine (ctest --test-dir build-win) and
# installs, starts and uninstalls the desktop program (below). `cpp`, `desktop` or `e2e` as the
# only argument runs just that part.
# The same-files check and the walks need the Linux programs in build/ (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
export NO_COLOR=1
part=${1:-all}
source scripts/stages.sh

stage "Windows build" scripts/build-windows.sh

source scripts/wine-prefix.sh
trap 'status=$?; wineserver -k >/dev/null 2>&1; (exit $status); calcora_stage_table' EXIT
stage "Wine prefix" wine_ready

# ---- The desktop program: installer, start with a stand-in browser, native dialog, uninstall ----
# Its own Wine prefix, so the installer meets a clean user profile; Xvfb, because the program
# shows windows (its dialogs). Where Wine has no Edge, the program is given a stand-in browser
# (tests/windows/stand_in_browser.cpp) that loads the page's address, asks for a save dialog and
# stays "open" until the test closes it.
desktop_program_tests() (
  set -euo pipefail
  CALCORA_WINDOWS_BUILT=1 scripts/package-windows.sh
  local version setup work display xvfb_pid
  version=$(sed -n 's/^project(calcora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  setup=$PWD/dist/Calcora-Setup-$version.exe
  work=$(mktemp -d)
  xvfb_pid=
  export WINEPREFIX=$PWD/build-win/wine-desktop WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  trap 'wineserver -k 2>/dev/null; [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
  # A screen of our own on a display number no other screen holds (Xvfb picks it and says which).
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.1; done
  display=:$(head -1 "$work/display")
  export DISPLAY=$display
  # Polls a condition 1200 times (at least two minutes: Wine's first starts are slow on a busy
  # machine, and the walks run beside).
  wait_for() {
    local what=$1
    shift
    for _ in $(seq 1200); do "$@" && return 0; sleep 0.1; done
    echo "desktop: timed out waiting for $what" >&2
    exit 1
  }
  # Every check ends the test on failure by itself: the stage runner calls this function where
  # the shell's own stop-on-error does not act.
  check() {
    local what=$1
    shift
    "$@" || { echo "desktop: $what" >&2; exit 1; }
  }
  ended() { local state; ! state=$(ps -o stat= -p "$1") || [[ $state == Z* ]]; }
  # Presses Enter in the window of that title while it is there (a key that came too early is
  # pressed again), then checks the condition that follows the press.
  enter_in() {
    local title=$1 window
    shift
    window=$(xdotool search --name "$title" 2>/dev/null | head -1) || true
    # No window manager runs on this screen: the window gets the keyboard focus directly.
    [ -z "$window" ] || xdotool windowfocus "$window" key --clearmodifiers Return 2>/dev/null || true
    for _ in 1 2 3 4 5; do "$@" && return 0; sleep 0.2; done
    return 1
  }
  [ -f "$WINEPREFIX/system.reg" ] || { wineboot --init >/dev/null 2>&1 || true; wineserver -w; }
  wait_for "the screen" xdotool getdisplaygeometry >/dev/null 2>&1
  local users
  users=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -1)
  local installed=$users/AppData/Local/Programs/Calcora data=$users/AppData/Roaming/com.calcora.desktop
  local start_menu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Calcora.lnk"
  rm -rf "$data" "$installed" "$users/AppData/Local/com.calcora.desktop"

  echo "desktop: silent install"
  check "the installer failed" wine "$setup" /S
  wait_for "the installed program" test -f "$installed/calcora.exe"
  check "no Start-menu shortcut" test -f "$start_menu"
  check "no desktop shortcut" test -f "$users/Desktop/Calcora.lnk"

  echo "desktop: without a browser the start fails with its box, its log line and exit code 1"
  wine "$installed/calcora.exe" 2>"$work/failed" &
  local failed=$!
  wait_for "the failed start's box to be answered" enter_in "Calcora: ошибка запуска" ended "$failed"
  local code=0
  wait "$failed" || code=$?
  [ "$code" = 1 ] || { echo "desktop: the failed start ended with $code" >&2; exit 1; }
  # A failure says what the program wrote instead.
  check "no failed-start line on standard error, which held: $(head -c 2000 "$work/failed")" \
    grep -q "Не удалось запустить Calcora: не найден браузер" "$work/failed"
  local startup_log=$users/AppData/Local/com.calcora.desktop/startup.log
  check "no failed-start line in the start-up log, which held: $(head -c 2000 "$startup_log" 2>/dev/null)" \
    grep -q "Не удалось запустить Calcora: не найден браузер" "$startup_log"

  echo "desktop: start with the stand-in browser"
  local log=$data/browser/stand-in.log started elapsed
  started=$(date +%s%N)
  CALCORA_BROWSER="$(winepath -w "$PWD/build-win/calcora_stand_in_browser.exe")" \
    CALCORA_STAND_IN_SAVE="смета №1.xlsx" wine "$installed/calcora.exe" 2>"$work/stderr" &
  local program=$!
  wait_for "the first answered command" grep -q "command answered" "$log" 2>/dev/null
  elapsed=$((($(date +%s%N) - started) / 1000000))
  echo "desktop: cold start to the first answered command: $elapsed ms"
  check "the stand-in did not get the page" grep -q "page loaded" "$log"
  check "the host answered a request without its key" grep -q "foreign requests refused" "$log"
  wait_for "the program's note of the page" grep -q "calcora: page loaded" "$work/stderr"
  check "no database in the roaming application data" test -s "$data/calcora.db"

  echo "desktop: the save dialog of an export, answered in Wine's own dialog"
  wait_for "the save dialog's answer" enter_in "Calcora save test" grep -q "save dialog answered" "$log"
  check "the dialog's path did not come back: $(cat "$log")" grep -q 'save dialog answered 200 ".*\\\\смета №1.xlsx"' "$log"

  echo "desktop: a second start brings the first window forward and ends"
  check "the second start failed" wine "$installed/calcora.exe"
  wait_for "the first copy's answer" grep -q "brings the window forward" "$work/stderr"

  echo "desktop: closing the window ends the program"
  touch "$data/browser/close-window"
  wait_for "the program to end" ended "$program"
  wait "$program" || { echo "desktop: the program ended with $?" >&2; exit 1; }
  check "the stand-in was not closed" grep -q "window closed" "$log"

  echo "desktop: uninstall keeps the data"
  check "the uninstaller failed" wine "$installed/uninstall.exe" /S
  wait_for "the program's removal" bash -c "! test -e '$installed/calcora.exe' && ! test -e '$start_menu'"
  check "the uninstaller removed the data" test -s "$data/calcora.db"
  echo "desktop: ok"
)

# The C++ tests and the desktop program run beside the walks, which spend most of their time
# waiting on the page and on the Wine host.
cpp_and_desktop() {
  if [ "$part" = all ] || [ "$part" = cpp ]; then
    stage "C++ tests under Wine" ctest --test-dir build-win --output-on-failure -j"$(nproc)"
  fi
  if [ "$part" = all ] || [ "$part" = desktop ]; then
    stage "desktop program: installer, start, dialog, uninstall" desktop_program_tests
  fi
}
stages_beside "C++ tests and the desktop program under Wine" cpp_and_desktop

if [ "$part" = all ] || [ "$part" = e2e ]; then
  # The walks start the host through this wrapper, which hands its arguments to the .exe under Wine.
  wrapper=$PWD/build-win/calcora-serve-wine
  cat >"$wrapper" <<WRAPPER
#!/bin/sh
exec wine "$PWD/build-win/calcora-serve.exe" "\$@"
WRAPPER
  chmod +x "$wrapper"

  [ -x build/calcora-serve ] || {
    echo "test-windows: build/calcora-serve is missing; run scripts/build.sh first" >&2
    exit 1
  }
  stage "same files from Linux and Windows" /usr/bin/python3 tests/windows/same_files.py build/calcora-serve "$wrapper"

  # Every walk runs: none has needed a skip under Wine. Their results go to a folder of their own,
  # so that a run here never clears the Linux walks' results (each run clears its folder first).
  stage "browser walks against the Windows host" bash -c \
    'cd e2e && npx tsc -p tsconfig.json && CALCORA_SERVE="$1" npx playwright test --output=test-results-windows' _ "$wrapper"
fi
stages_beside_wait
