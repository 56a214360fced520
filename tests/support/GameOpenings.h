// Openings of the seeded games that the engine tests and the benchmark play: a few stones at
// random in the 5 x 5 square at the centre, Black first, before the computer plays both sides.
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
