#!/usr/bin/env bash
# Makes both packages (scripts/package.sh) and tries them as a user would:
#   the .deb:  dpkg-deb shows the files of every install rule and the computed dependencies,
#              lintian reports no error, the unpacked programs answer --version;
#   the setup: under wine, in a fresh prefix: a silent install puts the stripped programs, the
#              Start-menu shortcut and the uninstaller entry in place, "Start Zonbode when I
#              sign in" stays off unless asked for (/AUTOSTART) and sets "Aanmelden" to match,
#              the installed programs answer
#              --version; a silent uninstall removes all of it and keeps the user's settings.
# One line per check, "ok" or "FAIL"; the exit code is 1 when any check failed.
#   scripts/test-packages.sh [--no-build]    --no-build: try the packages already in dist/
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" != --no-build ]; then
    bash scripts/package.sh
fi
start=$SECONDS

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
deb=dist/zonbode_${version}_amd64.deb
setup=dist/zonbode-${version}-win64-setup.exe
work=$(mktemp -d)

failures=0
check() {  # description, command...
    local what=$1
    shift
    if "$@"; then
        echo "ok   $what"
    else
        echo "FAIL $what"
        failures=$((failures + 1))
    fi
}
contains() { grep -qxF -- "$2" <<<"$1"; }
includes() { grep -qF -- "$2" <<<"$1"; }
answers_version() {  # program name, file holding its --version output (CR LF on Windows)
    [ "$(tr -d '\r' <"$2")" = "$1 $version" ] || { echo "     got: $(head -c 200 "$2")"; false; }
}

echo "=== Debian package $deb ==="
check "the package is there" test -f "$deb"
dpkg-deb --info "$deb" | sed -n '/^ Package:/,$p'
depends=$(dpkg-deb --field "$deb" Depends)
check "Depends computed from the binaries" includes "$depends" "libqt6widgets6 (>="
check "Depends names the window's font, Qt's screen plugin and the CA store" \
    includes "$depends" "fonts-liberation, qt6-qpa-plugins, ca-certificates"
for field in Maintainer Section Homepage Description; do
    check "the control file has a $field" test -n "$(dpkg-deb --field "$deb" "$field")"
done

dpkg-deb --contents "$deb"
packaged=$(dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\.||')
cmake --install build-package --prefix "$work/install" >/dev/null
while IFS= read -r file; do
    file=/usr${file#"$work/install"}
    check "installed by a rule and packaged: $file" contains "$packaged" "$file"
done < <(find "$work/install" -type f -o -type l | sort)
for file in /usr/bin/zonbode /usr/bin/zonbode-cli /usr/bin/zonbode-demo-server \
    /usr/bin/psm-listen /usr/bin/zonbode-gateway /usr/lib/systemd/user/zonbode-gateway.service \
    /usr/share/applications/zonbode.desktop \
    /usr/share/icons/hicolor/32x32/apps/zonbode.png \
    /usr/share/icons/hicolor/scalable/apps/zonbode.svg /usr/share/doc/zonbode/copyright; do
    check "packaged: $file" contains "$packaged" "$file"
done

check "lintian reports no error" lintian --fail-on error "$deb"

dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
    name=$(basename "$program")
    "$program" --version >"$work/out" 2>&1 </dev/null || true
    check "unpacked $name --version" answers_version "$name" "$work/out"
done
echo "The .deb was tried in $((SECONDS - start)) s"

echo "=== Windows setup $setup, under wine ==="
check "the setup program is there" test -f "$setup"
export WINEPREFIX="$PWD/build-package-win/wineprefix-setup"
export WINEDEBUG=-all
# No menu entries on this desktop for the shortcut; no Mono or Gecko downloads.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
source scripts/wine.sh
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

# Output through files: wine's helper processes keep the standard handles of the program that
# started them, so a pipe would stay open after it ended.
run() { "$wine" "$@" >"$work/out" 2>"$work/err" </dev/null; }
# Runs a program and waits until it and every process it started (an uninstaller's copy of
# itself) have ended.
run_to_end() { run "$@" && "$wineserver" -w; }
registry_value() {  # key, value name: the value's data, or nothing when it is missing
    run reg query "$1" /v "$2" && sed -n "s/^ *$2 *REG_[A-Z_]* *//p" "$work/out" | tr -d '\r'
}
has_no_value() { [ -z "$(registry_value "$1" "$2")" ]; }
stripped() { [ -z "$(x86_64-w64-mingw32-nm "$1" 2>/dev/null)" ]; }

rm -rf "$WINEPREFIX"
create_wine_prefix

folder="$WINEPREFIX/drive_c/Program Files/Zonbode"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zonbode.lnk"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zonbode'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings='HKCU\Software\Kavelo\Zonbode'

check "silent install" run_to_end "$setup" /S
for name in $(find build-package-win/setup/stage -type f -printf '%f\n' | sort) uninstall.exe; do
    check "installed: $name" test -f "$folder/$name"
done
for program in "$folder"/*.exe; do
    name=$(basename "$program" .exe)
    [ "$name" = uninstall ] && continue
    check "installed $name.exe is stripped" stripped "$program"
    run "C:\\Program Files\\Zonbode\\$name.exe" --version || true
    check "installed $name.exe --version" answers_version "$name" "$work/out"
done
check "Start-menu shortcut" test -f "$shortcut"
check "uninstaller registered" test "$(registry_value "$entry" UninstallString)" = \
    '"C:\Program Files\Zonbode\uninstall.exe"'
check "registered version" test "$(registry_value "$entry" DisplayVersion)" = "$version"
check "no start at sign-in unless asked for" has_no_value "$run_key" Zonbode
check "Aanmelden stored as 0" test "$(registry_value "$settings" Aanmelden)" = 0x0

check "silent install over it with /AUTOSTART" run_to_end "$setup" /S /AUTOSTART
check "start at sign-in" test "$(registry_value "$run_key" Zonbode)" = \
    '"C:\Program Files\Zonbode\zonbode.exe"'
check "Aanmelden stored as 1" test "$(registry_value "$settings" Aanmelden)" = 0x1

check "the user has settings" run reg add "$settings" /v PSM /d "[dag] blijft" /f
check "silent uninstall" run_to_end "C:\\Program Files\\Zonbode\\uninstall.exe" /S
check "uninstall removed the program folder" test ! -e "$folder"
check "uninstall removed the shortcut" test ! -e "$shortcut"
check "uninstall removed the entry" has_no_value "$entry" UninstallString
check "uninstall removed the start at sign-in" has_no_value "$run_key" Zonbode
check "uninstall kept the settings" test "$(registry_value "$settings" PSM)" = "[dag] blijft"
check "uninstall kept Aanmelden" test "$(registry_value "$settings" Aanmelden)" = 0x1
echo "Both packages were tried in $((SECONDS - start)) s"

if [ "$failures" -gt 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "All package checks passed"
