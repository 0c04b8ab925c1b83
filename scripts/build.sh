#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Configures and builds one build folder: scripts/build.sh DIR [cmake options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift
# A compiler cache when the machine has one: builds of several folders and work trees share it.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}" CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
# PINVEL_TARGETS: only these targets (and what they need), not the whole tree.
if [ -n "${PINVEL_TARGETS:-}" ]; then
    # shellcheck disable=SC2086
    cmake --build "$dir" --parallel --target $PINVEL_TARGETS
else
    cmake --build "$dir" --parallel
fi
