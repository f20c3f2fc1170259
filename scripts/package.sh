#!/usr/bin/env bash
# Builds the packages into dist/ from Release builds of the programs:
#   zonbode_VERSION_amd64.deb          (build-package/, CPack)
#   zonbode-VERSION-win64-setup.exe    (build-package-win/, mingw-w64 and NSIS)
# scripts/test-packages.sh tries them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
release=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DZONBODE_TESTS=OFF -DZONBODE_BENCH=OFF)
start=$SECONDS

echo "=== Debian package ==="
# Hardened as Debian builds its own packages (without -g: the programs are stripped anyway).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS | sed -E 's/(^| )-g( |$)/ /')"
cmake -S . -B build-package "${release[@]}" -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build build-package -j "$jobs"
rm -rf build-package/deb
(cd build-package && cpack -G DEB -B deb)

echo "=== Windows setup program ==="
cmake -S . -B build-package-win "${release[@]}" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
cmake --build build-package-win -j "$jobs"
rm -f build-package-win/zonbode-*-win64-setup.exe
cmake --build build-package-win --target setup

mkdir -p dist
rm -f dist/zonbode_*_amd64.deb dist/zonbode-*-win64-setup.exe
cp build-package/deb/zonbode_*_amd64.deb build-package-win/zonbode-*-win64-setup.exe dist/
ls -l dist/zonbode_*_amd64.deb dist/zonbode-*-win64-setup.exe
echo "Packages made in $((SECONDS - start)) s"
