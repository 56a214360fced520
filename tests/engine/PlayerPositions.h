// SPDX-License-Identifier: GPL-3.0-or-later
// Positions for the computer player's tests: stones placed through the engine, and positions
// taken from seeded games in which both sides play the computer's move after a random opening.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>

#include "GameBoard.h"
#include "GameOpenings.h"

struct TStone {
  int32_t Column, Row;
  uint8_t Colour;
};

inline void PlaceAll(TGameBoard& engine, std::initializer_list<TStone> stones) {
  for (const TStone& stone : stones)
    engine.PlaceStone(stone.Column, stone.Row, stone.Colour);
}

inline bool SameBoard(const TGameBoard& a, const TGameBoard& b) {
  return std::memcmp(a.Board, b.Board, sizeof a.Board) == 0;
}

inline bool SameThreats(const TThreatTable& a, const TThreatTable& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Plays `games` games from `seed`: two to five stones at random near the centre, then the
// computer's move (depth 4, so the games stay quick) for both sides until five, a full board or
// no move. `visit` sees every position before its move is chosen, with the colour to move.
inline void VisitGamePositions(uint32_t seed, int games,
                               const std::function<void(TGameBoard&, uint8_t)>& visit) {
  std::mt19937 random(seed);
  for (int game = 0; game < games; ++game) {
    TGameBoard engine;
    uint8_t colour = PlaceOpening(engine, random, OpeningSize(random));
    for (int ply = 0; ply < BoardSize * BoardSize; ++ply) {
      visit(engine, colour);
      int32_t column = 0, row = 0;
      engine.ChooseMove(colour, column, row, 4);
      if (column == 0) break;
      if (!PlayOn(engine, colour, column, row)) break;
    }
  }
}
