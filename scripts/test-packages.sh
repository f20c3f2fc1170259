#!/usr/bin/env bash
# Makes both packages (scripts/package.sh) and tries them as a user would:
#   the .deb:  dpkg-deb shows the files of every install rule and the computed dependencies,
#              lintian reports no error and no warning, the unpacked programs answer
#              --version;
#   the setup: under wine, in a fresh prefix, by scripts/test-setup.sh.
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
trap 'rm -rf "$work"' EXIT

source scripts/checks.sh
contains() { grep -qxF -- "$2" <<<"$1"; }
includes() { grep -qF -- "$2" <<<"$1"; }

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
    /usr/share/icons/hicolor/scalable/apps/zonbode.svg /usr/share/doc/zonbode/copyright \
    /usr/share/man/man1/zonbode.1.gz /usr/share/man/man1/zonbode-cli.1.gz \
    /usr/share/man/man1/zonbode-demo-server.1.gz /usr/share/man/man1/zonbode-gateway.1.gz \
    /usr/share/man/man1/psm-listen.1.gz; do
    check "packaged: $file" contains "$packaged" "$file"
done

check "lintian reports no error and no warning" lintian --fail-on error,warning "$deb"

dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
    name=$(basename "$program")
    "$program" --version >"$work/out" 2>&1 </dev/null || true
    check "unpacked $name --version" answers_version "$name" "$work/out"
done
echo "The .deb was tried in $((SECONDS - start)) s"

bash scripts/test-setup.sh "$setup" "$version" || failures=$((failures + 1))
echo "Both packages were tried in $((SECONDS - start)) s"

if [ "$failures" -gt 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "All package checks passed"
