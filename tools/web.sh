#!/usr/bin/env bash
# Builds the web page and serves build/web/ on this machine only, at http://localhost:8080/ or,
# when that port is taken, the next free one; prints the address. Ctrl+C stops it.
# Usage: tools/web.sh [PORT]
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/build-web.sh
port=${1:-8080}
port_taken() { # PORT: whether something listens on it
  python3 -c 'import socket, sys
s = socket.socket()
try:
    s.bind(("127.0.0.1", int(sys.argv[1])))
except OSError:
    sys.exit(0)
sys.exit(1)' "$1"
}
while port_taken "$port"; do
  port=$((port + 1))
done
echo "web.sh: http://localhost:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory build/web
