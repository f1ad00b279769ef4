# Sourced by the scripts that run the Windows programs under Wine (scripts/test-windows.sh,
# bench/run.sh) from the project's folder: a Wine prefix of our own, made without questions (no
# Mono or Gecko download, no windows). `wine_ready` keeps one Wine server up until the caller's
# `wineserver -k`, so that each program starts in a fraction of a second instead of bringing a
# server up and down every time.
export WINEPREFIX=$PWD/build-win/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine_ready() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p || true  # a server of this prefix already up (exit 2) is kept as it is
  # Wine's own services (services.exe and the rest) start with the first program and keep its
  # output open: started by a test, they would hold ctest's pipe and ctest would wait on them. A
  # command interpreter waiting on a pipe of ours starts them apart and keeps them up until the end.
  exec {wine_hold}> >(wine cmd.exe >/dev/null 2>&1)
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}
