#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Pinvel and its Debian package: build/pinvel_<version>_<arch>.deb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
cd "$root/build"
cpack -G DEB
ls "$root"/build/pinvel_*.deb
