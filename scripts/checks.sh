# What the package checks share: `check` runs a command and says ok or FAIL (counted in
# $failures); `answers_version` compares a program's --version output with $version.
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
answers_version() {  # program name, file holding its --version output (CR LF on Windows)
    [ "$(tr -d '\r' <"$2")" = "$1 $version" ] || { echo "     got: $(head -c 200 "$2")"; false; }
}
