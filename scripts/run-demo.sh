#!/usr/bin/env bash
# Runs Zonbode on this desktop against the bundled demo forecast server, on a fresh Debian 12
# machine: installs what is needed, builds, starts zonbode-demo-server on a free loopback port
# and zonbode against it. The server stops when the window is closed.
#   scripts/run-demo.sh            (from a desktop session)
#   xvfb-run -a scripts/run-demo.sh (no screen: a virtual one, nothing to see)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run-demo: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "run-demo: Zonbode is a desktop program; start this from a desktop session," >&2
    echo "run-demo: or under a virtual X server: xvfb-run -a scripts/run-demo.sh" >&2
    exit 1
fi

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target zonbode zonbode-demo-server psm-listen

log=$(mktemp)
build/tools/zonbode-demo-server/zonbode-demo-server --port 0 >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$log"' EXIT

port=""
for _ in $(seq 300); do
    port=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$log")
    [ -n "$port" ] && break
    if ! kill -0 "$server" 2>/dev/null; then
        echo "run-demo: the demo server did not start:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "run-demo: the demo server did not report its port" >&2
    exit 1
fi

echo "run-demo: demo forecast server on 127.0.0.1:$port"
echo "run-demo: watch deliveries in another terminal with: build/tools/psm-listen/psm-listen --decode"
build/src/app/qt/zonbode --host 127.0.0.1 --port "$port"
