// SPDX-License-Identifier: GPL-3.0-or-later
// Line threat classification: the rescan of the lines through a changed intersection and the
// pattern tables that rate the five-cell windows of a line.
//
// A rescan re-evaluates the whole line through the intersection, border to border. A change of
// one cell can alter the judgement (dead or live) of windows up to six cells away, and those
// windows rate cells four further on, so anything shorter than the whole line would leave cells
// rated by a position that no longer exists: a five point could then go unannounced. A line has
// at most 15 cells and 11 windows, so the whole line costs no more than a partial one.
#include <cstdio>

#include "GameBoard.h"

namespace {

struct TPattern {
  uint8_t Mask;
  int8_t Levels[5];
};

// Position 0 of a window is its first cell, the mask's top bit (0x10).
constexpr TPattern OneStonePatterns[] = {
    {0x10, {4, 4, 3, 2, 2}}, {0x08, {4, 4, 4, 3, 2}}, {0x04, {3, 4, 4, 4, 3}},
    {0x02, {2, 3, 4, 4, 4}}, {0x01, {2, 2, 3, 4, 4}},
};

constexpr TPattern TwoStonePatterns[] = {
    {0x0C, {8, 8, 8, 8, 7}}, {0x0A, {7, 8, 8, 8, 7}}, {0x18, {8, 8, 8, 7, 6}},
    {0x14, {8, 8, 8, 7, 6}}, {0x12, {7, 7, 7, 7, 6}}, {0x11, {6, 6, 6, 6, 6}},
    {0x06, {7, 8, 8, 8, 8}}, {0x03, {6, 7, 8, 8, 8}}, {0x05, {6, 7, 8, 8, 8}},
    {0x09, {6, 7, 7, 7, 7}},
};

constexpr TPattern ThreeStonePatterns[] = {
    {0x0E, {10, 10, 10, 10, 10}}, {0x16, {10, 10, 10, 10, 9}}, {0x15, {9, 9, 9, 9, 9}},
    {0x1A, {10, 10, 10, 10, 9}},  {0x19, {9, 9, 9, 9, 9}},     {0x1C, {10, 10, 10, 10, 9}},
    {0x0D, {9, 10, 10, 10, 10}},  {0x0B, {9, 10, 10, 10, 10}}, {0x13, {9, 9, 9, 9, 9}},
    {0x07, {9, 10, 10, 10, 10}},
};

template <size_t N>
const TPattern* FindPattern(const TPattern (&table)[N], uint8_t mask) {
  for (const TPattern& pattern : table) {
    if (pattern.Mask == mask) return &pattern;
  }
  return nullptr;
}

void Fill(int8_t levels[5], int8_t level) {
  for (int p = 0; p < 5; ++p)
    levels[p] = level;
}

}  // namespace

bool TGameBoard::WindowLevels(uint8_t mask, int32_t count, bool dead, int8_t levels[5]) {
  if (dead) {
    static constexpr int8_t DeadLevels[5] = {0, 1, 5, 9, 11};
    Fill(levels, InRange(count, 1, 4) ? DeadLevels[count] : 0);
    return true;
  }
  if (count == 4) {
    Fill(levels, FiveLevel);
    return true;
  }
  const TPattern* pattern = nullptr;
  if (count == 1) pattern = FindPattern(OneStonePatterns, mask);
  if (count == 2) pattern = FindPattern(TwoStonePatterns, mask);
  if (count == 3) pattern = FindPattern(ThreeStonePatterns, mask);
  if (pattern == nullptr) return false;
  std::memcpy(levels, pattern->Levels, 5);
  return true;
}

void TGameBoard::PatternLevels(uint8_t mask, int32_t count, bool dead, int8_t levels[5]) const {
  if (WindowLevels(mask, count, dead, levels) || Reporter == nullptr) return;
  char text[32];
  int length = std::snprintf(text, sizeof text, "Mach error!%d", static_cast<int>(count));
  Reporter->SetPanelText(4, std::string_view(text, static_cast<size_t>(length)));
}

void TGameBoard::RescanLines(int32_t column, int32_t row) {
  for (uint8_t direction = 0; direction < 4; ++direction)
    RescanLine(direction, column, row);
}

void TGameBoard::RescanLine(uint8_t direction, int32_t column, int32_t row) {
  int32_t dc = 0, dr = 0;
  DirectionStep(direction, dc, dr);

  // Walk back to the first cell of the line.
  int32_t firstColumn = column, firstRow = row;
  while (Board[firstColumn - dc][firstRow - dr] != CellBorder) {
    firstColumn -= dc;
    firstRow -= dr;
  }

  // line[1..length] are the line's cells in direction order; line[0] and everything after the
  // last cell read as the border, so the neighbours of the end windows come out right.
  uint8_t line[BoardSize + 3] = {};
  int length = 0;
  for (int32_t c = firstColumn, r = firstRow; Board[c][r] != CellBorder; c += dc, r += dr) {
    line[++length] = Board[c][r];
  }
  auto levelAt = [&](uint8_t colour, int i) -> int8_t& {
    return Threat.At(colour, firstColumn + (i - 1) * dc, firstRow + (i - 1) * dr, direction);
  };

  for (int i = 1; i <= length; ++i) {
    levelAt(CellBlack, i) = 0;
    levelAt(CellWhite, i) = 0;
  }

  for (int s = 1; s + 4 <= length; ++s) {
    int black = 0, white = 0;
    uint8_t blackMask = 0, whiteMask = 0;
    for (int p = 0; p < 5; ++p) {
      const uint8_t bit = static_cast<uint8_t>(1u << (4 - p));
      if (line[s + p] == CellBlack) ++black, blackMask |= bit;
      if (line[s + p] == CellWhite) ++white, whiteMask |= bit;
    }
    // A window with stones of both colours is open for neither; an empty or full one gives
    // nothing.
    if ((black > 0) == (white > 0)) continue;
    const uint8_t own = black > 0 ? CellBlack : CellWhite;
    const int count = black > 0 ? black : white;
    const uint8_t mask = black > 0 ? blackMask : whiteMask;
    if (count == 5) continue;

    int8_t levels[5] = {};
    if (count == 4) {
      Fill(levels, FiveLevel);
    } else {
      const bool dead =
          WindowIsDead(count, line[s - 1], line[s], line[s + 5], line[s + 6], Opponent(own));
      PatternLevels(mask, count, dead, levels);
    }
    for (int p = 0; p < 5; ++p) {
      int8_t& level = levelAt(own, s + p);
      if (level < levels[p]) level = levels[p];
    }
  }
}
