// SPDX-License-Identifier: GPL-3.0-or-later
// The seeded games that the engine tests and the benchmark play: a few stones at random in the
// 5 x 5 square at the centre, Black first, then the computer's move for both sides.
#pragma once

#include <cstdint>
#include <random>

#include "GameBoard.h"

// Two to five stones.
inline int OpeningSize(std::mt19937& random) {
  return 2 + static_cast<int>(random() % 4);
}

// Places `stones` stones on distinct intersections, alternately Black and White, and answers the
// colour to move next.
inline uint8_t PlaceOpening(TGameBoard& engine, std::mt19937& random, int stones) {
  uint8_t colour = CellBlack;
  for (int placed = 0; placed < stones;) {
    const int32_t column = 6 + static_cast<int32_t>(random() % 5);
    const int32_t row = 6 + static_cast<int32_t>(random() % 5);
    if (engine.Board[column][row] != CellEmpty) continue;
    engine.PlaceStone(column, row, colour);
    colour = Opponent(colour);
    ++placed;
  }
  return colour;
}

// Plays colour's chosen stone. false when it made five and the game is over; otherwise the turn
// passes to the other colour.
inline bool PlayOn(TGameBoard& engine, uint8_t& colour, int32_t column, int32_t row) {
  double score = 0;
  const bool five = engine.WinScore(column, row, colour, score);
  engine.PlaceStone(column, row, colour);
  if (five) return false;
  colour = Opponent(colour);
  return true;
}
