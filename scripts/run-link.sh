#!/usr/bin/env bash
# Installs what is missing, builds, and starts the proposal link service on SQLite. The first
# time (no ticket yet) it makes one and prints it to paste into the program's settings,
# "Ссылки". Options go to `calcora-link serve` (for instance --listen 0.0.0.0:8080, or
# --data FILE; default: beside the program's data, listening on 127.0.0.1:8080).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >&2
scripts/build.sh >&2

data=()
for ((i = 1; i <= $#; i++)); do
  if [ "${!i}" = --data ] || [ "${!i}" = --postgres ]; then
    next=$((i + 1))
    data=("${!i}" "${!next}")
  fi
done
if [ -z "$(build/calcora-link ticket list "${data[@]}")" ]; then
  key=$(build/calcora-link ticket add "$(whoami)" "${data[@]}" | tail -n 1)
  echo "Ключ доступа для программы (Настройки → «Ссылки»): $key"
  echo "В программе задайте CALCORA_SITE_URL адресом этого сервиса (см. README, «Сервис ссылок»)."
fi
exec build/calcora-link serve "$@"
