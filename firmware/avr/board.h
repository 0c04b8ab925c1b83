// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_BOARD_H
#define PINVEL_FW_BOARD_H

#include "unit.h"

// The board around the ATmega2560 (docs/unit/connections.md):
//   PB1 SCK, PB2 MOSI -> 74HC595 chain (SER of the first chip), PB3 MISO <- 74HC165 chain
//   PB0 latch (595 RCLK, rising edge), PB4 load (165 SH/LD, low loads), PB5 595 /OE (low drives;
//   pulled up on the board so the points stay released until the firmware has cleared them),
//   PL0 probe output, PL1 probe input.
void board_init(void);
// Lets the 595s drive once they hold released levels.
void board_enable(void);
extern const unit_board board;

#endif
