#!/usr/bin/env bash
# Installs everything the build, the programs under Wine and the tests need on
# Debian 12, from Debian's packages only. Run as root (or through sudo).
set -euo pipefail

packages=(
    # native build and host tests
    build-essential cmake libgtest-dev googletest
    # Windows build
    g++-mingw-w64-x86-64-posix
    # running the programs: Wine on a virtual X display, fonts for Chinese texts
    wine wine64 fonts-wine xvfb xauth fonts-wqy-microhei
    # end-to-end tests: three browser engines, screenshots, window inspection
    chromium firefox-esr webkit2gtk-driver imagemagick x11-utils xdotool
    ca-certificates util-linux procps
)
command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
