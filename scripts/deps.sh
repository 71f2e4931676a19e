#!/usr/bin/env bash
# Installs whatever the build still lacks on a Debian 12 machine (run as root).
set -euo pipefail

packages=(g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
          libc6-dev libstdc++-12-dev libssl-dev shared-mime-info desktop-file-utils
          qt6-qpa-plugins clang libclang-rt-14-dev wine wine64
          xvfb xdotool x11-apps imagemagick fonts-dejavu-core
          g++-mingw-w64-i686-win32 dpkg-dev lintian librsvg2-bin man-db
          appstream wine32:i386)

# The Windows stub is a 32-bit program: wine runs it with its i386 part.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
