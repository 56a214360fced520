// The forced-win threat search: can the attacker make five through a chain of threats that the
// defender must answer each time, within the depth?
//
// Every call takes its own copy of its caller's lists and threat table, so nothing has to be
// undone on the way back except the one trial stone the call wrote on Board. Moves come only from
// the two candidate lists; after a stone the mover's list is rebuilt from what that stone raised,
// which keeps the attacker on threats made by its last move.
#include "GameBoard.h"

bool TGameBoard::FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                               uint8_t minLevel, const CandidateLists& lists,
                               const TThreatTable& threats, int32_t depth) {
  // Outside ChooseMove the search runs unkeyed, so the threat key plays no part.
  return Search(attacker, toMove, column, row, minLevel, lists, threats, TSearchKey{}, depth);
}

bool TGameBoard::Search(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                        uint8_t minLevel, const CandidateLists& lists, const TThreatTable& threats,
                        const TSearchKey& threatKey, int32_t depth) {
  ++ForcedWinCalls;
  if (depth <= 0) return false;

  SearchState state{lists, threats, threatKey};
  // The trial stone's cell is kept apart: the attacker's turn writes its answer over (column, row).
  int32_t placedColumn = 0, placedRow = 0;
  if (column > 0) {
    const uint8_t mover = Opponent(toMove);
    placedColumn = column;
    placedRow = row;
    PutTrialStone(column, row, mover);
    ClearCandidates(state, mover);
    DropCandidate(state, toMove, column, row);
    RefreshLines(state, column, row);
  }

  const bool won = SearchTurn(state, attacker, toMove, column, row, minLevel, depth);

  if (placedColumn > 0) PutTrialStone(placedColumn, placedRow, CellEmpty);
  return won;
}

// The attacker to move: win, block a five, make a four, or (threes allowed) meet the defender's
// counter-threats and make a three. Each cell it hands on is written to (column, row) first, so on
// success they hold the first move of the win.
bool TGameBoard::AttackersTurn(SearchState& state, uint8_t attacker, int32_t& column, int32_t& row,
                               uint8_t minLevel, int32_t depth) {
  const uint8_t defender = Opponent(attacker);
  const CandidateList& own = state.Lists.Of(attacker);
  const CandidateList& theirs = state.Lists.Of(defender);
  int32_t moveColumn = 0, moveRow = 0;
  auto take = [&](const CandidateEntry& entry) {
    column = moveColumn = entry.Column;
    row = moveRow = entry.Row;
  };
  auto tryMove = [&](uint8_t a, uint8_t t, uint8_t m) {
    return Search(a, t, moveColumn, moveRow, m, state.Lists, state.Threats, state.ThreatKey,
                  depth - 1);
  };
  constexpr int Last = CandidateList::SlotCount;

  if (own.Slot(1).Level == 11) {
    take(own.Slot(1));
    return true;
  }
  if (theirs.Slot(1).Level == 11) {
    take(theirs.Slot(1));
    return tryMove(attacker, defender, minLevel);
  }
  if (own.Slot(1).Level == 10) {
    take(own.Slot(1));
    return true;
  }
  if (own.Slot(1).Level == 9) {
    for (int slot = 1; slot <= Last && own.Slot(slot).Level >= 9; ++slot) {
      take(own.Slot(slot));
      if (tryMove(attacker, defender, 9)) return true;
    }
  }
  if (minLevel >= 9) return false;

  // The defender has an open-four point: the attacker must occupy one of its strong points.
  if (theirs.Slot(1).Level == 10) {
    for (int slot = 1; slot <= Last; ++slot) {
      if (theirs.Slot(slot).Level < 9) return false;
      take(theirs.Slot(slot));
      if (tryMove(attacker, defender, minLevel)) return true;
    }
  }
  // The defender could answer a three with a four of its own: if it wins by fours from one, the
  // attacker's threes come too late.
  if (theirs.Slot(1).Level == 9) {
    for (int slot = 1; slot <= Last && theirs.Slot(slot).Level == 9; ++slot) {
      take(theirs.Slot(slot));
      if (tryMove(defender, attacker, 9)) return false;
    }
  }
  if (own.Slot(1).Level >= 7) {
    for (int slot = 1; slot <= Last && own.Slot(slot).Level >= 7; ++slot) {
      take(own.Slot(slot));
      if (tryMove(attacker, defender, 7)) return true;
    }
  }
  return false;
}

// The defender to move after an attacker's threat. The attacker's win holds only if every block
// of the threat still loses; a threat the defender need not answer wins nothing.
bool TGameBoard::DefendersTurn(SearchState& state, uint8_t attacker, uint8_t minLevel,
                               int32_t depth) {
  const uint8_t defender = Opponent(attacker);
  const CandidateList& own = state.Lists.Of(defender);
  const CandidateList& theirs = state.Lists.Of(attacker);
  int32_t moveColumn = 0, moveRow = 0;
  auto tryBlock = [&](const CandidateEntry& entry) {
    moveColumn = entry.Column;
    moveRow = entry.Row;
    return Search(attacker, attacker, moveColumn, moveRow, minLevel, state.Lists, state.Threats,
                  state.ThreatKey, depth - 1);
  };

  if (own.Slot(1).Level == 11) return false;
  if (theirs.Slot(1).Level == 11) return tryBlock(theirs.Slot(1));
  if (own.Slot(1).Level == 10) return false;
  if (theirs.Slot(1).Level == 10) {
    for (int slot = 1; slot <= CandidateList::SlotCount; ++slot) {
      if (theirs.Slot(slot).Level < 9) return true;
      if (!tryBlock(theirs.Slot(slot))) return false;
    }
  }
  return false;
}
