// SPDX-License-Identifier: GPL-3.0-or-later
// The search behind Expert: alpha-beta over the threat table's moves, deepened by iterations,
// with a transposition table made once. Unlike a rollout, whose foresight holds only against an
// opponent who plays as the design does, its value holds against every reply it weighs: each
// side gets the threat table's strongest cells, and where the opponent threatens a five or an
// open four only the cells that answer it are weighed, so a forced line is seen to its end.
// At the horizon the position is judged by the threats the table gives both sides.
#pragma once

#include <cstdint>

#include "GameBoard.h"
#include "Levels.h"
#include "SearchBudget.h"
#include "TranspositionTable.h"

class TAlphaBetaSearch {
 public:
  static constexpr int MaxCandidates = 24;
  // Plies from the root at most, forced answers included.
  static constexpr int MaxPly = 40;

  explicit TAlphaBetaSearch(size_t tableBytes);

  // Chooses among the candidates (column, row pairs, the first the design's own move) for
  // colour on engine's position within limits; answers the index of the best, which is 0 when
  // no iteration finished. report gets the depth reached and the positions searched.
  int Think(const TGameBoard& engine, uint8_t colour, const int32_t (*candidates)[2], int count,
            const TThinkLimits& limits, TThinkReport& report);
  void ClearTable() { Table.Clear(); }

 private:
  // The moves weighed at one node, strongest first.
  struct TMoves {
    uint8_t Cells[MaxCandidates];
    int Count = 0;
    bool Forced = false;    // the one block of the opponent's five
    bool StandPat = false;  // past the horizon: fours only, or the judgement given
  };

  TGameBoard Position;
  TTranspositionTable Table;
  TThreatTable Saved[MaxPly + 1];
  uint8_t Placed[MaxPly + 1];  // the stone played at each ply
  // The last two moves that cut a search short at each ply, tried early at its siblings.
  uint8_t Killers[MaxPly + 1][2];
  uint64_t Key = 0;
  uint64_t Searched = 0;
  TSearchBudget Budget;

  void Play(uint8_t cell, uint8_t side, int ply);
  void TakeBack(uint8_t cell, int ply);
  // The value for side of the position with depth plies left, searched within (alpha, beta).
  int Negamax(uint8_t side, int depth, int alpha, int beta, int ply);
  // Fills moves for side, or answers a value when the position is decided without a search.
  // The search begins where neither side has a five to make, and each node blocks the
  // opponent's one or ends the line, so the only fives to make are the last stone's.
  bool Decided(uint8_t side, int ply, bool atHorizon, TMoves& moves, int& value) const;
  // The fives to make that the stone played at ply - 1 gives its side: counted, and one of them.
  int FivesOfLastStone(int ply, uint8_t& five) const;
  void CheckFives(uint8_t side, int fives) const;
  template <class TVisit>
  void ForEachThreat(uint8_t side, TVisit&& visit) const;
  // Past the horizon: the judgement of the threats, and side's fours to try against it.
  bool Judged(uint8_t side, int ply, TMoves& moves, int& value) const;
  // Before it: side's strongest cells, or only those that answer the opponent's open four.
  bool Choices(uint8_t side, TMoves& moves, int& value) const;
  // Moves cell, if among moves, to the place at; answers whether it was there.
  bool MoveUp(TMoves& moves, uint8_t cell, int at) const;
  void Order(TMoves& moves, uint8_t tableMove, int ply) const;
};
