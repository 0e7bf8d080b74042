#!/usr/bin/env bash
# A PostgreSQL server of the tests' own: `start DIR` makes a cluster in DIR and starts it on a
# Unix socket in DIR only (no TCP), `stop DIR` stops it and removes DIR; `halt DIR` stops it at
# once, as a power cut would, and `resume DIR` starts it again on what it kept. The superuser `its90`
# logs in without a password; every other login needs its password, as on a laboratory's
# server. Run as root (as in CI), the server runs as the system's postgres user.
set -euo pipefail
action=${1:?start or stop}
dir=${2:?the folder of the server}
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "${bin}" ] || [ ! -x "${bin}/initdb" ]; then
  echo "no PostgreSQL server installed (postgresql-15): scripts/install-deps.sh installs it" >&2
  exit 1
fi

as_server() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

# No TCP; speed over durability against a crash of the machine (fsync off), which the tests'
# throwaway books need not survive, while every commit still reaches the server's files before
# it is confirmed (synchronous_commit stays on), so that a server halted at once keeps it.
options="-c listen_addresses='' -c unix_socket_directories='${dir}' -c fsync=off -c full_page_writes=off -c max_connections=60"

case "${action}" in
start)
  if [ -f "${dir}/data/postmaster.pid" ]; then as_server "${bin}/pg_ctl" -D "${dir}/data" -m immediate stop >/dev/null 2>&1 || true; fi
  rm -rf "${dir}"
  mkdir -p "${dir}"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "${dir}"; fi
  as_server "${bin}/initdb" -D "${dir}/data" -U its90 -A trust -E UTF8 --locale=C.UTF-8 --no-sync >"${dir}/initdb.log" 2>&1 \
    || { cat "${dir}/initdb.log" >&2; exit 1; }
  cat >"${dir}/data/pg_hba.conf" <<EOF
local all its90 trust
local all all scram-sha-256
EOF
  as_server "${bin}/pg_ctl" -D "${dir}/data" -l "${dir}/server.log" -w -t 60 start \
    -o "${options}" \
    >/dev/null || { cat "${dir}/server.log" >&2; exit 1; }
  echo "PostgreSQL ${bin} listening in ${dir}"
  ;;
halt)  # as a power cut would: at once, the data kept for resume
  as_server "${bin}/pg_ctl" -D "${dir}/data" -m immediate -w stop >/dev/null
  ;;
resume)
  as_server "${bin}/pg_ctl" -D "${dir}/data" -l "${dir}/server.log" -w -t 60 start \
    -o "${options}" \
    >/dev/null || { cat "${dir}/server.log" >&2; exit 1; }
  ;;
stop)
  if [ -f "${dir}/data/postmaster.pid" ]; then as_server "${bin}/pg_ctl" -D "${dir}/data" -m fast -w stop >/dev/null; fi
  rm -rf "${dir}"
  ;;
*)
  echo "start, halt, resume or stop" >&2
  exit 1
  ;;
esac
