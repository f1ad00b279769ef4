#!/usr/bin/env bash
# Installs what building and testing need: Debian packages (only those missing) and the
# page's npm packages from their lock files. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ make pkg-config git
  libsqlite3-dev nlohmann-json3-dev libicu-dev zlib1g-dev libfreetype-dev
  libxlsxwriter-dev libzip-dev libexpat1-dev libcurl4-openssl-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libmicrohttpd-dev libcpp-httplib-dev
  libpq-dev libssl-dev postgresql openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-freefont-ttf
  nodejs npm
  chromium xvfb xauth imagemagick xdotool x11-utils x11-xkb-utils python3-gi gir1.2-gtk-3.0
  libreoffice-calc-nogui poppler-utils qpdf sqlite3 curl
  gnumeric python3-openpyxl
  g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev tcl
  nsis zip
)

missing=()
for p in "${packages[@]}"; do
  # Already present (from Debian or otherwise): leave it alone.
  case "$p" in
    nodejs) command -v node >/dev/null 2>&1 && continue ;;
    npm) command -v npm >/dev/null 2>&1 && continue ;;
  esac
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The page and the browser tests; no browser download (Debian's chromium is used).
export PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1
for dir in ui e2e; do
  stamp="$dir/node_modules/.package-lock.json"
  if [ ! -f "$stamp" ] || [ "$dir/package-lock.json" -nt "$stamp" ]; then
    (cd "$dir" && npm ci --no-audit --no-fund)
  fi
done
