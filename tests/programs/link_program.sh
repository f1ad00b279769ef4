#!/usr/bin/env bash
# The link service's program as an operator meets it: "ticket add" prints the key alone on
# its last line; "serve" prints its address first (the port it really bound); publishing
# with that key works over plain HTTP and over TLS with a given certificate; revoking the
# ticket locks it out; SIGTERM stops the service.
# Usage: link_program.sh BUILD_DIR
set -uo pipefail
build=$(cd "${1:?usage: link_program.sh BUILD_DIR}" && pwd)
program="$build/calcora-link"
[ -x "$program" ] || { echo "SKIP: the link service was not built"; exit 0; }
for tool in curl openssl; do command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 0; }; done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  for f in "$work"/*.log; do [ -f "$f" ] && { echo "--- $f"; cat "$f"; }; done
  exit 1
}
# shellcheck source=helpers/waits.sh
. "$(dirname "$0")/helpers/waits.sh"
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY

db="$work/link.db"
"$program" ticket add "Бригада Петрова" --data "$db" >"$work/add.out" || fail "ticket add failed"
key=$(tail -n 1 "$work/add.out")
[[ "$key" =~ ^clk_[A-Za-z0-9_-]{43}$ ]] || fail "ticket add printed no key on its last line: $(cat "$work/add.out")"
"$program" ticket add "Бригада Петрова" --data "$db" >/dev/null 2>&1 && fail "a second ticket of the same name was made"

# Starts the service with extra options; sets $base to the address it printed first.
serve() {
  local log=$1
  shift
  "$program" serve --listen 127.0.0.1:0 --data "$db" "$@" >"$work/$log.log" 2>&1 &
  pids+=($!)
  within 30 grep -q . "$work/$log.log" || fail "$log: the service printed nothing"
  local first
  first=$(head -n 1 "$work/$log.log")
  [[ "$first" =~ ^Calcora\ link:\ (https?://127\.0\.0\.1:[0-9]+)$ ]] || fail "$log: first line was: $first"
  base=${BASH_REMATCH[1]}
  [[ "$base" == *:0 ]] && fail "$log: printed port 0"
}

publish() {  # base, ticket, extra curl options → the reply
  curl -sS "${@:3}" -H 'Content-Type: application/json' --data-binary \
    "{\"ticket\":\"$2\",\"token\":null,\"snapshot\":{\"title\":\"КП\",\"object_name\":\"Дом\",\"lines\":[],\"stages\":[],\"total\":0}}" \
    "$1/api/proposals"
}

serve plain
reply=$(publish "$base" "$key") || fail "publish failed"
[[ "$reply" =~ \"ok\":true,\"token\":\"([A-Za-z0-9_-]{22,})\" ]] || fail "publish replied $reply"
token=${BASH_REMATCH[1]}
status=$(curl -s -o "$work/page.html" -w '%{http_code}' "$base/p/$token")
[ "$status" = 200 ] && grep -q '<h1>КП</h1>' "$work/page.html" || fail "the customer page answered $status"
[[ "$(publish "$base" "clk_wrong")" == *'ключ доступа не принят'* ]] || fail "a wrong key was taken"

"$program" ticket list --data "$db" | grep -q $'^Бригада Петрова\t.*\tдействует$' || fail "ticket list does not show the live ticket"
"$program" ticket revoke "Бригада Петрова" --data "$db" >/dev/null || fail "ticket revoke failed"
[[ "$(publish "$base" "$key")" == *'ключ доступа не принят'* ]] || fail "a revoked key was taken"
grep -q "$key" "$work"/plain.log && fail "the log holds a ticket key"
kill -TERM "${pids[-1]}"
within 15 bash -c "! kill -0 ${pids[-1]} 2>/dev/null" || fail "the service did not stop on SIGTERM"

# TLS with a certificate of its own.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout "$work/key.pem" \
  -out "$work/cert.pem" >/dev/null 2>&1 || fail "openssl could not make a certificate"
key2=$("$program" ticket add "TLS" --data "$db" | tail -n 1)
serve tls --tls-cert "$work/cert.pem" --tls-key "$work/key.pem"
[[ "$base" == https://* ]] || fail "with a certificate the address is not https: $base"
reply=$(publish "$base" "$key2" --cacert "$work/cert.pem") || fail "publish over TLS failed"
[[ "$reply" == *'"ok":true'* ]] || fail "publish over TLS replied $reply"
echo "PASS"
