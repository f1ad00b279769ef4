#!/usr/bin/env bash
# Builds the Windows desktop program's installer and its portable zip into dist/:
#   dist/Calcora-Setup-<version>.exe  per-user installer (Debian's nsis)
#   dist/Calcora-<version>-portable.zip  the same calcora.exe in a folder of its own
# Builds the Windows programs first (scripts/build-windows.sh) unless CALCORA_WINDOWS_BUILT=1.
set -euo pipefail
cd "$(dirname "$0")/.."

command -v makensis >/dev/null || { echo "package-windows: makensis is missing (Debian package nsis)" >&2; exit 1; }
[ "${CALCORA_WINDOWS_BUILT:-}" = 1 ] || scripts/build-windows.sh
program=build-win/calcora.exe
[ -f "$program" ] || { echo "package-windows: $program was not built" >&2; exit 1; }

version=$(sed -n 's/^project(calcora VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p dist
setup=dist/Calcora-Setup-$version.exe
portable=dist/Calcora-$version-portable.zip

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/Calcora"
# Without its symbol table: a third smaller, and nothing a user's machine needs.
x86_64-w64-mingw32-strip -o "$stage/Calcora/calcora.exe" "$program"
rm -f "$portable"
(cd "$stage" && zip -q -X -9 -r - Calcora) >"$portable"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DPROGRAM="$stage/Calcora/calcora.exe" \
  -DICON="$PWD/resources/windows/calcora.ico" -DOUT_FILE="$PWD/$setup" resources/windows/installer.nsi

ls -l "$setup" "$portable" | awk '{print "package-windows: " $NF " " $5 " bytes"}'
