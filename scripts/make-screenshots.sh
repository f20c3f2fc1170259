#!/usr/bin/env bash
# Makes the README's screenshots from the programs as they are, into docs/: the Linux window
# at 100% and 200% (screenshot.png, screenshot-200.png) and zonbode.exe under wine at 96 and
# 192 DPI (screenshot-windows.png, screenshot-windows-200.png). Each shows the live forecast
# for De Bilt as the program makes it, from the recorded Open-Meteo answer of the tests on a
# loopback server, on a virtual screen of its own, with settings of its own (nothing of the
# user's is read or written).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
if ! command -v import >/dev/null; then  # ImageMagick's window capture
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq imagemagick
fi

export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target zonbode
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DZONBODE_BENCH=OFF >/dev/null
cmake --build build-win -j "$(nproc)" --target zonbode

work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap finish EXIT

# The recorded Open-Meteo answers on a free loopback port.
recorded=tests/tools/zonbode-gateway
python3 "$recorded/recorded_api.py" "$recorded/answers" >"$work/api.out" &
pids+=($!)
for _ in $(seq 100); do grep -q listening "$work/api.out" && break; sleep 0.1; done
api="http://127.0.0.1:$(sed -n 's/.*://p' "$work/api.out" | head -n 1)"
options=(--api-url "$api/week" --geocoding-url "$api/geo")

# A virtual screen.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# A session bus of its own, so no running Zonbode or messenger of the user's takes part.
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")

# Waits for the window named Zonbode with the list filled, then captures it into $1.
capture() {
    local window=""
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name '^Zonbode$' 2>/dev/null | head -n 1) || true
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || { echo "no Zonbode window for $1" >&2; return 1; }
    sleep 3  # the forecast is fetched, served and read in well under a second
    import -window "$window" "$1"
    echo "wrote $1"
}

# Linux, at 100% and at 200%.
for scale in 1 2; do
    name=docs/screenshot.png
    [ "$scale" = 2 ] && name=docs/screenshot-200.png
    XDG_CONFIG_HOME="$work/config-$scale" XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=xcb \
        QT_SCALE_FACTOR=$scale build/src/app/qt/zonbode "${options[@]}" &
    program=$!
    capture "$name"
    kill "$program"
    wait "$program" 2>/dev/null || true
    while xdotool search --onlyvisible --name '^Zonbode$' >/dev/null 2>&1; do sleep 0.1; done
done

# Windows, at 96 and at 192 DPI, each in a wine prefix of its own.
source scripts/wine.sh
for dpi in 96 192; do
    name=docs/screenshot-windows.png
    [ "$dpi" = 192 ] && name=docs/screenshot-windows-200.png
    export WINEPREFIX="$work/wine-$dpi" WINEDEBUG=-all
    create_wine_prefix
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1
    "$wineserver" -w
    "$wine" build-win/src/app/win32/zonbode.exe "${options[@]}" >/dev/null 2>&1 &
    program=$!
    capture "$name"
    "$wineserver" -k
    wait "$program" 2>/dev/null || true
done
