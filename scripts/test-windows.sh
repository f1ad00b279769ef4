#!/usr/bin/env bash
# The Windows stage of the test suite: builds the Windows programs (scripts/build-windows.sh),
# runs every C++ test under Wine, then the browser walks against calcora-serve.exe under Wine
# (Chromium stays the Linux one). `cpp` or `e2e` as the only argument runs just that half.
set -euo pipefail
cd "$(dirname "$0")/.."
part=${1:-all}
scripts/build-windows.sh

# A Wine prefix of our own, made once; its first start takes a while.
export WINEPREFIX=${WINEPREFIX:-$PWD/build-win/wine-prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
fi

if [ "$part" != e2e ]; then
  ctest --test-dir build-win --output-on-failure -j"$(nproc)"
fi
[ "$part" != cpp ] || exit 0

# The walks start the host through this wrapper, which hands its arguments to the .exe under Wine.
wrapper=$PWD/build-win/calcora-serve-wine
cat >"$wrapper" <<WRAPPER
#!/bin/sh
exec wine "$PWD/build-win/calcora-serve.exe" "\$@"
WRAPPER
chmod +x "$wrapper"
(cd e2e && npx tsc -p tsconfig.json && CALCORA_SERVE="$wrapper" npx playwright test)
