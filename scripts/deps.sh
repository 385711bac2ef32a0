#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Idempotent: apt is only
# asked when a package is missing.
set -euo pipefail
packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-pdf-dev
    libsm-dev libice-dev zlib1g-dev
    clang libclang-rt-14-dev
    xvfb xauth openbox xdotool x11-utils wmctrl imagemagick
    fonts-wqy-microhei
    python3
    dpkg-dev file procps desktop-file-utils g++-mingw-w64-x86-64
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
