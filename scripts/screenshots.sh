#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the README's screenshots of the main window (docs/main-tester.png, docs/main-editor.png),
# of the correspondence editor (docs/sootv.png) and of the about box (docs/about.png) on a
# virtual display: the program opens data/demo-harness.pvl from its recent-files menu in the
# tester mode, one contact is switched off, then the editor mode is shown, then "Соответствия"
# and "Помощь / О программе". Then the main window in English (docs/en-main-tester.png,
# docs/en-main-editor.png), the project named on the command line. Then the harness check
# (docs/check-fault.png, docs/check-reference.png): a copy of the demo project learns its
# reference from the unit emulator's good harness, the emulator comes back with an open and a
# short, and F5 checks the harness (the serial number typed as a scanner would). Then the journal
# of checks (docs/journal.png), its tab "Статистика" (docs/journal-statistics.png) and a page of a
# record's PDF report (docs/report-record.png). Then guided assembly and the probe
# (docs/assembly.png, docs/probe.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" "$root/build" >/dev/null
bin="$root/build/bin"
ini="$bin/pinvel.ini"
backup=""
if [ -f "$ini" ]; then backup="$(mktemp)"; cp "$ini" "$backup"; fi
restore() { if [ -n "$backup" ]; then mv "$backup" "$ini"; else rm -f "$ini"; fi; }
# The records of the checks made here go to a data folder of the shots' own.
data="$(mktemp -d)"
export XDG_DATA_HOME="$data"
trap 'restore; rm -rf "$data"' EXIT
printf '[LastFiles]\r\nFileCount=1\r\nFile_0=%s\r\n' "$root/data/demo-harness.pvl" >"$ini"

xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$root" <<'INNER'
root="$1"
x="python3 $root/scripts/xinput.py"
window() { xwininfo -root -tree | awk -v t="\"$1\"" 'index($0, t) { print $1; exit }'; }
"$root/build/bin/pinvel" &
pid=$!
sleep 3
# The main window (822 x 393 and its menu, in Tahoma 8) sits in the middle of the screen.
main="$(window "Pinvel [Тестер]")"
[ -n "$main" ] || { echo "the main window did not show" >&2; kill "$pid"; exit 1; }
geometry="$(xwininfo -id "$main")"
X0="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")"
Y0="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
W="$(awk '/Width:/ { print $2 }' <<<"$geometry")"
H="$(awk '/Height:/ { print $2 }' <<<"$geometry")"
shot() { import -window root -crop "${W}x${H}+$X0+$Y0" +repage "$1"; }
$x click $((X0 + 20)) $((Y0 + 8)) sleep 0.5              # Файл
$x click $((X0 + 90)) $((Y0 + 63)) sleep 0.5             # Последние открытые
$x click $((X0 + 300)) $((Y0 + 63)) sleep 2              # the demo project
$x click $((X0 + 80)) $((Y0 + 70)) sleep 1               # one contact off
shot "$root/docs/main-tester.png"
$x click $((X0 + 123)) $((Y0 + 8)) sleep 1               # Редактор
$x click $((X0 + 60)) $((Y0 + 300)) sleep 0.5            # nothing selected
shot "$root/docs/main-editor.png"
$x click $((X0 + 342)) $((Y0 + H - 40)) sleep 1.5        # Соответствия
sootv="$(window "Соответствия")"
if [ -n "$sootv" ]; then
    import -window "$sootv" "$root/docs/sootv.png"
    $x key Escape sleep 0.5                              # closes it
fi
$x click $((X0 + 231)) $((Y0 + 8)) sleep 0.5             # Помощь
$x click $((X0 + 260)) $((Y0 + 45)) sleep 1.5            # О программе
about="$(window "О программе")"
if [ -n "$about" ]; then
    import -window "$about" "$root/docs/about.png"
    $x key Escape sleep 0.5
fi
kill "$pid"
sleep 1

# In English, the project given on the command line.
: >"$root/build/bin/pinvel.ini"
LANG=en_US.UTF-8 LC_ALL= "$root/build/bin/pinvel" "$root/data/demo-harness.pvl" &
pid=$!
sleep 3
$x click $((X0 + 80)) $((Y0 + 70)) sleep 1               # one contact off
shot "$root/docs/en-main-tester.png"
$x click $((X0 + 95)) $((Y0 + 8)) sleep 1                # Editor
$x click $((X0 + 60)) $((Y0 + 300)) sleep 0.5            # nothing selected
shot "$root/docs/en-main-editor.png"
kill "$pid"
sleep 1

