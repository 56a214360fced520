// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlphaBetaSearch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SearchKeys.h"
#include "ShortcutCheck.h"

namespace {

constexpr uint8_t NoMove = 255;
constexpr int Infinite = 1 << 30;
// A won game is worth Win less the plies to the five; anything above WonAbove is such a game.
constexpr int Win = 1 << 24;
constexpr int WonAbove = Win - 1000;
// An open four to be made, which the opponent cannot answer by a four of its own: as good as
// won where the four proves open, and the search below the horizon tells.
constexpr int OpenFourToMake = 1 << 16;

// A cell's level in one direction, as a threat: the design's weights in whole numbers.
constexpr int Weight[12] = {0, 1, 5, 8, 10, 6, 170, 255, 285, 290, 3000, 8000};
constexpr int ThreeLevel = 7;      // a stone here makes a live three, mostly
constexpr int FourLevel = 9;       // a stone here makes four
constexpr int OpenFourLevel = 10;  // a stone here makes four with both ends open, mostly

// Two threats at once, which one stone cannot both block.
constexpr int DoubleWeight = 2000;

// The side to move at the horizon gets to its threats first, worth this part of them more.
constexpr int Tempo = 16;
// How many of the strongest cells an inner node weighs.
constexpr int Breadth = 10;
// How many of its fours a position past the horizon tries.
constexpr int QuietFours = 6;

uint8_t CellOf(int32_t column, int32_t row) {
  return static_cast<uint8_t>((column - 1) * BoardSize + row - 1);
}
int32_t ColumnOf(uint8_t cell) {
  return cell / BoardSize + 1;
}
int32_t RowOf(uint8_t cell) {
  return cell % BoardSize + 1;
}

// One cell's four levels for a colour: their highest, their weighted sum, and whether they
// hold two threats.
struct TCellThreat {
  int Top = 0;
  int Sum = 0;
  bool Double = false;  // a stone here makes two threes or fours at once
};
TCellThreat ThreatOf(const TThreatTable& table, uint8_t colour, int32_t column, int32_t row) {
  TCellThreat threat;
  const int8_t* levels = table.Cell(colour, column, row);
  int strong = 0;
  for (int direction = 0; direction < 4; ++direction) {
    threat.Top = std::max<int>(threat.Top, levels[direction]);
    threat.Sum += Weight[levels[direction]];
    strong += levels[direction] >= ThreeLevel;
  }
  threat.Double = strong >= 2;
  if (threat.Double) threat.Sum += DoubleWeight;
  return threat;
}

// Keeps cell among the most strongest moves by score, strongest first.
void Keep(uint8_t* cells, int* scores, int& count, int most, uint8_t cell, int score) {
  int place;
  if (count < most) {
    place = count++;
  } else if (score > scores[most - 1]) {
    place = most - 1;
  } else {
    return;
  }
  while (place > 0 && scores[place - 1] < score) {
    cells[place] = cells[place - 1];
    scores[place] = scores[place - 1];
    --place;
  }
  cells[place] = cell;
  scores[place] = score;
}

}  // namespace

TAlphaBetaSearch::TAlphaBetaSearch(size_t tableBytes) : Table(tableBytes) {}

void TAlphaBetaSearch::Play(uint8_t cell, uint8_t side, int ply) {
  Saved[ply] = Position.Threat;
  Placed[ply] = cell;
  Position.PlaceStone(ColumnOf(cell), RowOf(cell), side);
  Key ^= StoneKey(side, cell);
}

// The table comes back whole from before the stone: a rescan taking it away could leave cells
// at the edge of its reach other than they were.
void TAlphaBetaSearch::TakeBack(uint8_t cell, int ply) {
  const int32_t column = ColumnOf(cell), row = RowOf(cell);
  Key ^= StoneKey(Position.Board[column][row], cell);
  Position.Board[column][row] = CellEmpty;
  Position.Threat = Saved[ply];
}

