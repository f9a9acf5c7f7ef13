#!/bin/sh
# The README's nginx configuration, checked by nginx itself with a
# throw-away certificate and loopback ports; with a build folder, also run
# in front of a server: a board read over TLS, and a submission whose
# address is the one nginx forwarded. Skips (77) without nginx, but on CI.
set -eu
conf=$1
build=${2:-}
if ! command -v nginx >/dev/null 2>&1 && [ ! -x /usr/sbin/nginx ]; then
    echo "nginx is not installed (make leaderboard-test installs it)"
    [ "${CI:-}" = true ] && exit 1
    exit 77
fi
PATH=$PATH:/usr/sbin
dir=$(mktemp -d)
server_pid=""
cleanup() {
    [ -f "$dir/nginx.pid" ] && kill "$(cat "$dir/nginx.pid")" 2>/dev/null || true
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$dir"
}
trap cleanup EXIT
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }
tls=$(free_port)
plain=$(free_port)
backend=8080
if [ -n "$build" ]; then
    "$build/morvek-server" --port 0 --database "$dir/leaderboard.db" --trusted-proxy 127.0.0.1 \
        --verifier "$build/fake-verifier" --workers 1 >"$dir/server.out" 2>"$dir/server.err" &
    server_pid=$!
    for _ in $(seq 50); do
        [ -s "$dir/server.out" ] && break
        sleep 0.1
    done
    backend=$(head -1 "$dir/server.out" | sed 's/.*://')
fi
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 1 \
    -keyout "$dir/key.pem" -out "$dir/cert.pem" >/dev/null 2>&1
sed -e "s|listen 443 ssl;|listen 127.0.0.1:$tls ssl;|" -e "s|listen 80;|listen 127.0.0.1:$plain;|" \
    -e "s|/etc/ssl/certs/leaderboard.example.org.pem|$dir/cert.pem|" \
    -e "s|/etc/ssl/private/leaderboard.example.org.key|$dir/key.pem|" \
    -e "s|127.0.0.1:8080|127.0.0.1:$backend|" "$conf" >"$dir/site.conf"
cat >"$dir/nginx.conf" <<END
pid $dir/nginx.pid;
error_log $dir/error.log;
events {}
http {
    access_log off;
    client_body_temp_path $dir/body;
    proxy_temp_path $dir/proxy;
    include $dir/site.conf;
}
END
nginx -t -q -p "$dir" -c "$dir/nginx.conf"
echo "nginx accepts $conf"
[ -n "$build" ] || exit 0
nginx -p "$dir" -c "$dir/nginx.conf"
for _ in $(seq 50); do
    [ -f "$dir/nginx.pid" ] && break
    sleep 0.1
done
code=$(curl -sk -o /dev/null -w '%{http_code}' "https://127.0.0.1:$tls/api/v1/boards/normal-fast")
[ "$code" = 200 ] || { echo "a board through nginx answered $code"; exit 1; }
# chunked from the client, as nginx passes it on with a length
printf '0 option rules 1\n10 fake game 5 1 0 0 normal fast nginx\n' >"$dir/rec.txt"
code=$(curl -sk -o "$dir/answer" -w '%{http_code}' -H 'Transfer-Encoding: chunked' \
    -H 'Content-Type: text/plain' -H 'X-Forwarded-For: 6.6.6.6' --data-binary @"$dir/rec.txt" \
    "https://127.0.0.1:$tls/api/v1/runs?name=ann&score=5")
[ "$code" = 202 ] || { echo "a submission through nginx answered $code: $(cat "$dir/answer")"; exit 1; }
echo "nginx in front of the server: a board read and a submission over TLS"
