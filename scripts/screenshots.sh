#!/usr/bin/env bash
# Takes the README's screenshots of the main window (docs/main-tester.png, docs/main-editor.png),
# of the correspondence editor (docs/sootv.png) and of the about box (docs/about.png) on a
# virtual display: the program opens data/demo-harness.pvl from its recent-files menu in the
# tester mode, one contact is switched off, then the editor mode is shown, then "Соответствия"
# and "Помощь / О программе". Then the main window in English (docs/en-main-tester.png,
# docs/en-main-editor.png), the project named on the command line. Then the journal of checks
# (docs/journal.png) and a page of a record's PDF report (docs/report-record.png).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/build.sh" "$root/build" >/dev/null
bin="$root/build/bin"
ini="$bin/pinvel.ini"
backup=""
if [ -f "$ini" ]; then backup="$(mktemp)"; cp "$ini" "$backup"; fi
restore() { if [ -n "$backup" ]; then mv "$backup" "$ini"; else rm -f "$ini"; fi; }
trap restore EXIT
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
INNER

# The journal of checks (docs/journal.png) and the first page of a record's PDF report
# (docs/report-record.png): records made by pinvel-check against the simulated unit, in a data
# folder and a copy of the demo project of the shots' own.
work="$(mktemp -d)"
trap 'restore; rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data"
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

printf '[LastFiles]\r\nFileCount=1\r\nFile_0=%s\r\n' "$work/demo-harness.pvl" >"$ini"
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$root" "$work" <<'INNER'
root="$1"
work="$2"
x="python3 $root/scripts/xinput.py"
window() { xwininfo -root -tree | awk -v t="\"$1\"" 'index($0, t) { print $1; exit }'; }
"$root/build/bin/pinvel" "$work/demo-harness.pvl" &
pid=$!
sleep 3
main="$(window "Pinvel [Тестер]")"
[ -n "$main" ] || { echo "the main window did not show" >&2; kill "$pid"; exit 1; }
$x key Control_L+j sleep 2                               # Проверка / Журнал проверок...
journal="$(window "Журнал проверок")"
if [ -n "$journal" ]; then
    import -window "$journal" "$root/docs/journal.png"
else
    echo "the journal did not show" >&2
fi
kill "$pid"
INNER
echo "docs/main-tester.png, docs/main-editor.png, docs/sootv.png, docs/about.png, the English" \
     "docs/en-main-tester.png, docs/en-main-editor.png, docs/journal.png and" \
     "docs/report-record.png written"