int TAlphaBetaSearch::FivesOfLastStone(int ply, uint8_t& five) const {
  constexpr int32_t Steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  const uint8_t stone = Placed[ply - 1];
  const int32_t column = ColumnOf(stone), row = RowOf(stone);
  const uint8_t colour = Position.Board[column][row];
  int fives = 0;
  for (const auto& step : Steps) {
    for (int32_t distance = -4; distance <= 4; ++distance) {
      const int32_t c = column + distance * step[0], r = row + distance * step[1];
      if (distance == 0 || c < 1 || c > BoardSize || r < 1 || r > BoardSize) continue;
      if (Position.Board[c][r] != CellEmpty) continue;
      if (ThreatOf(Position.Threat, colour, c, r).Top != FiveLevel) continue;
      ++fives;
      five = CellOf(c, r);
    }
  }
  return fives;
}

// Calls visit(cell, side's threat, the opponent's threat) for every empty intersection where
// either colour has a level.
template <class TVisit>
void TAlphaBetaSearch::ForEachThreat(uint8_t side, TVisit&& visit) const {
  const uint8_t other = Opponent(side);
  const TThreatTable& table = Position.Threat;
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      if (Position.Board[column][row] != CellEmpty) continue;
      if ((table.Word(side, column, row) | table.Word(other, column, row)) == 0) continue;
      visit(CellOf(column, row), ThreatOf(table, side, column, row),
            ThreatOf(table, other, column, row));
    }
  }
}

// The checking build counts the fives to make on the whole board: side must have none, and the
// opponent those along its last stone's lines.
void TAlphaBetaSearch::CheckFives(uint8_t side, int fives) const {
  int own = 0, theirs = 0;
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      if (Position.Board[column][row] != CellEmpty) continue;
      own += ThreatOf(Position.Threat, side, column, row).Top == FiveLevel;
      theirs += ThreatOf(Position.Threat, Opponent(side), column, row).Top == FiveLevel;
    }
  }
  if (own != 0 || theirs != fives) {
    std::fprintf(stderr, "alpha-beta search: %d and %d fives to make, %d along the last stone\n",
                 own, theirs, fives);
    std::abort();
  }
}

bool TAlphaBetaSearch::Decided(uint8_t side, int ply, bool atHorizon, TMoves& moves,
                               int& value) const {
  uint8_t five = NoMove;
  const int fives = FivesOfLastStone(ply, five);
  if constexpr (ShortcutCheck::Enabled) CheckFives(side, fives);
  if (fives >= 2) {  // one can be blocked, not both
    value = -(Win - ply - 1);
    return true;
  }
  if (fives == 1) {
    moves.Forced = true;
    moves.Cells[0] = five;
    moves.Count = 1;
    return false;
  }
  return atHorizon ? Judged(side, ply, moves, value) : Choices(side, moves, value);
}

bool TAlphaBetaSearch::Judged(uint8_t side, int ply, TMoves& moves, int& value) const {
  int ownOpenFours = 0, ownDoubles = 0, theirFours = 0, own = 0, theirs = 0;
  uint8_t fours[QuietFours];
  int scores[QuietFours], count = 0;
  ForEachThreat(side, [&](uint8_t cell, const TCellThreat& mine, const TCellThreat& their) {
    ownOpenFours += mine.Top == OpenFourLevel;
    ownDoubles += mine.Double;
    theirFours += their.Top >= FourLevel;
    own += mine.Sum;
    theirs += their.Sum;
    if (mine.Top >= FourLevel)
      Keep(fours, scores, count, QuietFours, cell, 11 * mine.Sum + 10 * their.Sum);
  });
  if (ownOpenFours > 0 && theirFours == 0) {
    value = OpenFourToMake - ply;
  } else if (ownDoubles > 0 && theirFours == 0) {
    value = OpenFourToMake / 2 - ply;  // one three blocked, the other becomes an open four
  } else {
    value = own + own / Tempo - theirs;
  }
  // Past the horizon only fours are tried, each answered by its one block: a win by fours
  // alone is seen however long, and otherwise the judgement stands.
  if (count == 0 || ply >= MaxPly) return true;
  std::memcpy(moves.Cells, fours, static_cast<size_t>(count));
  moves.Count = count;
  moves.StandPat = true;
  return false;
}

