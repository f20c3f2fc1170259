# Sourced by the scripts that run Windows programs: Debian's 64-bit wine and its server, and
# the making of a prefix. WINEPREFIX must be set.
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64)
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

create_wine_prefix() {
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null
    "$wineserver" -w  # the prefix is complete once its server has written it and ended
}
