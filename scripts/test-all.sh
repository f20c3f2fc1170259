#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds Zonbode and runs every test suite:
# the Linux build, the same build with address and undefined-behaviour sanitizers,
# short runs of the fuzzers (the page parser, the readers of the weather service's answers),
# the Windows build under wine, and the packages (made and tried as a user would).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
# The builds below share one compiler cache (kept between runs in ~/.cache/ccache); paths are
# taken relative to the checkout, so another clone of the project finds the same entries.
export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
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

# The fuzzers are built (so they cannot rot) and run for 30 s each from their seeds; a finding
# stops the script with the end of the fuzzer's report, and the input that caused it is left
# in build-fuzz/ (named after the fuzzer).
run_fuzzer() {  # target, dictionary, seed files...
    local target=$1 dict=$2
    shift 2
    echo "=== Fuzzer $target (30 s) ==="
    local corpus=build-fuzz/corpus-$target
    mkdir -p "$corpus"
    cp "$@" "$corpus/"
    ./build-fuzz/fuzz/"$target" -max_total_time=30 -dict="$dict" \
        -artifact_prefix=build-fuzz/"$target"- "$corpus" 2>&1 | tail -n 60
}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZONBODE_FUZZ=ON -DZONBODE_TESTS=OFF \
    -DZONBODE_BENCH=OFF -DZONBODE_QT=OFF
cmake --build build-fuzz -j "$jobs" \
    --target forecast_parser_fuzz forecast_answer_fuzz search_answer_fuzz
answers=tests/tools/zonbode-gateway/answers
run_fuzzer forecast_parser_fuzz fuzz/forecast_parser.dict data/forecast-page.html
run_fuzzer forecast_answer_fuzz fuzz/live_answers.dict \
    "$answers"/{week,spring-week,six-days,eight-days,bad-json,out-of-range}.json fuzz/seeds/forecast-*.json
run_fuzzer search_answer_fuzz fuzz/live_answers.dict "$answers"/search-*.json \
    fuzz/seeds/search-*.json
if [ -f scripts/test-windows.sh ]; then
    bash scripts/test-windows.sh
fi
echo "=== Packages ==="
bash scripts/test-packages.sh
