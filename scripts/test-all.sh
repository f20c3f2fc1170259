#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Zonbode and runs every test suite:
# the Linux build, the same build with address and undefined-behaviour sanitizers,
# a short run of the parser fuzzer, the Windows build under wine, and the packages (made
# and tried as a user would).
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
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs"
}

run_suite "Linux" build
run_suite "Linux, sanitizers" build-sanitize -DZONBODE_SANITIZE=ON -DZONBODE_BENCH=OFF

# The fuzzer is built (so it cannot rot) and run for 30 s from the sample page; a finding
# stops the script with the end of the fuzzer's report, and the input that caused it is
# left in build-fuzz/.
echo "=== Parser fuzzer (30 s) ==="
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZONBODE_FUZZ=ON -DZONBODE_TESTS=OFF \
    -DZONBODE_BENCH=OFF -DZONBODE_QT=OFF
cmake --build build-fuzz -j "$jobs" --target forecast_parser_fuzz
mkdir -p build-fuzz/corpus
cp data/forecast-page.html build-fuzz/corpus/
./build-fuzz/fuzz/forecast_parser_fuzz -max_total_time=30 -dict=fuzz/forecast_parser.dict \
    -artifact_prefix=build-fuzz/ build-fuzz/corpus 2>&1 | tail -n 60
if [ -f scripts/test-windows.sh ]; then
    bash scripts/test-windows.sh
fi
echo "=== Packages ==="
bash scripts/test-packages.sh
