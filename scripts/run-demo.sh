#!/usr/bin/env bash
# Installs what is needed, builds, starts the demo recipe server brastel-demo
# on a free port on 127.0.0.1 and the program pointed at it. The server stops
# when the program exits; its log (user messages, dropped clients) is kept in
# build/brastel-demo.log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target quorvel brastel-demo

log=build/brastel-demo.log
build/server/brastel-demo --listen 127.0.0.1 --port 0 --log-requests >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT

# Its first line tells the port: "Listening on 127.0.0.1:PORT".
line=""
for _ in $(seq 100); do
  line="$(head -n 1 "$log")"
  [[ "$line" == "Listening on "* ]] && break
  if ! kill -0 "$server" 2>/dev/null; then
    cat "$log" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ "$line" != "Listening on "* ]]; then
  echo "brastel-demo did not start; its output:" >&2
  cat "$log" >&2
  exit 1
fi
address="${line#Listening on }"
echo "Demo recipe server on $address (log: $log)"
build/src/quorvel --server "$address" "$@"
