#!/usr/bin/env bash
# Installs what is missing, builds, and starts Calcora: the desktop window when a display
# is available, otherwise the loopback host (open the address it prints in a browser).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/calcora ]; then
  exec build/calcora
fi
echo "Нет дисплея: Calcora работает как локальный сервер; откройте адрес ниже в браузере."
exec build/calcora-serve "$@"
