#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a temporary prefix and starts the installed program headless: it must
# find its device library in ../lib/pinvel and, with bin/ not writable, read its settings from
# ~/.config/Pinvel/pinvel.ini, whose [Device] section points it at a unit emulator.
# Usage: install-check.sh BUILD_DIR
set -euo pipefail
build="$1"
tmp="$(mktemp -d "${TMPDIR:-/tmp}/pinvel install XXXXXX")"
prefix="$tmp/pre fix"
emulator=""; program=""
cleanup() {
    [ -n "$program" ] && kill "$program" 2>/dev/null || true
    [ -n "$emulator" ] && kill "$emulator" 2>/dev/null || true
    wait 2>/dev/null || true
    chmod -R u+w "$tmp" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/pinvel bin/pinvel-unit bin/pinvel-file bin/pinvel-check lib/pinvel/libkestrum.so \
         share/pinvel/help/index.html share/pinvel/help/tester.html share/pinvel/help/check.html \
         share/pinvel/data/harness-example.json share/applications/pinvel.desktop \
         share/icons/hicolor/scalable/apps/pinvel.svg; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done

# The emulator on a free port, then the settings file where a user's settings go.
"$prefix/bin/pinvel-unit" --listen 127.0.0.1:0 --log >"$tmp/unit.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do grep -q "listening on" "$tmp/unit.log" && break; sleep 0.1; done
port="$(sed -n 's/.*listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$tmp/unit.log")"
[ -n "$port" ] || fail "the emulator did not start"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config"
mkdir -p "$XDG_CONFIG_HOME/Pinvel"
printf '[Device]\r\nLink=tcp:127.0.0.1:%s\r\n' "$port" >"$XDG_CONFIG_HOME/Pinvel/pinvel.ini"
chmod a-w "$prefix/bin"
# The superuser may write anywhere; the program then runs as an ordinary user, as it would.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || fail "setpriv is needed to run the check as root"
    chmod -R a+rX "$tmp"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

QT_QPA_PLATFORM=offscreen "${as_user[@]}" "$prefix/bin/pinvel" >"$tmp/pinvel.log" 2>&1 &
program=$!
loaded=""; connected=""
for _ in $(seq 150); do
    kill -0 "$program" 2>/dev/null || fail "the installed program ended: $(cat "$tmp/pinvel.log")"
    grep -qF "$prefix/lib/pinvel/libkestrum.so" "/proc/$program/maps" 2>/dev/null && loaded=1
    grep -q "новое соединение" "$tmp/unit.log" && connected=1
    [ -n "$loaded" ] && [ -n "$connected" ] && break
    sleep 0.1
done
[ -n "$loaded" ] || fail "the installed program did not load lib/pinvel/libkestrum.so"
[ -n "$connected" ] || fail "the installed program did not reach the unit named in ~/.config"
[ -e "$prefix/bin/pinvel.ini" ] && fail "a settings file appeared in the read-only bin/"
echo "installed program started from $prefix"

# The installed check finds the same library and settings; the emulator serves one connection at
# a time, so the program goes first.
kill "$program" 2>/dev/null || true
wait "$program" 2>/dev/null || true
program=""
mkdir -m 777 "$tmp/out"
"${as_user[@]}" "$prefix/bin/pinvel-check" learn "$prefix/share/pinvel/data/demo-harness.pvl" \
    -o "$tmp/out/demo.wires.csv" >"$tmp/check.log" 2>&1 ||
    fail "the installed pinvel-check did not learn: $(cat "$tmp/check.log")"
head -n1 "$tmp/out/demo.wires.csv" | grep -q '^from,to$' || fail "pinvel-check wrote no wire list"
echo "installed pinvel-check reached the unit"
