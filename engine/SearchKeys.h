// SPDX-License-Identifier: GPL-3.0-or-later
// The searches' keys of positions: a fixed random number for every stone on every cell, and one
// for White to move, made once from a fixed seed so that every run keys alike.
#pragma once

#include <cstdint>

#include "GameBoard.h"

// cell is (column - 1) * 15 + row - 1; colour 2 or 3.
uint64_t StoneKey(uint8_t colour, uint8_t cell);
uint64_t WhiteToMoveKey();
