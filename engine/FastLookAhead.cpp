// SPDX-License-Identifier: GPL-3.0-or-later
// The fast search's answers without searching for the last levels of a threat tree: the attacker
// to move with two levels left and the defender to move with three, read off the lines through
// the stones instead of placing them and ranking what they change (see the rules at the top of
// FastSearch.h).
#include <algorithm>

#include "FastGeometry.h"

using namespace FastSearchBits;

namespace {

bool IsMarked(const uint64_t (&cells)[4], uint8_t cell) {
  return (cells[cell >> 6] >> (cell & 63)) & 1u;
}

void MarkCell(uint64_t (&cells)[4], uint8_t cell) {
  cells[cell >> 6] |= uint64_t{1} << (cell & 63);
}

}  // namespace

// The attacker to move with two levels left, after the defender's stone on cell. Every search it
// could hand on has one level left with the defender to move, or none, and answers false, so its
// answer is its lists' top levels: a five point wins; so does an open-four point, unless the
// defender now has a five point. Those levels come from the four lines through the stone without
// placing it or ranking anything. The defender's list holds only what its stone raised, and its
// levels only rise. The attacker's list is given as its entries (listed, in list order, or
// count cells in any order, all at OpenFourLevel or more); its top entry after the stone is its
// highest cell at OpenFourLevel or more as long as fewer than HandOverCells cells ever stand
// there during the refresh: then none is pushed out or kept out of the list. Where that count is
// reached there is no answer: the full search decides.
std::optional<bool> TFastSearch::AttackerWinsAtTwo(uint8_t attacker, uint8_t cell,
                                                   const TSlot* listed, int count) const {
  const TGeometry& geometry = Geometry;
  const int a = attacker - CellBlack, d = 1 - a;
  const int8_t* attackerLevels = &LineLevels[a][0][0][0];
  const int8_t* defenderLevels = &LineLevels[d][0][0][0];
  uint64_t touched[4] = {};
  int8_t top = 0;
  int high = 0;
  bool defenderFive = false;
  for (int direction = 0; direction < 4; ++direction) {
    const auto [own, theirs, empty] = ReadLine(d, direction, cell);
    int8_t bestAttacker[32] = {}, bestDefender[32] = {};
    RaiseWindows(theirs, empty, FirstsBefore | FirstsAfter, Before | After, bestAttacker);
    RaiseWindows(own, empty, FirstsThrough, Near, bestDefender);
    for (uint32_t bits = empty & Near; bits != 0; bits &= bits - 1) {
      const int b = LowestBit(bits);
      const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
      MarkCell(touched, at);
      const uint16_t* offsets = geometry.LevelOffsets[at];
      const int8_t others = OthersMax(attackerLevels, offsets, direction);
      const int8_t before = std::max(others, attackerLevels[offsets[direction]]);
      const int8_t after = std::max(others, bestAttacker[b]);
      high += std::max(before, after) >= OpenFourLevel;
      top = std::max(top, after);
      if (bestDefender[b] > 0 && bestDefender[b] > defenderLevels[offsets[direction]] &&
          std::max(bestDefender[b], OthersMax(defenderLevels, offsets, direction)) == FiveLevel)
        defenderFive = true;
    }
  }
  for (int slot = 0; slot < count; ++slot) {
    if (listed[slot].Level < OpenFourLevel) break;
    if (listed[slot].Cell == cell || IsMarked(touched, listed[slot].Cell)) continue;
    ++high;
    top = std::max(top, listed[slot].Level);
  }
  if (high >= HandOverCells) {
    if constexpr (ShortcutCheck::Enabled) {
      ShortcutCheck::Count(TShortcut::AttackerAtTwoFull);
      if (high == HandOverCells) ShortcutCheck::Count(TShortcut::AttackerAtTwoFullAtLimit);
    }
    return std::nullopt;
  }
  return top == FiveLevel || (top == OpenFourLevel && !defenderFive);
}

// The defender's side of the attacker's stone on cell, once its lines are written: the top of its
// list and how many of its cells stand at OpenFourLevel or more after the stone. Its list must be
// ranked. A cell the stone brings below OpenFourLevel is not counted, though it may have kept
// another out of the full refresh's list before it fell: for the list to lose its top at
// OpenFourLevel that way, all twelve of its entries must stand there before the stone and fall
// below it, and no board allows that. With no stone of the defender's since the position, its
// levels are at most the position's: on a line through the stone at most three of its cells fall,
// and at most two on a line where the stone raises one of its own, as it must on some line to give
// the attacker an open-four point, so eleven in all. After a stone of the defender's, its list
// holds only the cells that stone raised, on the stone's own lines, and at most seven of those lie
// on the attacker's lines and fall. (Counted over every line of the board and placing of stones.)
void TFastSearch::ReadDefenderSide(int defender, uint8_t cell, TStoneTops& tops) const {
  const int8_t* levels = &LineLevels[defender][0][0][0];
  for (int direction = 0; direction < 4; ++direction) {
    for (uint32_t bits = tops.Empty[direction] & Near; bits != 0; bits &= bits - 1) {
      const int b = LowestBit(bits);
      const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
      MarkCell(tops.Touched, at);
      const int8_t after = std::max(OthersMax(levels, Geometry.LevelOffsets[at], direction),
                                    tops.NewTheirs[direction][b - (OffsetBit - 5)]);
      tops.DefenderHigh += after >= OpenFourLevel;
      tops.DefenderTop = std::max(tops.DefenderTop, after);
    }
  }
  CountKeptEntries(defender, cell, tops);
}

