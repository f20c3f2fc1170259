#!/usr/bin/env bash
# Tries the Windows setup program under wine, in a fresh prefix, as a user would:
#   a silent install goes per user (the user's Programs folder, the entry and the Run entry in
#   HKCU) and puts the stripped programs, the Start-menu shortcut and the uninstaller in place;
#   "Zonbode starten bij aanmelden" stays off unless asked for (/AUTOSTART); an upgrade and an
#   uninstall while Zonbode runs close it as its close button does (its settings are stored)
#   and go on; a Zonbode that does not close stops both with exit code 2 and nothing changed;
#   an upgrade goes into the folder of the last install; /ALLUSERS installs into Program Files
#   with the entry in HKLM; a silent uninstall removes all of it and keeps the user's settings.
# One line per check, "ok" or "FAIL"; the exit code is 1 when any check failed.
#   scripts/test-setup.sh SETUP VERSION
set -uo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ]; then
    # Zonbode's window needs a display, even under wine; -noreset, so a start while the
    # server resets after its last client cannot fail to connect.
    exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$@"
fi
setup=$1
version=$2
start=$SECONDS
work=$(mktemp -d)

source scripts/checks.sh

echo "=== Windows setup $setup, under wine ==="
check "the setup program is there" test -f "$setup"
export WINEPREFIX="$PWD/build-package-win/wineprefix-setup"
export WINEDEBUG=-all
# No menu entries on this desktop for the shortcut; no Mono or Gecko downloads.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
source scripts/wine.sh
zonbode_pid=
cleanup() {
    [ -n "$zonbode_pid" ] && kill -CONT "$zonbode_pid" 2>/dev/null && kill "$zonbode_pid" 2>/dev/null
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

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
older() { touch -d 2020-01-01 "$1"; }
replaced() { [ -n "$(find "$1" -newermt 2021-01-01)" ]; }

# What waits for Zonbode's window and closes it, as in the end-to-end tests.
input="$work/window-input.exe"
x86_64-w64-mingw32-g++-posix -O1 -static -o "$input" tests/app/win32/e2e/window_input.cpp || exit 1

rm -rf "$WINEPREFIX"
create_wine_prefix || exit 1

user_dir="$WINEPREFIX/drive_c/users/$(id -un)"
folder="$user_dir/AppData/Local/Programs/Zonbode"
win_folder="C:\\users\\$(id -un)\\AppData\\Local\\Programs\\Zonbode"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zonbode.lnk"
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zonbode'
machine_entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zonbode'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings='HKCU\Software\Kavelo\Zonbode'

# Zonbode from the per-user folder, started up (its window made and loaded); its settings
# cleared first, so that what its close stores can be seen.
start_zonbode() {
    run reg delete "$settings" /f
    "$wine" "$win_folder\\zonbode.exe" --host 127.0.0.1 --port 9 >/dev/null 2>&1 </dev/null &
    zonbode_pid=$!
    run "$input" state
}
closed_and_stored() {  # Zonbode has ended and its close stored the settings
    wait "$zonbode_pid"
    zonbode_pid=
    [ "$(registry_value "$settings" Systeemvak)" = 0x0 ]
}

check "silent install" run_to_end "$setup" /S
for name in $(find build-package-win/setup/stage -type f -printf '%f\n' | sort) uninstall.exe; do
    check "installed per user: $name" test -f "$folder/$name"
done
for program in "$folder"/*.exe; do
    name=$(basename "$program" .exe)
    [ "$name" = uninstall ] && continue
    check "installed $name.exe is stripped" stripped "$program"
    run "$win_folder\\$name.exe" --version || true
    check "installed $name.exe --version" answers_version "$name" "$work/out"
done
check "Start-menu shortcut of the user" test -f "$shortcut"
check "uninstaller registered for the user" test "$(registry_value "$entry" UninstallString)" = \
    "\"$win_folder\\uninstall.exe\""
check "registered version" test "$(registry_value "$entry" DisplayVersion)" = "$version"
check "no entry for the machine" has_no_value "$machine_entry" UninstallString
check "no start at sign-in unless asked for" has_no_value "$run_key" Zonbode
check "Aanmelden stored as 0" test "$(registry_value "$settings" Aanmelden)" = 0x0

older "$folder/zonbode.exe"
start_zonbode
check "silent install over it with /AUTOSTART while Zonbode runs" run_to_end "$setup" /S /AUTOSTART
check "the running Zonbode was closed and stored its settings" closed_and_stored
check "zonbode.exe was replaced" replaced "$folder/zonbode.exe"
check "start at sign-in" test "$(registry_value "$run_key" Zonbode)" = \
    "\"$win_folder\\zonbode.exe\""
check "Aanmelden stored as 1" test "$(registry_value "$settings" Aanmelden)" = 0x1

# A Zonbode that does not answer (stopped) is not closed: both stop, changing nothing.
older "$folder/zonbode.exe"
start_zonbode
kill -STOP "$zonbode_pid"
run "$setup" /S
check "an upgrade while Zonbode does not close fails with code 2" test $? = 2
check "it left zonbode.exe alone" test -z "$(find "$folder/zonbode.exe" -newermt 2021-01-01)"
run "$win_folder\\uninstall.exe" /S "_?=$win_folder"
check "an uninstall while Zonbode does not close fails with code 2" test $? = 2
check "it left the program" test -f "$folder/zonbode.exe"
check "it left the entry" test -n "$(registry_value "$entry" UninstallString)"
kill -CONT "$zonbode_pid"
run "$input" close
wait "$zonbode_pid"
zonbode_pid=

start_zonbode
check "silent uninstall while Zonbode runs" run_to_end "$win_folder\\uninstall.exe" /S
check "the running Zonbode was closed and stored its settings" closed_and_stored
check "uninstall removed the program folder" test ! -e "$folder"
check "uninstall removed the shortcut" test ! -e "$shortcut"
check "uninstall removed the entry" has_no_value "$entry" UninstallString
check "uninstall removed the start at sign-in" has_no_value "$run_key" Zonbode
check "uninstall kept the settings (the template the close stored)" \
    test -n "$(registry_value "$settings" PSM)"
check "uninstall kept Aanmelden" test -n "$(registry_value "$settings" Aanmelden)"

elsewhere="$WINEPREFIX/drive_c/Zonbode-elders"
check "silent install into another folder" run_to_end "$setup" /S '/D=C:\Zonbode-elders'
older "$elsewhere/zonbode.exe"
check "silent upgrade" run_to_end "$setup" /S
check "the upgrade went into that folder" replaced "$elsewhere/zonbode.exe"
check "and not into the default one" test ! -e "$folder"
check "silent uninstall from there" run_to_end 'C:\Zonbode-elders\uninstall.exe' /S
check "that removed the folder" test ! -e "$elsewhere"

machine_folder="$WINEPREFIX/drive_c/Program Files/Zonbode"
check "silent install for every user (/ALLUSERS)" run_to_end "$setup" /S /ALLUSERS
check "installed into Program Files" test -f "$machine_folder/zonbode.exe"
check "Start-menu shortcut for every user" \
    test -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zonbode.lnk"
check "uninstaller registered for the machine" \
    test "$(registry_value "$machine_entry" UninstallString)" = \
    '"C:\Program Files\Zonbode\uninstall.exe"'
check "no entry for the user" has_no_value "$entry" UninstallString
check "silent uninstall for every user" \
    run_to_end 'C:\Program Files\Zonbode\uninstall.exe' /S
check "that removed the folder" test ! -e "$machine_folder"
check "and the machine's entry" has_no_value "$machine_entry" UninstallString
echo "The setup was tried in $((SECONDS - start)) s"

if [ "$failures" -gt 0 ]; then
    echo "$failures setup check(s) failed" >&2
    exit 1
fi
