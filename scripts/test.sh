#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Pinvel with warnings as errors and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DPINVEL_WERROR=ON
# The records' tests run against PostgreSQL too: a throwaway server of our own unless the caller
# (CI) started one.
if [ -z "${PINVEL_TEST_PG_URL:-}" ]; then
    pg="$("$root/scripts/pg-test-server.sh" start)"
    eval "$pg"
    trap '"$root/scripts/pg-test-server.sh" stop "$PINVEL_TEST_PG_DIR"' EXIT
fi
cd "$root/build"
ctest --output-on-failure --parallel 2 "$@"
