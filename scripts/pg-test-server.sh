#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A throwaway PostgreSQL server for the tests, from Debian's postgresql package: a cluster in a
# temporary folder on a free port of 127.0.0.1, owned by an unprivileged user (the server
# refuses root; as root, the system's user "nobody" runs it), with a password that only a
# password file beside it holds, as ~/.pgpass would.
#
#   eval "$(scripts/pg-test-server.sh start)"      # exports what the tests read:
#       PINVEL_TEST_PG_URL  postgresql://pinvel@127.0.0.1:PORT/postgres
#       PINVEL_TEST_PG_CTL  a command taking "stop" or "start" (the fault tests stop it)
#       PINVEL_TEST_PG_DIR  the folder
#       PGPASSFILE          the password file
#   scripts/pg-test-server.sh stop "$PINVEL_TEST_PG_DIR"   # stops it and removes the folder
set -euo pipefail

bin_dir() {
    local d
    d="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
    [ -n "$d" ] && [ -x "$d/initdb" ] || { echo "no PostgreSQL server installed" >&2; exit 1; }
    echo "$d"
}

case "${1:-}" in
start)
    bin="$(bin_dir)"
    dir="$(mktemp -d /tmp/pinvel-pg.XXXXXX)"
    chmod 755 "$dir"
    run=""
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$dir"
        run="runuser -u nobody --"
    fi
    port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
    password="$(od -An -tx1 -N16 /dev/urandom | tr -d ' \n')"
    printf '%s\n' "$password" >"$dir/password"
    chmod 644 "$dir/password"
    $run "$bin/initdb" -D "$dir/data" -U pinvel -E UTF8 --locale=C.UTF-8 --auth-local=trust \
        --auth-host=scram-sha-256 --pwfile="$dir/password" >"$dir/initdb.log" 2>&1 ||
        { cat "$dir/initdb.log" >&2; exit 1; }
    rm -f "$dir/password"
    cat >"$dir/ctl" <<CTL
#!/usr/bin/env bash
# stop | start the throwaway server in $dir
set -euo pipefail
case "\$1" in
stop) $run "$bin/pg_ctl" -D "$dir/data" -m fast -w -t 30 stop >/dev/null ;;
start) $run "$bin/pg_ctl" -D "$dir/data" -l "$dir/data/server.log" -w -t 30 \\
        -o "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null ;;
*) echo "usage: \$0 stop|start" >&2; exit 2 ;;
esac
CTL
    chmod 755 "$dir/ctl"
    "$dir/ctl" start || { cat "$dir/data/server.log" >&2; exit 1; }
    printf '127.0.0.1:%s:*:pinvel:%s\n' "$port" "$password" >"$dir/pgpass"
    chmod 600 "$dir/pgpass"
    echo "export PINVEL_TEST_PG_URL='postgresql://pinvel@127.0.0.1:$port/postgres'"
    echo "export PINVEL_TEST_PG_CTL='$dir/ctl'"
    echo "export PINVEL_TEST_PG_DIR='$dir'"
    echo "export PGPASSFILE='$dir/pgpass'"
    ;;
stop)
    dir="${2:?the folder that start printed}"
    case "$dir" in /tmp/pinvel-pg.*) ;; *) echo "not a throwaway server: $dir" >&2; exit 2 ;; esac
    [ -x "$dir/ctl" ] && "$dir/ctl" stop 2>/dev/null || true
    rm -rf "$dir"
    ;;
*)
    echo "usage: $0 start | stop DIR" >&2
    exit 2
    ;;
esac
