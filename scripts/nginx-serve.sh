#!/usr/bin/env bash
# Serves a folder with nginx on a free port of 127.0.0.1, the way a publisher
# serves its packages and update files; used by tests, the demo and the
# benchmark.
#   nginx-serve.sh start ROOT STATE [CERT KEY]   serve ROOT (HTTPS with CERT and KEY)
#   nginx-serve.sh stop STATE                     stop the server of STATE
#   nginx-serve.sh stop-all DIR                   stop every server whose STATE lies under DIR
# STATE is a folder of the caller's: the generated config, the logs, the pid
# file and "port" (written last, whole: wait for it). A Windows program under
# Wine cannot wait for a Linux one; it starts this script and waits for the
# port file.
set -euo pipefail
NGINX=${KESTRO_NGINX:-$(command -v nginx || echo /usr/sbin/nginx)}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

start() {
  local root state cert=${3:-} key=${4:-}
  root=$(readlink -f "$1"); mkdir -p "$2"; state=$(readlink -f "$2")
  rm -f "$state/port"
  stop "$state"
  mkdir -p "$state/tmp"
  local tries port listen
  for tries in 1 2 3 4 5; do
    port=$(free_port)
    listen="127.0.0.1:$port"
    [ -n "$cert" ] && listen="$listen ssl"
    cat >"$state/nginx.conf" <<CONF
daemon on;
user root;
worker_processes 1;
pid $state/nginx.pid;
error_log $state/error.log;
events { worker_connections 256; }
http {
  access_log $state/access.log;
  client_body_temp_path $state/tmp/body;
  proxy_temp_path $state/tmp/proxy;
  fastcgi_temp_path $state/tmp/fastcgi;
  uwsgi_temp_path $state/tmp/uwsgi;
  scgi_temp_path $state/tmp/scgi;
  default_type application/octet-stream;
  sendfile on;
  server {
    listen $listen;
    server_name localhost;
    $( [ -n "$cert" ] && echo "ssl_certificate $cert; ssl_certificate_key $key;" )
    root $root;
  }
}
CONF
    if "$NGINX" -c "$state/nginx.conf" -p "$state" 2>>"$state/error.log"; then
      echo "$port" >"$state/port.tmp" && mv "$state/port.tmp" "$state/port"
      echo "$port"
      return 0
    fi
  done
  echo "nginx did not start (see $state/error.log)" >&2
  return 1
}

stop() {
  local state=$1
  [ -f "$state/nginx.pid" ] || return 0
  "$NGINX" -c "$state/nginx.conf" -p "$state" -s stop 2>/dev/null || kill "$(cat "$state/nginx.pid")" 2>/dev/null || true
  rm -f "$state/nginx.pid" "$state/port"
}

stop_all() {
  [ -d "$1" ] || return 0
  find "$1" -name nginx.pid -print 2>/dev/null | while read -r pidfile; do stop "$(dirname "$pidfile")"; done
}

case "${1:-}" in
  start) shift; start "$@" ;;
  stop) stop "$(readlink -f "$2")" ;;
  stop-all) stop_all "$2" ;;
  *) sed -n '2,12p' "$0"; exit 2 ;;
esac
