#!/usr/bin/env bash
# Builds Pinvel with warnings as errors and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DPINVEL_WERROR=ON
cd "$root/build"
ctest --output-on-failure --parallel 2 "$@"
