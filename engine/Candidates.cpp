// SPDX-License-Identifier: GPL-3.0-or-later
// Candidate move lists: the twelve most threatening empty cells of each colour, and the refresh
// that follows one trial stone on a working copy of the threat table.
//
// The refresh is a search heuristic, not the engine's rescan: it looks at the cells nine either
// side of the stone, lowers only the opponent's levels next to it, never lowers the stone's own
// colour, and leaves single-stone windows alone. The lists it feeds are what the forced-win search
// moves on, so its exact reach decides which threats the search sees.
#include "GameBoard.h"

// Cell codes along one line through the trial stone, offsets -9..+9. Anything outside that range,
// and everything at or beyond the first border cell, reads as the border: the buffer runs on to
// offsets -11..+11, as far as any window's neighbours reach, and those extra cells stay border.
struct TGameBoard::TLineBuffer {
  static constexpr int32_t Reach = 9;
  static constexpr int32_t Margin = Reach + 2;
  uint8_t Cells[2 * Margin + 1] = {};
  int32_t Column = 0, Row = 0, ColumnStep = 0, RowStep = 0;
  uint8_t Direction = 0;

  uint8_t At(int32_t offset) const { return Cells[offset + Margin]; }
  int32_t ColumnAt(int32_t offset) const { return Column + offset * ColumnStep; }
  int32_t RowAt(int32_t offset) const { return Row + offset * RowStep; }
};

void TGameBoard::RankCandidate(SearchState& state, uint8_t colour, int32_t column,
                               int32_t row) const {
  if (Board[column][row] != CellEmpty) return;
  const int8_t* levels = state.Threats.Cell(colour, column, row);
  int8_t level = levels[0];
  int32_t levelSum = 0;
  for (int direction = 0; direction < 4; ++direction) {
    if (levels[direction] > level) level = levels[direction];
    levelSum += levels[direction];
  }
  const CandidateEntry entry{level, levelSum, static_cast<int16_t>(column),
                             static_cast<int16_t>(row)};

  CandidateList& list = state.Lists.Of(colour);
  constexpr int Last = CandidateList::SlotCount;
  int found = 0;
  for (int slot = 1; slot <= Last; ++slot) {
    if (list.Slot(slot).Column == column && list.Slot(slot).Row == row) {
      found = slot;
      break;
    }
  }

  if (found > 0) {
    // A listed cell moves by Level alone: rising, it goes behind its new equals; falling, ahead
    // of them.
    int place = found;
    if (found > 1 && list.Slot(found - 1).Level < level) {
      while (place > 1 && list.Slot(place - 1).Level < level) {
        list.Slot(place) = list.Slot(place - 1);
        --place;
      }
    } else if (found < Last && list.Slot(found + 1).Level > level) {
      while (place < Last && list.Slot(place + 1).Level > level) {
        list.Slot(place) = list.Slot(place + 1);
        ++place;
      }
    }
    list.Slot(place) = entry;
    return;
  }

  // A newcomer must beat the last slot's Level outright; among equal Levels the higher LevelSum
  // goes first and a tie stays behind the earlier arrival.
  if (list.Slot(Last).Level >= level) return;
  int place = 1;
  while (list.Slot(place).Level > level ||
         (list.Slot(place).Level == level && list.Slot(place).LevelSum >= levelSum)) {
    ++place;
  }
  for (int slot = Last; slot > place; --slot)
    list.Slot(slot) = list.Slot(slot - 1);
  list.Slot(place) = entry;
}

void TGameBoard::DropCandidate(SearchState& state, uint8_t colour, int32_t column, int32_t row) {
  CandidateList& list = state.Lists.Of(colour);
  constexpr int Last = CandidateList::SlotCount;
  for (int slot = 1; slot <= Last; ++slot) {
    if (list.Slot(slot).Column != column || list.Slot(slot).Row != row) continue;
    for (int next = slot; next < Last; ++next)
      list.Slot(next) = list.Slot(next + 1);
    list.Slot(Last) = CandidateEntry{0, 0, 0, 0};
    return;
  }
}

void TGameBoard::ClearCandidates(SearchState& state, uint8_t colour) {
  for (CandidateEntry& entry : state.Lists.Of(colour).Slots)
    entry = CandidateEntry{0, 0, 0, 0};
}

