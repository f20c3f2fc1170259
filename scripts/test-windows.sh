#!/usr/bin/env bash
# Cross-builds the Windows programs and test suites with mingw-w64 and runs the suites under
# wine64, with one virtual X display (wine delivers window messages only with a display).
# Everything stays inside build-win/, the wine prefix included.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=${ZONBODE_WIN_BUILD_DIR:-build-win}
jobs=$(nproc)
echo "=== Windows (mingw-w64, tests under wine) ==="
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DZONBODE_BENCH=OFF
cmake --build "$dir" -j "$jobs"

export WINEPREFIX="$PWD/$dir/wineprefix"
export ZONBODE_WINEPREFIX="$WINEPREFIX"
export WINEDEBUG=-all
source scripts/wine.sh
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the wine prefix in $WINEPREFIX"
    create_wine_prefix
fi

# One wine server for the whole run instead of one per test program; stopped at the end
# (-k addresses only this prefix's server). One still running for this prefix (from a run
# just before) simply serves this run too.
"$wineserver" -p || true
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# -noreset: a program started while the X server resets after its last client has left
# cannot connect to it.
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" \
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$jobs" --timeout 600
