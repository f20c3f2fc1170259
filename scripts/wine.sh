# Sourced by the scripts that run Windows programs: Debian's 64-bit wine and its server, and
# the making of a prefix. WINEPREFIX must be set.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

make_wine_prefix_once() {
    local said status=0
    said=$("$wine" wineboot -i 2>&1 </dev/null) || status=$?
    if [ "$status" -ne 0 ]; then
        echo "wineboot could not make the prefix $WINEPREFIX (exit $status):" >&2
        echo "$said" >&2
        "$wineserver" -k 2>/dev/null || true
        return 1
    fi
    # The prefix is complete once its server has written it and ended.
    "$wineserver" -w || { echo "wineserver -w ended with $? for $WINEPREFIX" >&2; return 1; }
}

# Once more after a failure, which is told: one CI run saw wineboot fail without a word (it
# has not failed again in ten tries since), and the prefix is set-up, not a test.
create_wine_prefix() {
    mkdir -p "$WINEPREFIX"
    make_wine_prefix_once || { echo "making the prefix again" >&2 && make_wine_prefix_once; }
}
