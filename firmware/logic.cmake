# SPDX-License-Identifier: GPL-3.0-or-later
# The firmware's logic that knows nothing of the chip: built for the ATmega2560 and, for the
# tests, for the host.
set(PINVEL_FIRMWARE_LOGIC
    ${CMAKE_CURRENT_LIST_DIR}/src/frame.c
    ${CMAKE_CURRENT_LIST_DIR}/src/unit.c)
set(PINVEL_FIRMWARE_LOGIC_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/src)
