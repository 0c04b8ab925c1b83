#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Brings translations/pinvel_en.ts up to date with the texts of src/ and tools/: new texts arrive
# unfinished, changed ones keep their old translation marked unfinished. Translate them (Qt
# Linguist, or by hand), then build: the build compiles the .ts into the program.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
lupdate="$(command -v lupdate || true)"
[ -n "$lupdate" ] || lupdate=/usr/lib/qt6/bin/lupdate
cd "$root"
"$lupdate" -locations none -no-obsolete -source-language ru -target-language en -recursive src tools \
    -ts translations/pinvel_en.ts
