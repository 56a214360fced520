// SPDX-License-Identifier: GPL-3.0-or-later
#include "RolloutSearch.h"

#include <cmath>
#include <cstring>

#include "LevelPlay.h"
#include "SearchKeys.h"

namespace {

constexpr uint8_t NoMove = 255;

uint8_t CellOf(int32_t column, int32_t row) {
  return static_cast<uint8_t>((column - 1) * BoardSize + row - 1);
}

uint64_t StoneKey(uint8_t colour, int32_t column, int32_t row) {
  return ::StoneKey(colour, CellOf(column, row));
}

// The value of a game decided in plies: sooner wins and later losses are better.
double Decided(bool won, int plies) {
  return won ? 1 - plies * 0.001 : -1 + plies * 0.001;
}

// What a decided value is at least: a rollout that saw a five.
constexpr double DecidedAbove = 0.7;

// How far a verdict of the design's at the horizon moves the game's value for the side to move.
double VerdictValue(TVerdict verdict) {
  switch (verdict) {
    case TVerdict::Win:
      return 0.6;
    case TVerdict::Lost:
      return -0.6;
    case TVerdict::SetUp:
      return 0.2;
    case TVerdict::Defence:
      return -0.2;
    case TVerdict::None:
      break;
  }
  return 0;
}

// What a cell's level is worth to the static part of the judgement at the horizon.
constexpr double LeafWeight[12] = {0, 1, 3, 5, 7, 4, 30, 45, 60, 80, 400, 0};

}  // namespace

TRolloutSearch::TRolloutSearch(size_t tableBytes) : Table(tableBytes) {}

void TRolloutSearch::PolicyMove(uint8_t side, int32_t& column, int32_t& row) {
  const uint64_t key = Key ^ (side == CellWhite ? WhiteToMoveKey() : 0);
  if (const TTranspositionTable::TEntry* entry = Table.Find(key)) {
    column = entry->Move == NoMove ? 0 : entry->Move / BoardSize + 1;
    row = entry->Move == NoMove ? 0 : entry->Move % BoardSize + 1;
    return;
  }
  ++Played;
  column = row = 0;
  const TVerdict verdict = DesignMove(Position, side, DesignDepth, column, row);
  const bool legal = column > 0 && Position.Board[column][row] == CellEmpty;
  if (!legal) column = row = 0;
  Table.Store(key, static_cast<int32_t>(verdict), legal ? CellOf(column, row) : NoMove, 1,
              TTranspositionTable::TBound::Exact);
}

bool TRolloutSearch::Play(int32_t column, int32_t row, uint8_t side) {
  Position.PlaceStone(column, row, side);
  Key ^= StoneKey(side, column, row);
  const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& step : steps) {
    int run = 1;
    for (const int sign : {1, -1}) {
      int32_t c = column + sign * step[0], r = row + sign * step[1];
      while (Position.CellAt(c, r) == side) {
        ++run;
        c += sign * step[0];
        r += sign * step[1];
      }
    }
    if (run >= 5) return true;
  }
  return false;
}

double TRolloutSearch::Judge(uint8_t colour, uint8_t toMove) const {
  double own = 0, theirs = 0;
  const uint8_t other = Opponent(colour);
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      if (Position.Board[column][row] != CellEmpty) continue;
      for (int direction = 0; direction < 4; ++direction) {
        own += LeafWeight[Position.Threat.At(colour, column, row, direction)];
        theirs += LeafWeight[Position.Threat.At(other, column, row, direction)];
      }
    }
  }
  // The side to move gets to its threats first.
  (toMove == colour ? own : theirs) *= 1.25;
  double value = 0.3 * std::tanh((own - theirs) / 1000);
  const uint64_t key = Key ^ (toMove == CellWhite ? WhiteToMoveKey() : 0);
  if (const TTranspositionTable::TEntry* entry = Table.Find(key)) {
    const double verdict = VerdictValue(static_cast<TVerdict>(entry->Score));
    value += toMove == colour ? verdict : -verdict;
  }
  return value;
}

double TRolloutSearch::Rollout(uint8_t colour, int32_t column, int32_t row, int horizon) {
  std::memcpy(Position.Board, RootBoard, sizeof RootBoard);
  Position.Threat = RootThreat;
  Key = RootKey;
  if (Play(column, row, colour)) return Decided(true, 1);
  uint8_t side = Opponent(colour);
  for (int ply = 2; ply <= horizon; ++ply) {
    if (Budget.Spent(Played)) return 0;
    int32_t c = 0, r = 0;
    PolicyMove(side, c, r);
    if (c == 0) return 0;  // nothing left to play for: a draw
    if (Play(c, r, side)) return Decided(side == colour, ply);
    side = Opponent(side);
  }
  // The verdict of the side to move at the horizon, known once its move there is decided.
  if (!Budget.Spent(Played)) {
    int32_t c = 0, r = 0;
    PolicyMove(side, c, r);
  }
  return Judge(colour, side);
}

int TRolloutSearch::Think(const TGameBoard& engine, uint8_t colour, const int32_t (*candidates)[2],
                          int count, const TThinkLimits& limits, TThinkReport& report) {
  std::memcpy(RootBoard, engine.Board, sizeof RootBoard);
  RootThreat = engine.Threat;
  RootKey = 0;
  int empty = 0;
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      const uint8_t stone = RootBoard[column][row];
      if (stone == CellBlack || stone == CellWhite) RootKey ^= StoneKey(stone, column, row);
      empty += stone == CellEmpty;
    }
  }
  Budget.Start(limits);
  Played = 0;
  Position.SetReporter(nullptr);
  Position.UseHelpers = engine.UseHelpers;
  Position.UseFastSearch = engine.UseFastSearch;
  report = TThinkReport{};

  int best = 0;
  const int longest = limits.Depth > 0 ? std::min(limits.Depth, MaxHorizon) : MaxHorizon;
  double values[MaxCandidates];
  for (int horizon = 4;; horizon = std::min(2 * horizon, longest)) {
    for (int index = 0; index < count && !Budget.Stopped(); ++index)
      values[index] = Rollout(colour, candidates[index][0], candidates[index][1], horizon);
    if (Budget.Stopped()) break;
    best = 0;
    for (int index = 1; index < count; ++index)
      if (values[index] > values[best]) best = index;
    report.Depth = horizon;
    // A rollout is the same game whatever the horizon: a five seen stays seen, and past the
    // empty cells there is nothing more to see.
    if (values[best] > DecidedAbove || horizon >= empty || horizon >= longest) break;
  }
  report.Nodes = Played;
  report.Stopped = Budget.Stopped();
  return best;
}
