#!/usr/bin/env bash
# Takes the README's screenshots of the main window (docs/main-tester.png, docs/main-editor.png),
# of the correspondence editor (docs/sootv.png) and of the about box (docs/about.png) on a
# virtual display: the program opens data/demo-harness.pvl from its recent-files menu in the
# tester mode, one contact is switched off, then the editor mode is shown, then "Соответствия"
# and "Помощь / О программе".
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
INNER
echo "docs/main-tester.png, docs/main-editor.png, docs/sootv.png and docs/about.png written"
