#!/usr/bin/env bash
# Takes the README's screenshots of the main window (docs/main-tester.png, docs/main-editor.png)
# and of the correspondence editor (docs/sootv.png) on a virtual display: the program opens
# data/demo-harness.pvl from its recent-files menu in the tester mode, one contact is switched
# off, then the editor mode is shown. Then the main window in English
# (docs/en-main-tester.png, docs/en-main-editor.png), the project named on the command line.
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
"$root/build/bin/pinvel" &
pid=$!
sleep 3
# The window (822 x 414 with its menu) sits in the middle of the 1024 x 768 screen.
X0=101; Y0=177
shot() { import -window root -crop "822x414+$X0+$Y0" +repage "$1"; }
$x click $((X0 + 20)) $((Y0 + 10)) sleep 0.5             # Файл
$x click $((X0 + 100)) $((Y0 + 76)) sleep 0.5            # Последние открытые
$x click $((X0 + 330)) $((Y0 + 76)) sleep 2              # the demo project
$x click $((X0 + 80)) $((Y0 + 70)) sleep 1               # one contact off
shot "$root/docs/main-tester.png"
$x click $((X0 + 148)) $((Y0 + 10)) sleep 1              # Редактор
$x click $((X0 + 60)) $((Y0 + 300)) sleep 0.5            # nothing selected
shot "$root/docs/main-editor.png"
$x click $((X0 + 342)) $((Y0 + 372)) sleep 1.5           # Соответствия
sootv="$(xwininfo -root -tree | awk '/"Соответствия"/ { print $1; exit }')"
if [ -n "$sootv" ]; then import -window "$sootv" "$root/docs/sootv.png"; fi
kill "$pid"
sleep 1

# In English, the project given on the command line.
: >"$root/build/bin/pinvel.ini"
LANG=en_US.UTF-8 LC_ALL= "$root/build/bin/pinvel" "$root/data/demo-harness.pvl" &
pid=$!
sleep 3
$x click $((X0 + 80)) $((Y0 + 70)) sleep 1               # one contact off
shot "$root/docs/en-main-tester.png"
$x click $((X0 + 112)) $((Y0 + 10)) sleep 1              # Editor
$x click $((X0 + 60)) $((Y0 + 300)) sleep 0.5            # nothing selected
shot "$root/docs/en-main-editor.png"
kill "$pid"
INNER
echo "docs/main-tester.png, docs/main-editor.png, docs/sootv.png and the English" \
     "docs/en-main-tester.png, docs/en-main-editor.png written"