bool TAlphaBetaSearch::Choices(uint8_t side, TMoves& moves, int& value) const {
  int ownOpenFours = 0, theirOpenFours = 0;
  uint8_t cells[Breadth], answers[MaxCandidates];
  int scores[Breadth], answerScores[MaxCandidates];
  int count = 0, answerCount = 0;
  ForEachThreat(side, [&](uint8_t cell, const TCellThreat& mine, const TCellThreat& their) {
    ownOpenFours += mine.Top == OpenFourLevel;
    theirOpenFours += their.Top == OpenFourLevel;
    const int score = 11 * mine.Sum + 10 * their.Sum;
    Keep(cells, scores, count, Breadth, cell, score);
    // Against an open three, what can answer it: a stone on its line, or a four of one's own.
    if (mine.Top >= FourLevel || their.Top >= FourLevel)
      Keep(answers, answerScores, answerCount, MaxCandidates, cell, score);
  });
  if (theirOpenFours > 0 && ownOpenFours == 0) {
    std::memcpy(moves.Cells, answers, static_cast<size_t>(answerCount));
    moves.Count = answerCount;
  } else {
    std::memcpy(moves.Cells, cells, static_cast<size_t>(count));
    moves.Count = count;
  }
  if (moves.Count == 0) {
    value = 0;  // nothing left to play for: a draw
    return true;
  }
  return false;
}

bool TAlphaBetaSearch::MoveUp(TMoves& moves, uint8_t cell, int at) const {
  for (int index = at; index < moves.Count; ++index) {
    if (moves.Cells[index] != cell) continue;
    std::rotate(moves.Cells + at, moves.Cells + index, moves.Cells + index + 1);
    return true;
  }
  return false;
}

void TAlphaBetaSearch::Order(TMoves& moves, uint8_t tableMove, int ply) const {
  int at = MoveUp(moves, tableMove, 0) ? 1 : 0;
  for (const uint8_t killer : Killers[ply])
    if (killer != tableMove && MoveUp(moves, killer, at)) ++at;
}

int TAlphaBetaSearch::Negamax(uint8_t side, int depth, int alpha, int beta, int ply) {
  if (Budget.Spent(Searched)) return 0;
  ++Searched;
  const uint64_t key = Key ^ (side == CellWhite ? WhiteToMoveKey() : 0);
  uint8_t tableMove = NoMove;
  if (const TTranspositionTable::TEntry* entry = Table.Find(key)) {
    tableMove = entry->Move;
    if (entry->Depth >= depth) {
      int score = entry->Score;
      if (score > WonAbove) score -= ply;
      if (score < -WonAbove) score += ply;
      using TBound = TTranspositionTable::TBound;
      if (entry->Bound == TBound::Exact) return score;
      if (entry->Bound == TBound::Lower && score >= beta) return score;
      if (entry->Bound == TBound::Upper && score <= alpha) return score;
    }
  }
  TMoves moves;
  int value = 0;
  if (Decided(side, ply, depth <= 0 || ply >= MaxPly, moves, value)) return value;
  if (ply >= MaxPly) return 0;
  // A forced answer costs no depth, so a line of fours is followed to its end.
  const int next = moves.Forced || moves.StandPat ? depth : depth - 1;
  Order(moves, tableMove, ply);
  const int start = alpha;
  int best = -Infinite;
  if (moves.StandPat) {
    best = value;
    if (best >= beta) return best;
    alpha = std::max(alpha, best);
  }
  uint8_t bestMove = NoMove;
  const uint8_t other = Opponent(side);
  for (int index = 0; index < moves.Count; ++index) {
    const uint8_t cell = moves.Cells[index];
    Play(cell, side, ply);
    int score;
    if (index == 0) {
      score = -Negamax(other, next, -beta, -alpha, ply + 1);
    } else {
      score = -Negamax(other, next, -alpha - 1, -alpha, ply + 1);
      if (score > alpha && score < beta) score = -Negamax(other, next, -beta, -alpha, ply + 1);
    }
    TakeBack(cell, ply);
    if (Budget.Stopped()) return 0;
    if (score > best) {
      best = score;
      bestMove = cell;
    }
    alpha = std::max(alpha, score);
    if (alpha >= beta) {
      if (!moves.Forced && !moves.StandPat && Killers[ply][0] != cell) {
        Killers[ply][1] = Killers[ply][0];
        Killers[ply][0] = cell;
      }
      break;
    }
  }
  using TBound = TTranspositionTable::TBound;
  const TBound bound = best >= beta ? TBound::Lower : best > start ? TBound::Exact : TBound::Upper;
  int stored = best;
  if (stored > WonAbove) stored += ply;
  if (stored < -WonAbove) stored -= ply;
  Table.Store(key, stored, bestMove, depth, bound);
  return best;
}

