#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a benchmark in its quick form and checks that it ends well and prints each named figure
# as "name: number": a benchmark that hangs, crashes or stops printing a figure fails.
#   bench-quick.sh BENCHMARK FIGURE...
set -uo pipefail
bench="$1"; shift
out="$(timeout 180 "$bench" --quick)"
status=$?
printf '%s\n' "$out"
[ "$status" -eq 0 ] || { echo "$(basename "$bench") ended with $status" >&2; exit 1; }
for figure in "$@"; do
    grep -Eq "^${figure}: -?[0-9]+(\.[0-9]+)?$" <<<"$out" ||
        { echo "$(basename "$bench") printed no figure $figure" >&2; exit 1; }
done
