#!/usr/bin/env bash
# Time per status record delivered to Pidgin, and without it, on a private session bus and X
# server, with a throwaway Pidgin home. Build first:
#   cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZONBODE_TESTS=OFF
#   cmake --build build-release --target messenger_delivery_bench
#   bash bench/messenger-delivery.sh build-release [benchmark options]
set -euo pipefail
build=${1:?usage: messenger-delivery.sh BUILD_DIR [benchmark options]}
shift
bench=$build/bench/messenger_delivery_bench
[ -x "$bench" ] || { echo "no $bench: build the target messenger_delivery_bench" >&2; exit 1; }
if [ "${ZONBODE_BENCH_ON_PRIVATE_BUS:-}" != 1 ]; then
    ZONBODE_BENCH_ON_PRIVATE_BUS=1 exec dbus-run-session -- bash "$0" "$build" "$@"
fi

work=$(mktemp -d)
xvfb=""
pidgin=""
cleanup() {
    if [ -n "$pidgin" ]; then kill "$pidgin" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

on_bus() {
    dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:im.pidgin.purple.PurpleService | grep -q true
}

echo "=== without Pidgin ==="
"$bench" "$@"

Xvfb -displayfd 3 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.2; done
mkdir -p "$work/home"
DISPLAY=:$(tr -d '\n' <"$work/display") HOME=$work/home NO_AT_BRIDGE=1 \
    GSETTINGS_BACKEND=memory pidgin --config="$work/home/purple" --nologin \
    >/dev/null 2>&1 &
pidgin=$!
for _ in $(seq 450); do on_bus && break; sleep 0.2; done
on_bus || { echo "Pidgin did not come onto the bus" >&2; exit 1; }

echo "=== with Pidgin ==="
"$bench" "$@"
dbus-send --session --print-reply --dest=im.pidgin.purple.PurpleService \
    /im/pidgin/purple/PurpleObject im.pidgin.purple.PurpleInterface.PurpleCoreQuit >/dev/null
wait "$pidgin" || true
pidgin=""
