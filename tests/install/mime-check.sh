#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throwaway XDG data folder and asks the desktop's own tools what a
# project is: the shared MIME database must name application/x-pinvel-project for *.pvl (an
# empty project too, and whatever its bytes), and the desktop files must name Pinvel as the
# program that opens it, with its file as the argument.
# Usage: mime-check.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/pinvel mime XXXXXX")"
link=""
trap 'rm -rf "$tmp"; [ -z "$link" ] || rm -f "$link"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in update-mime-database update-desktop-database desktop-file-validate xdg-mime mimetype; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

prefix="$tmp/xdg data"
cmake --install "$build" --prefix "$prefix" >/dev/null
data="$prefix/share"
for f in mime/packages/pinvel.xml applications/pinvel.desktop \
         icons/hicolor/scalable/mimetypes/application-x-pinvel-project.svg; do
    [ -f "$data/$f" ] || fail "$f is not installed"
done
desktop-file-validate "$data/applications/pinvel.desktop" || fail "the desktop file is not valid"
grep -qx 'Exec=pinvel %f' "$data/applications/pinvel.desktop" || fail "Exec does not pass the file"
update-mime-database "$data/mime"
update-desktop-database "$data/applications"

# Only the throwaway folder: nothing of the machine's own desktop answers for it.
export HOME="$tmp/home" XDG_DATA_HOME="$data" XDG_DATA_DIRS="$data" XDG_CONFIG_HOME="$tmp/home/.config"
export XDG_CONFIG_DIRS="$tmp/etc xdg" XDG_CURRENT_DESKTOP="" DE="" KDE_FULL_SESSION="" GNOME_DESKTOP_SESSION_ID=""
mkdir -p "$HOME" "$XDG_CONFIG_HOME"

projects="$tmp/projects"
mkdir -p "$projects"
printf '\0\0\0\0\0\0\0\0' >"$projects/empty.pvl"           # an empty project
cp "$(dirname "$0")/../../data/demo-harness.pvl" "$projects/x.pvl"
printf 'not a project at all' >"$projects/Strange Name.pvl"  # the name decides
for f in empty.pvl x.pvl "Strange Name.pvl"; do
    type="$(xdg-mime query filetype "$projects/$f")"
    [ "$type" = "application/x-pinvel-project" ] || fail "xdg-mime names $f as '$type'"
done
cp "$projects/x.pvl" "$projects/x.pvl.bak"
type="$(xdg-mime query filetype "$projects/x.pvl.bak")"
[ "$type" != "application/x-pinvel-project" ] || fail "a file that is not *.pvl is taken for a project"

# xdg-mime's own search of the desktop files' cache splits the data folders at spaces, so it
# is shown the same folder through a link whose path has none.
link="$(mktemp -u "${TMPDIR:-/tmp}/pinvel-xdg-XXXXXX")"
ln -s "$data" "$link"
app="$(XDG_DATA_HOME="$link" XDG_DATA_DIRS="$link" xdg-mime query default application/x-pinvel-project)"
[ "$app" = "pinvel.desktop" ] || fail "xdg-mime names '$app' as the program for projects"
echo "application/x-pinvel-project: *.pvl, opened by $app"