// Whether the defender has a five point after the attacker's stone on cell, once its lines are
// written. A stone of the attacker's takes away no five point but its own cell, and a five point
// is never kept out of a list or pushed out but by others, so this needs no count of cells: the
// list's top is a five point if a listed entry or a cell on the lines is one.
bool TFastSearch::DefenderHasFive(int defender, uint8_t cell, const TStoneTops& tops) const {
  CheckListKnown(defender);
  for (const TSlot& slot : Lists.Of[defender]) {
    if (slot.Level < FiveLevel) break;
    if (slot.Cell != cell) return true;
  }
  const int8_t* levels = &LineLevels[defender][0][0][0];
  for (int direction = 0; direction < 4; ++direction) {
    for (uint32_t bits = tops.Empty[direction] & Near; bits != 0; bits &= bits - 1) {
      const int b = LowestBit(bits);
      const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
      const int8_t others = OthersMax(levels, Geometry.LevelOffsets[at], direction);
      if (std::max(others, tops.NewTheirs[direction][b - (OffsetBit - 5)]) == FiveLevel)
        return true;
    }
  }
  return false;
}

// The defender's entries the stone on cell leaves as they were: listed, off the lines' reach
// and not the stone's cell. Its list must be ranked.
void TFastSearch::CountKeptEntries(int defender, uint8_t cell, TStoneTops& tops) const {
  CheckListKnown(defender);
  for (const TSlot& slot : Lists.Of[defender]) {
    if (slot.Level < OpenFourLevel) break;
    if (slot.Cell == cell || IsMarked(tops.Touched, slot.Cell)) continue;
    ++tops.DefenderHigh;
    tops.DefenderTop = std::max(tops.DefenderTop, slot.Level);
  }
}

// The defender to move with three levels left, after the attacker's stone on cell. Its turn
// reads the two lists' tops and hands each block on to the attacker with two levels left, which
// AttackerWinsAtTwo answers. The stone's levels are written in place for those answers, but
// nothing is ranked: the tops come from the lines as TStoneTops tells. The defender's cells at a
// five point keep it, and with fewer than HandOverCells of its cells ever at OpenFourLevel or
// more, none of them is pushed out or kept out; with fewer than HandOverCells of the attacker's
// raised cells at 9 or more, all of them are listed, and they are the blocks the turn tries, in
// an order that cannot change its answer. Past either count there is no answer.
std::optional<bool> TFastSearch::AttackerWinsAtThree(uint8_t attacker, uint8_t cell) {
  const size_t mark = UndoSize;
  Put(cell, attacker);
  TStoneTops tops;
  for (int direction = 0; direction < 4; ++direction)
    ReadStoneLine(direction, cell, tops, false);
  const std::optional<bool> wins = DefenderAnswersAtThree(attacker, cell, tops);
  Put(cell, CellEmpty);
  UndoTo(mark);
  return wins;
}

std::optional<bool> TFastSearch::DefenderAnswersAtThree(uint8_t attacker, uint8_t cell,
                                                        TStoneTops& tops) const {
  // Without an open-four point or a five point of the attacker's, every branch of the turn
  // answers false.
  if (tops.AttackerTop < OpenFourLevel) return false;
  const int defender = Opponent(attacker) - CellBlack;
  if (tops.AttackerTop < FiveLevel) ReadDefenderSide(defender, cell, tops);
  if (tops.DefenderHigh >= HandOverCells || tops.StrongCount >= HandOverCells) {
    if constexpr (ShortcutCheck::Enabled) ShortcutCheck::Count(TShortcut::DefenderAtThreeFull);
    return std::nullopt;
  }
  TSlot fours[Slots];
  int fourCount = 0;
  for (int slot = 0; slot < tops.StrongCount; ++slot) {
    if (tops.Strong[slot].Level >= OpenFourLevel) fours[fourCount++] = tops.Strong[slot];
  }
  // A five point must be blocked, unless the defender has one. With two, either block leaves
  // the other, so it does not matter which the list puts first.
  if (tops.AttackerTop == FiveLevel) {
    if (DefenderHasFive(defender, cell, tops)) return false;
    const TSlot* five = std::find_if(fours, fours + fourCount,
                                     [](const TSlot& slot) { return slot.Level == FiveLevel; });
    return AttackerWinsAtTwo(attacker, five->Cell, fours, fourCount);
  }
  if (tops.DefenderTop >= OpenFourLevel) return false;
  // The attacker's open-four point: it wins only if every strong point's block still loses.
  bool known = true;
  for (int slot = 0; slot < tops.StrongCount; ++slot) {
    const std::optional<bool> wins =
        AttackerWinsAtTwo(attacker, tops.Strong[slot].Cell, fours, fourCount);
    if (wins == false) return false;
    known = known && wins.has_value();
  }
  if (!known) return std::nullopt;
  return true;
}
