# shellcheck shell=bash disable=SC2034
# Throwaway PostgreSQL 15 cluster for the test run. Source this file, then:
#   pg_cluster_start   # sets PG_CLUSTER_PORT, PG_CLUSTER_PASSWORD and PG_CLUSTER_CONNINFO
#   pg_cluster_stop    # stops the server and removes every file of the cluster (safe to call twice)
# The caller installs a trap that calls pg_cluster_stop on every exit path.
#
# The cluster lives in a temporary directory owned by the postgres user (initdb refuses to run as root),
# listens on 127.0.0.1 only, on the first free port from 55433 upward, with its socket in its own
# directory. TCP connections need the password (scram-sha-256), just as on a real server; local socket
# connections are trusted. Durability is switched off: the data is thrown away afterwards.

PG_CLUSTER_BIN=${PG_CLUSTER_BIN:-/usr/lib/postgresql/15/bin}
PG_CLUSTER_FIRST_PORT=${PG_CLUSTER_FIRST_PORT:-55433}
PG_CLUSTER_DIR=
PG_CLUSTER_PORT=
PG_CLUSTER_PASSWORD=
PG_CLUSTER_CONNINFO=
_pg_cluster_running=0

# Root runs commands directly; a normal user goes through sudo.
_pg_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -- "$@"; fi
}
_pg_as_postgres() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else sudo -u postgres -- "$@"; fi
}

# True when something already accepts TCP connections on 127.0.0.1:$1.
_pg_port_taken() {
  (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

pg_cluster_start() {
  if [ ! -x "$PG_CLUSTER_BIN/initdb" ]; then
    echo "PostgreSQL 15 server programs not found in $PG_CLUSTER_BIN (package postgresql)." >&2
    return 1
  fi
  if ! getent passwd postgres >/dev/null; then
    echo "The system user 'postgres' does not exist (package postgresql)." >&2
    return 1
  fi

  # A memory file system when it has room (a cluster full of test databases grows to a few GB, and
  # writing and deleting that on a disk mounted with online discard takes minutes), else /tmp. Fixed
  # places rather than TMPDIR so that the postgres user can reach them; short, for the socket path.
  local parent=/tmp avail
  if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    avail=$(df -Pk /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')
    if [ "${avail:-0}" -ge $((6 * 1024 * 1024)) ]; then parent=/dev/shm; fi
  fi
  PG_CLUSTER_DIR=$(mktemp -d "$parent/quorvan-pg.XXXXXX")
  PG_CLUSTER_PASSWORD=$(head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')
  mkdir -p "$PG_CLUSTER_DIR/socket"
  (umask 077 && printf '%s\n' "$PG_CLUSTER_PASSWORD" >"$PG_CLUSTER_DIR/pwfile")
  _pg_as_root chown -R postgres: "$PG_CLUSTER_DIR"
  _pg_as_root chmod 700 "$PG_CLUSTER_DIR"

  # Output is captured here: a normal user may not write into the directory that postgres now owns.
  local out
  if ! out=$(_pg_as_postgres "$PG_CLUSTER_BIN/initdb" -D "$PG_CLUSTER_DIR/data" -U postgres \
      -A scram-sha-256 --auth-local=trust --pwfile="$PG_CLUSTER_DIR/pwfile" \
      -E UTF8 --locale=C.UTF-8 --no-sync 2>&1); then
    echo "initdb failed:" >&2
    printf '%s\n' "$out" >&2
    return 1
  fi
  _pg_as_root rm -f "$PG_CLUSTER_DIR/pwfile"

  # Try ports upward; another program may grab a port between the check and the start, so a failed
  # start on an address already in use moves on to the next port too.
  local port=$PG_CLUSTER_FIRST_PORT last=$((PG_CLUSTER_FIRST_PORT + 100))
  while [ "$port" -lt "$last" ]; do
    if ! _pg_port_taken "$port"; then
      if out=$(_pg_as_postgres "$PG_CLUSTER_BIN/pg_ctl" -D "$PG_CLUSTER_DIR/data" -l "$PG_CLUSTER_DIR/server.log" \
          -w -t 60 -o "-c port=$port -c listen_addresses=127.0.0.1 \
-c unix_socket_directories=$PG_CLUSTER_DIR/socket -c fsync=off -c synchronous_commit=off \
-c full_page_writes=off -c wal_level=minimal -c max_wal_senders=0 -c max_connections=200 \
-c autovacuum=off" start 2>&1); then
        _pg_cluster_running=1
        break
      fi
      if ! _pg_as_root grep -q 'could not bind\|could not create any TCP/IP sockets' \
          "$PG_CLUSTER_DIR/server.log"; then
        echo "The PostgreSQL server did not start:" >&2
        printf '%s\n' "$out" >&2
        _pg_as_root cat "$PG_CLUSTER_DIR/server.log" >&2 || true
        return 1
      fi
      _pg_as_root truncate -s 0 "$PG_CLUSTER_DIR/server.log"
    fi
    port=$((port + 1))
  done
  if [ "$_pg_cluster_running" -ne 1 ]; then
    echo "No free port for PostgreSQL between $PG_CLUSTER_FIRST_PORT and $((last - 1))." >&2
    return 1
  fi

  PG_CLUSTER_PORT=$port
  PG_CLUSTER_CONNINFO="host=127.0.0.1 port=$port user=postgres password=$PG_CLUSTER_PASSWORD"
  echo "PostgreSQL 15 test cluster on 127.0.0.1:$port ($PG_CLUSTER_DIR)"
}

pg_cluster_stop() {
  _pg_cluster_running=0
  if [ -z "$PG_CLUSTER_DIR" ] || [ ! -d "$PG_CLUSTER_DIR" ]; then
    PG_CLUSTER_DIR=
    return 0
  fi
  # Also after a start that was interrupted or timed out: a server may be up without pg_ctl saying so.
  # Immediate: nothing needs to be kept, the files are removed next.
  if _pg_as_root test -f "$PG_CLUSTER_DIR/data/postmaster.pid"; then
    _pg_as_postgres "$PG_CLUSTER_BIN/pg_ctl" -D "$PG_CLUSTER_DIR/data" -m immediate -w -t 30 stop \
      >/dev/null 2>&1 || true
  fi
  _pg_as_root rm -rf -- "$PG_CLUSTER_DIR" || true
  PG_CLUSTER_DIR=
}
