#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package with CPack and checks it with dpkg-deb: the files a technician's
# machine needs, where Debian keeps them, and the dependencies that make
# `apt-get install ./pinvel_*.deb` bring Qt 6's runtime, its platform plugins and the fonts.
# Usage: package-check.sh BUILD_DIR
set -euo pipefail
export LC_ALL=C.UTF-8
build="$1"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/pinvel package XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1) ||
    fail "cpack: $(cat "$tmp/cpack.log")"
debs=("$tmp"/out/pinvel_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single pinvel_*.deb: ${debs[*]}"
deb="${debs[0]}"
arch="$(dpkg --print-architecture)"
version="$(dpkg-deb -f "$deb" Version)"
[ "$(basename "$deb")" = "pinvel_${version}_${arch}.deb" ] || fail "file name $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Package)" = pinvel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "architecture"

# Contents: path and mode of every file that must be there.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' | sed 's#^\(\S*\) \./#\1 /#' >"$tmp/contents"
want() {
    grep -qxF -- "$1 $2" "$tmp/contents" || fail "$2 (mode $1) is not in the package"
}
for p in pinvel pinvel-unit pinvel-file; do want -rwxr-xr-x "/usr/bin/$p"; done
want -rw-r--r-- /usr/lib/pinvel/libkestrum.so
for page in index main editor constr sootv tester; do
    want -rw-r--r-- "/usr/share/pinvel/help/$page.html"
    want -rw-r--r-- "/usr/share/pinvel/help/en/$page.html"
done
want -rw-r--r-- /usr/share/pinvel/data/harness-example.json
want -rw-r--r-- /usr/share/doc/pinvel/copyright
want -rw-r--r-- /usr/share/pinvel/firmware/pinvel-unit-firmware.hex
want -rwxr-xr-x /usr/share/pinvel/firmware/flash-unit.sh
want -rw-r--r-- /usr/share/applications/pinvel.desktop
want -rw-r--r-- /usr/share/mime/packages/pinvel.xml
want -rw-r--r-- /usr/share/icons/hicolor/scalable/apps/pinvel.svg
want -rw-r--r-- /usr/share/icons/hicolor/scalable/mimetypes/application-x-pinvel-project.svg
# Nothing of the build tree, and nothing outside /usr.
if grep -v ' /usr/' "$tmp/contents" | grep -v ' /$' | grep -q .; then
    fail "files outside /usr: $(grep -v ' /usr/' "$tmp/contents" | grep -v ' /$')"
fi
grep -q '\.ini$\|/CMakeFiles/\|/build/' "$tmp/contents" && fail "build files in the package"

# The programs must not look for libraries in the build tree.
dpkg-deb -x "$deb" "$tmp/root"
# The licence in Debian's machine-readable form.
copyright="$tmp/root/usr/share/doc/pinvel/copyright"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not machine-readable"
grep -qx 'License: GPL-3.0-or-later' "$copyright" || fail "the copyright file names no GPL-3.0-or-later"
for f in usr/bin/pinvel usr/bin/pinvel-unit usr/bin/pinvel-file usr/lib/pinvel/libkestrum.so; do
    if readelf -d "$tmp/root/$f" | grep -q 'RPATH\|RUNPATH'; then
        fail "$f keeps a library path: $(readelf -d "$tmp/root/$f" | grep 'RPATH\|RUNPATH')"
    fi
done

# Dependencies: the libraries the programs link (found by dpkg-shlibdeps, with versions), and
# what Qt loads at run time.
depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6sql6 libqt6charts6 libc6 libstdc++6 qt6-qpa-plugins fonts-wine \
         libqt6sql6-sqlite libsodium23; do
    echo "$depends" | tr ',' '\n' | sed 's/^ *//' | grep -q "^$d\b" ||
        fail "Depends lacks $d: $depends"
done
echo "$depends" | grep -q 'libqt6core6 (>= 6' || fail "Qt's version is not bounded: $depends"
dpkg-deb -f "$deb" Recommends | grep -q 'libqt6sql6-psql' ||
    fail "Recommends lacks libqt6sql6-psql: $(dpkg-deb -f "$deb" Recommends)"
echo "built and checked $(basename "$deb"): $depends"