# The harness check against the unit emulator: XT1's contacts wired to XP2's one by one.
work="$(mktemp -d)"
cp "$root/data/demo-harness.pvl" "$work/demo-harness.pvl"
nets='"nets": ['
for k in $(seq 1 12); do
    nets="$nets[\"X1:a$k\", \"X1:a$((k + 14))\"]"
    [ "$k" -lt 12 ] && nets="$nets, "
done
nets="$nets]"
printf '{%s}' "$nets" >"$work/good.json"
printf '{%s, "opens": ["X1:a16"], "shorts": [["X1:a4", "X1:a5"]]}' "$nets" >"$work/faulty.json"
port=5071
"$root/build/bin/pinvel-unit" --listen 127.0.0.1:$port --harness "$work/good.json" >/dev/null &
unit=$!
printf '[Device]\r\nLink=tcp:127.0.0.1:%s\r\n[Records]\r\nOperator=Иванов И.\r\n' "$port" \
    | iconv -f UTF-8 -t CP1251 >"$root/build/bin/pinvel.ini"
"$root/build/bin/pinvel" "$work/demo-harness.pvl" &
pid=$!
sleep 3
title="Pinvel - $work/demo-harness.pvl [Тестер]"
geometry="$(xwininfo -id "$(window "$title")")"
X0="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")"
Y0="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
# Keys reach the window once a click has made it the active one (no window manager here).
$x click $((X0 + 200)) $((Y0 + 240)) sleep 0.3           # an empty place of the workspace
$x key Control_L+e sleep 2                               # Проверка / Снять эталон
$x key Return sleep 0.5                                  # "Эталон снят: цепей 14..."
kill "$unit"; wait "$unit" 2>/dev/null || true
"$root/build/bin/pinvel-unit" --listen 127.0.0.1:$port --harness "$work/faulty.json" >/dev/null &
unit=$!
sleep 1
$x click $((X0 + 200)) $((Y0 + 240)) sleep 0.3
$x key F5 sleep 1                                        # the serial number and operator
for d in 2 6 1 0 1 7; do $x key "$d"; done
$x key Return sleep 2                                    # the link is new: the recovery asks
$x key Return sleep 2                                    # "Да"
$x key Return sleep 2                                    # "Соединение восстановлено!"
main="$(window "$title")"
if [ -n "$main" ]; then
    geometry="$(xwininfo -id "$main")"
    X0="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")"
    Y0="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
    W="$(awk '/Width:/ { print $2 }' <<<"$geometry")"
    H="$(awk '/Height:/ { print $2 }' <<<"$geometry")"
    shot "$root/docs/check-fault.png"
    $x click $((X0 + 200)) $((Y0 + 240)) sleep 0.3
    $x key Control_L+r sleep 1.5                         # Проверка / Эталон...
    reference="$(window "Эталон")"
    if [ -n "$reference" ]; then
        import -window "$reference" "$root/docs/check-reference.png"
        $x key Escape sleep 0.5
    fi
fi
kill "$pid" "$unit"
rm -rf "$work"
INNER
# The journal of checks (docs/journal.png) and the first page of a record's PDF report
# (docs/report-record.png): records made by pinvel-check against the simulated unit, in a data
# folder and a copy of the demo project of the shots' own.
work="$(mktemp -d)"
trap 'restore; rm -rf "$data" "$work"' EXIT
cp "$root/data/demo-harness.pvl" "$work/"
printf '[Device]\r\nLink=sim\r\nSimReplyUs=0\r\n' >"$work/pinvel.ini"
check() { "$bin/pinvel-check" "$@" --settings "$work/pinvel.ini"; }
check learn "$work/demo-harness.pvl" >/dev/null
operators=("Иванов И." "Петрова А." "Сидоров К.")
for i in $(seq 1 14); do
    harness=()
    [ $((i % 5)) -eq 0 ] && harness=(--harness "$root/data/harness-example.json")
    check verify "$work/demo-harness.pvl" --serial "$(printf 'K1-26%04d' $((1000 + i)))" \
        --operator "${operators[$((i % 3))]}" "${harness[@]}" >/dev/null || true
    sleep 1
done
check watch "$work/demo-harness.pvl" --seconds 1 --serial K1-261015 --operator "Иванов И." \
    --harness "$root/data/harness-example.json" >/dev/null || true
sleep 1
uid="$(check verify "$work/demo-harness.pvl" --json --serial K1-261016 --operator "Петрова А." \
    --harness "$root/data/harness-example.json" | python3 -c 'import json, sys; print(json.load(sys.stdin)["record"])')" || true
check report --pdf "$work/record.pdf" --record "$uid" >/dev/null
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$work/record.pdf" "$root/docs/report-record"

