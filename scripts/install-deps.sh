#!/usr/bin/env bash
# Installs everything Zonbode needs to build and test on Debian 12 (run as root or via sudo).
set -euo pipefail
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
packages=(
    build-essential cmake ninja-build pkg-config git ccache
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    clang libclang-rt-14-dev
    python3 curl openssl
    libcurl4-openssl-dev nlohmann-json3-dev
    libsecret-1-dev gnome-keyring libsecret-tools libglib2.0-bin
    qt6-base-dev qt6-base-dev-tools libqt6dbus6 dbus dbus-x11
    xvfb xauth x11-utils xdotool icewm
    pidgin systemd
    qt6-qpa-plugins fonts-dejavu-core fonts-liberation librsvg2-bin icoutils
    g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64
    dpkg-dev lintian nsis
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
