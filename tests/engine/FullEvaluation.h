// SPDX-License-Identifier: GPL-3.0-or-later
// The threat table worked out from scratch, written plainly for the tests to compare the
// engine's incrementally kept table against.
#pragma once

#include <algorithm>
#include <cstdint>

#include "GameBoard.h"

// The rule the pattern tables follow: add a stone at an empty position and measure the span of
// the window's stones; an occupied position gets the best level of its record.
inline int SpanRuleLevel(uint8_t mask, int count, int position) {
  auto levelWith = [&](int p) {
    const uint8_t withStone = mask | static_cast<uint8_t>(1u << (4 - p));
    int first = 0, last = 4;
    while (!(withStone & (1u << (4 - first))))
      ++first;
    while (!(withStone & (1u << (4 - last))))
      --last;
    const int span = last - first + 1;
    if (count == 1) return span == 2 ? 4 : span == 3 ? 3 : 2;
    if (count == 2) return span == 3 ? 8 : span == 4 ? 7 : 6;
    return span == 4 ? 10 : 9;
  };
  if (!(mask & (1u << (4 - position)))) return levelWith(position);
  int best = 0;
  for (int p = 0; p < 5; ++p)
    if (!(mask & (1u << (4 - p)))) best = std::max(best, levelWith(p));
  return best;
}

// A from-scratch evaluation, written plainly: every window of every line that covers a cell.
inline int8_t FullLevel(const TGameBoard& engine, uint8_t colour, int column, int row, uint8_t d) {
  int32_t dc = 0, dr = 0;
  DirectionStep(d, dc, dr);
  auto cell = [&](int k) -> uint8_t {
    const int c = column + k * dc, r = row + k * dr;
    if (c < 1 || c > 15 || r < 1 || r > 15) return CellBorder;
    return engine.Board[c][r];
  };
  const uint8_t opponent = colour == CellBlack ? CellWhite : CellBlack;
  int best = 0;
  for (int s = -4; s <= 0; ++s) {
    int count = 0;
    uint8_t mask = 0;
    bool open = true;
    for (int p = 0; p < 5; ++p) {
      const uint8_t code = cell(s + p);
      if (code == CellBorder || code == opponent) open = false;
      if (code == colour) ++count, mask |= 1u << (4 - p);
    }
    if (!open || count == 0 || count == 5) continue;
    const uint8_t before = cell(s - 1), after = cell(s + 5), afterNext = cell(s + 6);
    bool dead;
    if (count == 3) {
      const bool bothEmpty = before == CellEmpty && after == CellEmpty;
      const bool stretch = cell(s) == CellEmpty && after == CellEmpty && afterNext != CellEmpty;
      dead = !(bothEmpty || stretch);
    } else {
      dead = before == CellBorder || before == opponent || after == CellBorder || after == opponent;
    }
    int level;
    if (count == 4)
      level = 11;
    else if (dead)
      level = count == 1 ? 1 : count == 2 ? 5 : 9;
    else
      level = SpanRuleLevel(mask, count, -s);
    best = std::max(best, level);
  }
  return static_cast<int8_t>(best);
}
