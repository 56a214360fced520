// SPDX-License-Identifier: GPL-3.0-or-later
// The search behind Hard and Expert: rollouts of the design's player. Each candidate move is
// played, and from it the design's player plays both sides to a horizon; the candidate whose
// game goes best is taken. A rollout of a fixed policy can only improve on it: the policy's
// own move is among the candidates, and a candidate is preferred only when the policy's own
// continuation from it goes better, so the level plays at least as well as the design by the
// outcomes it foresees; and where an opponent plays as the design does, what it foresees is
// what happens. The horizon deepens by iterations, 4, 8, 16, ... plies up to the end of the
// game, each iteration's best move kept, so a stop answers at once. The design's decisions met
// on the way are kept in a transposition table made once, so an iteration replays what the one
// before it played, and the next move replays this one's continuations.
#pragma once

#include <cstdint>

#include "GameBoard.h"
#include "Levels.h"
#include "SearchBudget.h"
#include "TranspositionTable.h"

class TRolloutSearch {
 public:
  // Candidates weighed at the root at most, and the longest horizon in plies.
  static constexpr int MaxCandidates = 24;
  static constexpr int MaxHorizon = BoardSize * BoardSize;

  explicit TRolloutSearch(size_t tableBytes);

  // Chooses among the candidates (column, row pairs, the first the design's own move) for
  // colour on engine's position within limits; answers the index of the best, which is 0 when
  // no iteration finished. report gets the horizon reached and the positions played.
  int Think(const TGameBoard& engine, uint8_t colour, const int32_t (*candidates)[2], int count,
            const TThinkLimits& limits, TThinkReport& report);
  void ClearTable() { Table.Clear(); }

 private:
  TGameBoard Position;  // the rollouts' board, reset to the root's before each
  TTranspositionTable Table;
  uint8_t RootBoard[17][17];
  TThreatTable RootThreat;
  uint64_t RootKey = 0;
  uint64_t Key = 0;
  uint64_t Played = 0;
  TSearchBudget Budget;

  // The design's move for side on Position, from the table when it was decided before.
  void PolicyMove(uint8_t side, int32_t& column, int32_t& row);
  // Plays the stone on Position; true when it completes five.
  bool Play(int32_t column, int32_t row, uint8_t side);
  // The value for colour of the candidate's game to the horizon, from -1 (lost) to 1 (won).
  double Rollout(uint8_t colour, int32_t column, int32_t row, int horizon);
  // A game still open at the horizon, for colour: the side to move's threats against the
  // other's, from the threat table, kept well inside (-1, 1).
  double Judge(uint8_t colour, uint8_t toMove) const;
};