void TGameBoard::RefreshLines(SearchState& state, int32_t column, int32_t row) const {
  for (uint8_t direction = 0; direction < 4; ++direction)
    RefreshLine(state, direction, column, row);
}

void TGameBoard::RefreshLine(SearchState& state, uint8_t direction, int32_t column,
                             int32_t row) const {
  TLineBuffer line;
  line.Column = column;
  line.Row = row;
  line.Direction = direction;
  DirectionStep(direction, line.ColumnStep, line.RowStep);
  for (int32_t k = 0; k <= TLineBuffer::Reach; ++k) {
    const uint8_t cell = Board[line.ColumnAt(k)][line.RowAt(k)];
    if (cell == CellBorder) break;
    line.Cells[k + TLineBuffer::Margin] = cell;
  }
  for (int32_t k = -1; k >= -TLineBuffer::Reach; --k) {
    const uint8_t cell = Board[line.ColumnAt(k)][line.RowAt(k)];
    if (cell == CellBorder) break;
    line.Cells[k + TLineBuffer::Margin] = cell;
  }

  const uint8_t stone = line.At(0);
  const uint8_t other = Opponent(stone);

  // The opponent loses its levels next to the stone; the windows clear of it give back what they
  // still can.
  auto resetOther = [&](int32_t k) {
    state.Threats.At(other, line.ColumnAt(k), line.RowAt(k), direction) = 0;
    if (k != 0) RankCandidate(state, other, line.ColumnAt(k), line.RowAt(k));
  };
  for (int32_t k = 0; k <= 5 && line.At(k) != CellBorder; ++k)
    resetOther(k);
  for (int32_t k = -1; k >= -5 && line.At(k) != CellBorder; --k)
    resetOther(k);

  bool raised[2][11] = {};
  bool* otherRaised = raised[other - CellBlack];
  bool* stoneRaised = raised[stone - CellBlack];
  for (int32_t start = -9; start <= -5; ++start)
    RaiseWindow(state, line, other, stone, start, -5, -1, otherRaised);
  for (int32_t start = 1; start <= 5; ++start)
    RaiseWindow(state, line, other, stone, start, 1, 5, otherRaised);
  for (int32_t start = -4; start <= 0; ++start)
    RaiseWindow(state, line, stone, other, start, -5, 5, stoneRaised);

  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour) {
    for (int32_t k = -5; k <= 5; ++k) {
      if (raised[colour - CellBlack][k + 5])
        RankCandidate(state, colour, line.ColumnAt(k), line.RowAt(k));
    }
  }
}

// One window of the refresh for colour own: raises own's levels in the allowed offsets low..high
// to what the window gives them, never lowering any. A window blocked by other or the border is
// abandoned, and start moves to the blocking cell so the next window begins beyond it.
void TGameBoard::RaiseWindow(SearchState& state, const TLineBuffer& line, uint8_t own,
                             uint8_t other, int32_t& start, int32_t low, int32_t high,
                             bool raised[11]) const {
  const int32_t s = start;
  if (line.At(s) == CellBorder || line.At(s) == other) return;
  int32_t count = 0;
  uint8_t mask = 0;
  for (int32_t p = 0; p < 5; ++p) {
    const uint8_t cell = line.At(s + p);
    if (cell == own) {
      ++count;
      mask |= static_cast<uint8_t>(1u << (4 - p));
    } else if (cell != CellEmpty) {
      start = s + p;
      return;
    }
  }
  if (count < 2 || count == 5) return;

  int8_t levels[5] = {};
  if (count == 4) {
    for (int8_t& level : levels)
      level = FiveLevel;
  } else {
    const bool dead =
        WindowIsDead(count, line.At(s - 1), line.At(s), line.At(s + 5), line.At(s + 6), other);
    PatternLevels(mask, count, dead, levels);
  }

  for (int32_t p = 0; p < 5; ++p) {
    const int32_t j = s + p;
    if (line.At(j) != CellEmpty || j < low || j > high) continue;
    const int32_t column = line.ColumnAt(j), row = line.RowAt(j);
    if (levels[p] > state.Threats.At(own, column, row, line.Direction)) {
      state.Threats.At(own, column, row, line.Direction) = levels[p];
      raised[j + 5] = true;
    }
  }
}
