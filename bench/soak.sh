#!/usr/bin/env bash
# Hours of automatic mode on the live source against the recorded weather API, which fails one
# request in five: what the process holds at the start and the end (resident memory, open
# descriptors or handles, threads) and the status line once the service answers again.
#   bash bench/soak.sh linux BUILD_DIR MINUTES     (the target zonbode-soak built natively)
#   bash bench/soak.sh wine  BUILD_DIR MINUTES     (cross-built, run under wine64)
set -euo pipefail
cd "$(dirname "$0")/.."
kind=${1:?usage: soak.sh linux|wine BUILD_DIR MINUTES}
build=${2:?usage: soak.sh linux|wine BUILD_DIR MINUTES}
minutes=${3:?usage: soak.sh linux|wine BUILD_DIR MINUTES}

exec {server_out}< <(exec python3 tests/tools/zonbode-gateway/recorded_api.py \
    tests/tools/zonbode-gateway/answers)
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
read -r -t 30 line <&"$server_out"
port=${line##*:}
url="http://127.0.0.1:$port/flaky"

case $kind in
linux)
    "$build/bench/soak/zonbode-soak" --api-url "$url" --minutes "$minutes"
    ;;
wine)
    export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all
    source scripts/wine.sh
    [ -f "$WINEPREFIX/system.reg" ] || create_wine_prefix
    xvfb-run -a -s "-noreset" "$wine" "$build/bench/soak/zonbode-soak.exe" --api-url "$url" \
        --minutes "$minutes"
    ;;
*)
    echo "soak.sh: linux or wine, not $kind" >&2
    exit 2
    ;;
esac
