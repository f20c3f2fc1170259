#!/bin/sh
# Runs a Windows program under wine64 in the build's own wine prefix (first argument), so
# tests never touch the user's ~/.wine. The prefix is created once, under a lock, because
# ctest starts several programs at the same time.
#
# The program's output goes through files, not straight to the caller: wine's helper
# processes (services, the desktop window) inherit the standard handles of the program that
# started them and outlive it, and a caller waiting for the end of a pipe would hang.
prefix=$1
shift
export WINEPREFIX="${ZONBODE_WINEPREFIX:-$prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    WINE="$wine" flock "$WINEPREFIX/.create.lock" sh -c \
        '[ -f "$WINEPREFIX/system.reg" ] || "$WINE" wineboot -i </dev/null >/dev/null 2>&1'
fi
out=$(mktemp) && err=$(mktemp) || exit 1
trap 'rm -f "$out" "$err"' EXIT
"$wine" "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
exit $status
