#!/usr/bin/env bash
# The Windows stage of the test suite: builds the Windows programs (scripts/build-windows.sh),
# runs every C++ test under Wine (ctest --test-dir build-win), checks that the Linux and the
# Windows hosts write the same files, then runs the browser walks against calcora-serve.exe under
# Wine (Chromium stays the Linux one). `cpp` or `e2e` as the only argument runs just that half.
# The same-files check and the walks need the Linux programs in build/ (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
export NO_COLOR=1
part=${1:-all}
source scripts/stages.sh

stage "Windows build" scripts/build-windows.sh

# A Wine prefix of our own, made without questions (no Mono or Gecko download, no windows). One
# Wine server is kept for the whole run, so that each program starts in a fraction of a second
# instead of bringing a server up and down every time.
export WINEPREFIX=$PWD/build-win/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p
  # Wine's own services (services.exe and the rest) start with the first program and keep its
  # output open: started by a test, they would hold ctest's pipe and ctest would wait on them. A
  # command interpreter waiting on a pipe of ours starts them apart and keeps them up until the end.
  exec {wine_hold}> >(wine cmd.exe >/dev/null 2>&1)
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}
trap 'status=$?; wineserver -k >/dev/null 2>&1; (exit $status); calcora_stage_table' EXIT
stage "Wine prefix" wine_ready

if [ "$part" != e2e ]; then
  stage "C++ tests under Wine" ctest --test-dir build-win --output-on-failure -j"$(nproc)"
fi
[ "$part" != cpp ] || exit 0

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

# Every walk runs: none has needed a skip under Wine.
stage "browser walks against the Windows host" bash -c \
  'cd e2e && npx tsc -p tsconfig.json && CALCORA_SERVE="$1" npx playwright test' _ "$wrapper"