int TAlphaBetaSearch::Think(const TGameBoard& engine, uint8_t colour,
                            const int32_t (*candidates)[2], int count, const TThinkLimits& limits,
                            TThinkReport& report) {
  std::memcpy(Position.Board, engine.Board, sizeof Position.Board);
  Position.Threat = engine.Threat;
  Position.SetReporter(nullptr);
  Key = 0;
  int empty = 0;
  bool quiet = true;
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      const uint8_t stone = Position.Board[column][row];
      const uint8_t cell = CellOf(column, row);
      if (stone == CellBlack || stone == CellWhite) Key ^= StoneKey(stone, cell);
      if (stone != CellEmpty) continue;
      ++empty;
      quiet = quiet && ThreatOf(Position.Threat, colour, column, row).Top != FiveLevel &&
              ThreatOf(Position.Threat, Opponent(colour), column, row).Top != FiveLevel;
    }
  }
  Budget.Start(limits);
  std::memset(Killers, NoMove, sizeof Killers);
  Searched = 0;
  Table.NextAge();
  report = TThinkReport{};

  // The candidates as cells, the last iteration's best first.
  uint8_t order[MaxCandidates];
  count = std::min(count, MaxCandidates);
  for (int index = 0; index < count; ++index) {
    order[index] = CellOf(candidates[index][0], candidates[index][1]);
    // A five among them ends the game here.
    if (ThreatOf(Position.Threat, colour, candidates[index][0], candidates[index][1]).Top ==
        FiveLevel) {
      report.Won = true;
      return index;
    }
  }
  // With a five to block, the design's move blocks it; the search begins where neither side
  // has one, so that every five to make below it is the last stone's.
  if (!quiet) return 0;
  int best = 0;
  const int longest = std::min(limits.Depth > 0 ? limits.Depth : MaxPly, std::min(empty, MaxPly));
  const uint8_t other = Opponent(colour);
  for (int depth = 1; depth <= longest; ++depth) {
    int alpha = -Infinite, chosen = -1;
    for (int index = 0; index < count; ++index) {
      Play(order[index], colour, 0);
      int score;
      if (chosen < 0) {
        score = -Negamax(other, depth - 1, -Infinite, -alpha, 1);
      } else {
        score = -Negamax(other, depth - 1, -alpha - 1, -alpha, 1);
        if (score > alpha) score = -Negamax(other, depth - 1, -Infinite, -alpha, 1);
      }
      TakeBack(order[index], 0);
      if (Budget.Stopped()) break;
      if (score > alpha) {
        alpha = score;
        chosen = index;
      }
    }
    // A move that beat the last iteration's best, searched in full, is better by this one.
    if (chosen >= 0) {
      std::rotate(order, order + chosen, order + chosen + 1);
      while (CellOf(candidates[best][0], candidates[best][1]) != order[0])
        best = (best + 1) % count;
    }
    if (Budget.Stopped()) break;
    report.Depth = depth;
    report.Won = alpha > WonAbove;
    if (alpha > WonAbove || alpha < -WonAbove) break;
    // The next iteration takes several times this one's time, so begun late it will not end;
    // but the moves it searches in full before the time is up still count, as the last
    // iteration's best goes first. Only in the last fifth is there too little time for that.
    if (Budget.PastPart(4, 5)) break;
  }
  report.Nodes = Searched;
  report.Stopped = Budget.Stopped();
  return best;
}
