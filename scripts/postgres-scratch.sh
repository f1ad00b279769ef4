# Sourced: `postgres_scratch_start` starts Debian's PostgreSQL in a fresh temporary folder, on
# a socket in that folder (no TCP port to collide with), as an unprivileged user (it refuses
# root), and exports CALCORA_TEST_POSTGRES with the connection string; `postgres_scratch_stop`
# stops it and removes the folder. Callers set a trap so that the stop also runs on failure.

postgres_scratch_bin() {
  local dir
  for dir in /usr/lib/postgresql/*/bin; do
    [ -x "$dir/pg_ctl" ] && { echo "$dir"; return 0; }
  done
  return 1
}

postgres_scratch_start() {
  local bin
  bin=$(postgres_scratch_bin) || { echo "postgres-scratch: PostgreSQL is not installed" >&2; return 1; }
  postgres_scratch_dir=$(mktemp -d -t calcora-pg.XXXXXX)
  postgres_scratch_as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$postgres_scratch_dir"
    postgres_scratch_as=(runuser -u postgres --)
  fi
  local data="$postgres_scratch_dir/data"
  "${postgres_scratch_as[@]}" "$bin/initdb" -D "$data" -A trust -U calcora -E UTF8 --locale=C --no-sync \
    >"$postgres_scratch_dir/initdb.log" 2>&1 || { cat "$postgres_scratch_dir/initdb.log" >&2; return 1; }
  # A throwaway cluster: no durability work, a socket in its own folder, no TCP.
  "${postgres_scratch_as[@]}" "$bin/pg_ctl" -D "$data" -l "$postgres_scratch_dir/server.log" -w -t 120 \
    -o "-k $postgres_scratch_dir -c listen_addresses='' -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null || { cat "$postgres_scratch_dir/server.log" >&2; return 1; }
  export CALCORA_TEST_POSTGRES="host=$postgres_scratch_dir user=calcora dbname=postgres"
  local i
  for i in $(seq 240); do
    "$bin/pg_isready" -q -h "$postgres_scratch_dir" && return 0
    sleep 0.5
  done
  echo "postgres-scratch: the server did not become ready" >&2
  return 1
}

postgres_scratch_stop() {
  [ -n "${postgres_scratch_dir:-}" ] || return 0
  local bin
  bin=$(postgres_scratch_bin)
  "${postgres_scratch_as[@]}" "$bin/pg_ctl" -D "$postgres_scratch_dir/data" -m immediate -w stop >/dev/null 2>&1
  rm -rf "$postgres_scratch_dir"
  postgres_scratch_dir=
}
