// SPDX-License-Identifier: GPL-3.0-or-later
// The fast forced-win search: loading a position, the search levels with their turn rules, and
// the answers given without searching (see the rules at the top of FastSearch.h).
#include "FastSearch.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "FastGeometry.h"
#include "SearchTurns.h"
#include "ShortcutCheck.h"

using namespace FastSearchBits;

TFastSearch::TFastSearch() : Geometry(TheGeometry()) {}

TFastSearchMemory::TFastSearchMemory() : Search(std::make_unique<TFastSearch>()) {}
TFastSearchMemory::TFastSearchMemory(const TFastSearchMemory&) : TFastSearchMemory() {}
TFastSearchMemory::~TFastSearchMemory() = default;

void TFastSearch::Load(const uint8_t (&board)[17][17], const TThreatTable& threats) {
  const TGeometry& geometry = Geometry;
  UndoSize = 0;
  Calls = 0;
  std::memset(Board, CellBorder, sizeof Board);
  std::memset(Stones, 0, sizeof Stones);
  std::memset(LineLevels, 0, sizeof LineLevels);
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      const uint8_t cell = CellOf(column, row);
      Board[cell] = board[column][row];
      if (Board[cell] >= CellBlack) {
        for (int direction = 0; direction < 4; ++direction) {
          const TGeometry::TLinePlace place = geometry.Places[cell][direction];
          Stones[Board[cell] - CellBlack][direction][place.Line] |= uint64_t{1}
                                                                    << (16 + place.Index);
        }
      }
      for (int colour = 0; colour < 2; ++colour) {
        for (int direction = 0; direction < 4; ++direction) {
          (&LineLevels[colour][0][0][0])[geometry.LevelOffsets[cell][direction]] =
              threats.Levels[colour][column - 1][row - 1][direction];
        }
      }
    }
  }
}

bool TFastSearch::FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                                uint8_t minLevel, const CandidateLists& lists, int32_t depth) {
  LoadLists(lists);
  const uint8_t given = column > 0 ? CellOf(column, row) : 0;
  uint8_t cell = given;
  const bool won = Search(attacker, toMove, cell, minLevel, depth);
  // The pair changes only where the attacker's turn handed on a move.
  if (cell != given) {
    column = cell >> 4;
    row = cell & 15;
  }
  return won;
}

TFastSearch::TTrial TFastSearch::SetUpAnswer(uint8_t colour, int32_t column, int32_t row, int slot,
                                             uint8_t minLevel, const CandidateLists& lists,
                                             int32_t depth) {
  LoadLists(lists);
  const size_t mark = UndoSize;
  const uint8_t cell = CellOf(column, row);
  const uint8_t under = Board[cell];
  Put(cell, colour);
  // The lists as the search from the opponent's answer finds them.
  if constexpr (ShortcutCheck::Enabled) NameListReaders(colour, Opponent(colour), depth + 1);
  RefreshLines(cell);
  TTrial trial = TTrial::Ended;
  if (Level(colour, slot) >= minLevel) {
    uint8_t answer = Move(colour, slot);
    trial = Search(colour, colour, answer, minLevel, depth) ? TTrial::Won : TTrial::Lost;
  }
  Put(cell, under);
  UndoTo(mark);
  return trial;
}

bool TFastSearch::Try(uint8_t attacker, uint8_t toMove, uint8_t minLevel, uint8_t& cell,
                      int32_t depth, bool foursKnownToFail) {
  // With no depth left the search answers false, as Search would, without placing the stone.
  if (depth <= 0) {
    ++Calls;
    return false;
  }
  if (!ShortcutCheck::Enabled || !InReference) {
    if (depth == 1 && toMove != attacker)
      return Answered(TShortcut::DefenderAtOne, false, attacker, toMove, cell, minLevel, depth);
    if (depth == 2 && toMove == attacker && cell != 0 && Board[cell] == CellEmpty) {
      const std::optional<bool> wins =
          AttackerWinsAtTwo(attacker, cell, Lists.Of[attacker - CellBlack], Slots);
      if (wins)
        return Answered(TShortcut::AttackerAtTwo, *wins, attacker, toMove, cell, minLevel, depth);
    }
    if (depth == 3 && toMove != attacker && cell != 0 && Board[cell] == CellEmpty) {
      const std::optional<bool> wins = AttackerWinsAtThree(attacker, cell);
      if (wins)
        return Answered(TShortcut::DefenderAtThree, *wins, attacker, toMove, cell, minLevel, depth);
    }
  }
  return Search(attacker, toMove, cell, minLevel, depth, foursKnownToFail);
}

// An answer given without searching. The checking build runs the search it stands for and
// stops on any difference; a stopped search's answers mean nothing and are not compared.
bool TFastSearch::Answered(TShortcut rule, bool answer, uint8_t attacker, uint8_t toMove,
                           uint8_t cell, uint8_t minLevel, int32_t depth) {
  ++Calls;
  if constexpr (ShortcutCheck::Enabled) {
    ShortcutCheck::Count(rule);
    uint8_t move = cell;
    const bool full = FullSearch(attacker, toMove, move, minLevel, depth);
    if (full != answer && !IsStopped()) Mismatch(rule, answer, full, attacker, toMove, cell, depth);
  }
  return answer;
}

