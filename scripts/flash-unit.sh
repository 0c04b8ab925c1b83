#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Flashes the open unit's firmware into an Arduino Mega 2560 through its own boot loader:
#   scripts/flash-unit.sh /dev/ttyACM0 [FIRMWARE.hex]
# The .hex is the build's (build/firmware/) or the installed package's, unless one is named.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ $# -lt 1 ] || [ "$1" = "--help" ] || [ "$1" = "-h" ]; then
    echo "Использование: $0 /dev/ttyACM0 [FIRMWARE.hex]" >&2
    [ $# -ge 1 ] && exit 0
    exit 2
fi
port="$1"
hex="${2:-}"
if [ -z "$hex" ]; then
    for candidate in "$root/build/firmware/pinvel-unit-firmware.hex" \
                     /usr/share/pinvel/firmware/pinvel-unit-firmware.hex; do
        if [ -f "$candidate" ]; then hex="$candidate"; break; fi
    done
fi
if [ -z "$hex" ] || [ ! -f "$hex" ]; then
    echo "Файл прошивки не найден: соберите её (scripts/build.sh build) или укажите путь к .hex" >&2
    exit 2
fi
if [ ! -e "$port" ]; then
    echo "Порт $port не найден: подключите блок кабелем USB" >&2
    exit 2
fi
if ! command -v avrdude >/dev/null; then
    echo "Нет avrdude: установите пакет avrdude (scripts/deps.sh)" >&2
    exit 2
fi
# The Mega 2560's boot loader speaks the STK500v2 protocol at 115200 baud; -D keeps avrdude from
# erasing the chip itself (the boot loader erases each page it writes).
exec avrdude -p atmega2560 -c wiring -P "$port" -b 115200 -D -U "flash:w:$hex:i"