: >"$ini"
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$root" "$work" <<'INNER'
root="$1"
work="$2"
x="python3 $root/scripts/xinput.py"
window() { xwininfo -root -tree | awk -v t="\"$1\"" 'index($0, t) { print $1; exit }'; }
"$root/build/bin/pinvel" "$work/demo-harness.pvl" &
pid=$!
sleep 3
main="$(window "Pinvel - $work/demo-harness.pvl [Тестер]")"
[ -n "$main" ] || { echo "the main window did not show" >&2; kill "$pid"; exit 1; }
geometry="$(xwininfo -id "$main")"
X0="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")"
Y0="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
$x click $((X0 + 200)) $((Y0 + 240)) sleep 0.3           # keys reach the window after a click
$x key Control_L+j sleep 2                               # Проверка / Журнал проверок...
journal="$(window "Журнал проверок")"
if [ -n "$journal" ]; then
    import -window "$journal" "$root/docs/journal.png"
    jg="$(xwininfo -id "$journal")"
    JX="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$jg")"
    JY="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$jg")"
    $x click $((JX + 111)) $((JY + 79)) sleep 2          # the tab "Статистика"
    import -window "$journal" "$root/docs/journal-statistics.png"
else
    echo "the journal did not show" >&2
fi
kill "$pid"
INNER
# Guided assembly (docs/assembly.png) and the probe (docs/probe.png): the demo project's wire
# list learnt from the good harness on the simulated unit, then the unit emulator with no harness
# at all, its wires put in and its probe moved through its control port while the window guides.
nets='"nets": ['
for k in $(seq 1 12); do
    nets="$nets[\"X1:a$k\", \"X1:a$((k + 14))\"]"
    [ "$k" -lt 12 ] && nets="$nets, "
done
printf '{%s]}' "$nets" >"$work/good.json"
check learn "$work/demo-harness.pvl" --replace --link sim --harness "$work/good.json" >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$root" "$work" <<'INNER'
root="$1"
work="$2"
x="python3 $root/scripts/xinput.py"
window() { xwininfo -root -tree | awk -v t="\"$1\"" 'index($0, t) { print $1; exit }'; }
port=5072
"$root/build/bin/pinvel-unit" --listen 127.0.0.1:$port --control 127.0.0.1:$((port + 1)) >/dev/null &
unit=$!
say() { python3 -c 'import socket, sys
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
for line in sys.argv[2:]:
    s.sendall((line + "\n").encode()); s.recv(256)' $((port + 1)) "$@"; }
printf '[Device]\r\nLink=tcp:127.0.0.1:%s\r\n' "$port" >"$root/build/bin/pinvel.ini"
"$root/build/bin/pinvel" "$work/demo-harness.pvl" &
pid=$!
sleep 3
main="$(window "Pinvel - $work/demo-harness.pvl [Тестер]")"
[ -n "$main" ] || { echo "the main window did not show" >&2; kill "$pid" "$unit"; exit 1; }
geometry="$(xwininfo -id "$main")"
X0="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$geometry")"
Y0="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$geometry")"
$x click $((X0 + 200)) $((Y0 + 240)) sleep 0.3           # keys reach the window after a click
$x key F7 sleep 1                                        # Проверка / Сборка по эталону
say "connect X1:a1 X1:a15" "connect X1:a2 X1:a16" "connect X1:a4 X1:a18"
sleep 1
geometry="$(xwininfo -id "$main")"
W="$(awk '/Width:/ { print $2 }' <<<"$geometry")"
H="$(awk '/Height:/ { print $2 }' <<<"$geometry")"
import -window root -crop "${W}x${H}+$X0+$Y0" +repage "$root/docs/assembly.png"
$x key Escape sleep 1
say "connect X1:a3 X1:a17" "probe X1:a17"
$x key F8 sleep 1.5                                      # Проверка / Найти зондом
geometry="$(xwininfo -id "$main")"
W="$(awk '/Width:/ { print $2 }' <<<"$geometry")"
H="$(awk '/Height:/ { print $2 }' <<<"$geometry")"
import -window root -crop "${W}x${H}+$X0+$Y0" +repage "$root/docs/probe.png"
$x key Escape sleep 0.5
kill "$pid" "$unit"
INNER
echo "docs/main-tester.png, docs/main-editor.png, docs/sootv.png, docs/about.png, the English" \
     "docs/en-main-tester.png, docs/en-main-editor.png, docs/check-fault.png," \
     "docs/check-reference.png, docs/journal.png, docs/journal-statistics.png," \
     "docs/report-record.png, docs/assembly.png and docs/probe.png written"
