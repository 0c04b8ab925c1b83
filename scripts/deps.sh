#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Pinvel builds, tests and runs with, when any is missing
# (fonts-wine: the Tahoma the windows are laid out for; x11-utils: the screenshots' xwininfo;
# libqt6sql6-sqlite and -psql: the records' databases; postgresql: the tests' throwaway server;
# poppler-utils: the tests read the PDF reports back; ccache: rebuilds of several build folders;
# qt6-charts-dev with libqt6opengl6-dev, whose CMake files it needs: the statistics' charts).;
# gcc-avr, avr-libc: the open unit's firmware; libsimavr-dev, libsimavrparts1, libelf-dev,
# simavr: its simulated board; avrdude: flashing it; libssl-dev: the SHA-256 of the records' chain;
# libsodium-dev: the supervisors' PIN hashes, found by pkg-config).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-dev qt6-base-dev qt6-base-dev-tools
          qt6-translations-l10n qt6-l10n-tools qt6-tools-dev libgl-dev xvfb xauth imagemagick
          x11-utils fonts-wine dpkg-dev shared-mime-info desktop-file-utils xdg-utils
          libfile-mimeinfo-perl libqt6sql6-sqlite libqt6sql6-psql postgresql poppler-utils
          python3 ccache qt6-charts-dev libqt6opengl6-dev gcc-avr avr-libc libsimavr-dev
          libsimavrparts1 libelf-dev simavr avrdude libssl-dev libsodium-dev pkg-config)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
