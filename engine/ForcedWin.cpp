// SPDX-License-Identifier: GPL-3.0-or-later
// The forced-win threat search as written: can the attacker make five through a chain of threats
// that the defender must answer each time, within the depth?
//
// Every call takes its own copy of its caller's lists and threat table, so nothing has to be
// undone on the way back except the one trial stone the call wrote on Board. Moves come only from
// the two candidate lists; after a stone the mover's list is rebuilt from what that stone raised,
// which keeps the attacker on threats made by its last move. This plain search is the reference
// that the fast search (FastSearch.h) must agree with: the same outcomes and first moves, with
// fewer searches.
#include "FastSearch.h"
#include "SearchTurns.h"

namespace {
struct TCell {
  int32_t Column = 0, Row = 0;
};
}  // namespace

// One level of the plain search: its own lists and table, and the engine whose Board holds the
// trial stones.
struct TGameBoard::TPlainSearcher {
  TGameBoard& Engine;
  SearchState& State;

  int8_t Level(uint8_t colour, int slot) const { return State.Lists.Of(colour).Slot(slot).Level; }
  TCell Move(uint8_t colour, int slot) const {
    const CandidateEntry& entry = State.Lists.Of(colour).Slot(slot);
    return TCell{entry.Column, entry.Row};
  }
  bool Try(uint8_t attacker, uint8_t toMove, uint8_t minLevel, TCell& move, int32_t depth, bool) {
    return Engine.PlainSearch(attacker, toMove, move.Column, move.Row, minLevel, State.Lists,
                              State.Threats, depth);
  }
};

bool TGameBoard::FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                               uint8_t minLevel, const CandidateLists& lists,
                               const TThreatTable& threats, int32_t depth) {
  auto colour = [](uint8_t code) { return code == CellBlack || code == CellWhite; };
  const bool fits =
      UseFastSearch && colour(attacker) && colour(toMove) &&
      (column <= 0 || (InRange(column, 1, BoardSize) && InRange(row, 1, BoardSize))) &&
      TFastSearch::Fits(lists);
  if (!fits) return PlainSearch(attacker, toMove, column, row, minLevel, lists, threats, depth);
  Fast->Load(Board, threats);
  const bool won = Fast->FindForcedWin(attacker, toMove, column, row, minLevel, lists, depth);
  ForcedWinCalls += Fast->TakeCalls();
  return won;
}

bool TGameBoard::PlainSearch(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                             uint8_t minLevel, const CandidateLists& lists,
                             const TThreatTable& threats, int32_t depth) {
  ++ForcedWinCalls;
  if (depth <= 0) return false;

  SearchState state{lists, threats};
  // The trial stone's cell is kept apart: the attacker's turn writes its answer over (column, row).
  int32_t placedColumn = 0, placedRow = 0;
  uint8_t under = CellEmpty;
  if (column > 0) {
    const uint8_t mover = Opponent(toMove);
    placedColumn = column;
    placedRow = row;
    under = Board[column][row];
    Board[column][row] = mover;
    ClearCandidates(state, mover);
    DropCandidate(state, toMove, column, row);
    RefreshLines(state, column, row);
  }

  TPlainSearcher searcher{*this, state};
  bool won = false;
  if (toMove == attacker) {
    TCell move{column, row};
    won = SearchTurns::AttackersTurn(searcher, attacker, move, minLevel, depth);
    column = move.Column;
    row = move.Row;
  } else {
    won = SearchTurns::DefendersTurn<TPlainSearcher, TCell>(
        searcher, attacker, searcher.Level(Opponent(attacker), 1), minLevel, depth);
  }

  if (placedColumn > 0) Board[placedColumn][placedRow] = under;
  return won;
}