// The search with every short-cut left out, as the checking build's reference. Its calls are
// not counted, so the checking build counts as the others do.
bool TFastSearch::FullSearch(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel,
                             int32_t depth) {
  const bool outer = InReference;
  const uint64_t calls = Calls;
  InReference = true;
  const bool won = Search(attacker, toMove, cell, minLevel, depth);
  InReference = outer;
  Calls = calls;
  return won;
}

void TFastSearch::Mismatch(TShortcut rule, bool answer, bool full, uint8_t attacker, uint8_t toMove,
                           uint8_t cell, int32_t depth) const {
  char what[160];
  std::snprintf(what, sizeof what,
                "answered %d where the full search answers %d (attacker %d, to move %d, "
                "stone on %d,%d, depth %d)",
                answer, full, attacker, toMove, cell >> 4, cell & 15, depth);
  ShortcutCheck::Fail(rule, what);
}

bool TFastSearch::IsStopped() const {
  return Stopped != nullptr && Stopped->load(std::memory_order_relaxed);
}

// A search whose fours are known to fail passes them over. The checking build searches them
// too and expects the same outcome and, on a win, the same first move.
bool TFastSearch::Search(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel,
                         int32_t depth, bool foursKnownToFail) {
  if constexpr (ShortcutCheck::Enabled) {
    if (InReference) return SearchLevel(attacker, toMove, cell, minLevel, depth, false);
    if (foursKnownToFail) {
      ShortcutCheck::Count(TShortcut::FoursKnownToFail);
      uint8_t fullMove = cell;
      const bool full = FullSearch(attacker, toMove, fullMove, minLevel, depth);
      const bool won = SearchLevel(attacker, toMove, cell, minLevel, depth, true);
      if (!IsStopped() && (won != full || (won && toMove == attacker && cell != fullMove)))
        Mismatch(TShortcut::FoursKnownToFail, won, full, attacker, toMove, cell, depth);
      return won;
    }
  }
  return SearchLevel(attacker, toMove, cell, minLevel, depth, foursKnownToFail);
}

// One level: the lists are saved whole and the table's changes logged, and both are put back
// before returning, which leaves the caller's position as the plain search's copy would.
bool TFastSearch::SearchLevel(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel,
                              int32_t depth, bool foursKnownToFail) {
  ++Calls;
  if (depth <= 0) return false;
  if (IsStopped()) return false;

  const TLists saved = Lists;
  const size_t mark = UndoSize;
  const uint8_t placed = cell;
  const uint8_t under = Board[placed];
  int8_t defenderTop = 0;
  if (placed != 0) {
    const uint8_t mover = Opponent(toMove);
    Put(placed, mover);
    for (TSlot& slot : Lists.Of[mover - CellBlack])
      slot = TSlot{0, 0, 0};
    for (uint64_t& word : Lists.Listed[mover - CellBlack])
      word = 0;
    Lists.Unranked[mover - CellBlack] = false;
    Drop(toMove - CellBlack, placed);
    if constexpr (ShortcutCheck::Enabled) NameListReaders(attacker, toMove, depth);
    // The levels read off the lines assume a stone on an empty cell, as every search but a
    // caller's odd trial stone places.
    if (toMove != attacker && under == CellEmpty) {
      defenderTop = RefreshBeforeDefender(attacker, placed);
    } else {
      RefreshLines(placed);
      if (toMove != attacker) defenderTop = Level(toMove, 1);
    }
    if constexpr (ShortcutCheck::Enabled) CheckListOrder();
  } else if (toMove != attacker) {
    defenderTop = Level(toMove, 1);
  }

  const bool won =
      toMove == attacker
          ? SearchTurns::AttackersTurn(*this, attacker, cell, minLevel, depth, foursKnownToFail)
          : SearchTurns::DefendersTurn<TFastSearch, uint8_t>(*this, attacker, defenderTop, minLevel,
                                                             depth, foursKnownToFail);

  if (placed != 0) Put(placed, under);
  Lists = saved;
  UndoTo(mark);
  return won;
}

// The checking build's names for faults in the lists as this level's stone leaves them: each
// colour's list is named after the short-cut that reads it in list order. The attacker's list
// is read by the answer with two levels left (rule 3); the defender's by the answers at the
// attacker's stones, from the lines and the entries kept: with three levels left when the
// attacker is to move with four (rule 4), otherwise in the refresh before the defender's turn
// (rule 5).
void TFastSearch::NameListReaders(uint8_t attacker, uint8_t toMove, int32_t depth) {
  ListReader[attacker - CellBlack] = TShortcut::AttackerAtTwo;
  ListReader[Opponent(attacker) - CellBlack] = toMove == attacker && depth == 4
                                                   ? TShortcut::DefenderAtThree
                                                   : TShortcut::DefenderListUnranked;
}

// The checking build's watch on what the short-cuts read off the lists: down each list the
// levels never rise.
void TFastSearch::CheckListOrder() const {
  for (int colour = 0; colour < 2; ++colour) {
    const TList& list = Lists.Of[colour];
    for (int slot = 1; slot < Slots; ++slot) {
      if (list[slot].Level > list[slot - 1].Level)
        ShortcutCheck::Fail(ListReader[colour], "a list's levels rise from one slot to the next");
    }
  }
}
