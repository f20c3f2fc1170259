#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Zonbode and runs every test suite:
# the Linux build, the same build with address and undefined-behaviour sanitizers,
# the Windows build under wine, and the packages (made and tried as a user would).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
run_suite() {  # name, build dir, extra cmake arguments...
    local name=$1 dir=$2
    shift 2
    echo "=== $name ==="
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_suite "Linux" build
run_suite "Linux, sanitizers" build-sanitize -DZONBODE_SANITIZE=ON -DZONBODE_BENCH=OFF
if [ -f scripts/test-windows.sh ]; then
    bash scripts/test-windows.sh
fi
echo "=== Packages ==="
bash scripts/test-packages.sh
