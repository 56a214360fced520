// SPDX-License-Identifier: GPL-3.0-or-later
// What a match adds up to: each game cut down to what the totals need, the totals of both
// engines and of the game pairs, gathered in whatever order the games come (one run, or several
// runs' results merged), and the summary table printed from them.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "MatchStats.h"

namespace match {

enum class TGameEnd { Five, FullBoard, DrawAdjudicated, IllegalMove, Crash, Timeout, StartFailure };

// How a game ended, in words for the game lines, and as one word for the results file.
const char* GameEndName(TGameEnd end);
const char* GameEndKey(TGameEnd end);
bool GameEndOfKey(const std::string& key, TGameEnd& end);

// One engine's part of one game.
struct TEngineGame {
  int Moves = 0, Late = 0, Noise = 0;
  int64_t Microseconds = 0, MaxMicroseconds = 0;
};

// A game as the totals see it.
struct TGameSummary {
  int Index = 0;        // 0-based in the whole series; its pair is Index / 2
  int BlackEngine = 0;  // 0 for A, 1 for B
  int Winner = -1;      // -1 for a draw
  TGameEnd End = TGameEnd::FullBoard;
  TEngineGame Engines[2];
};

struct TEngineStats {
  int Wins = 0, Losses = 0, Draws = 0;
  int WinsAsBlack = 0, WinsAsWhite = 0;
  int Illegal = 0, Crashes = 0, Timeouts = 0, StartFailures = 0;
  int Late = 0;   // moves after the announced time but within the tolerance
  int Noise = 0;  // lines that were neither a move nor MESSAGE/DEBUG, read while waiting for one
  int64_t Moves = 0, TotalMicroseconds = 0, MaxMicroseconds = 0;
};

// The totals of the games added so far. A game pair counts once both its games are in.
class TTally {
 public:
  // false, counting nothing, when a game of that index is in already.
  bool Add(const TGameSummary& game);
  const TEngineStats& Stats(int engine) const { return Totals[engine]; }
  const TPairCounts& Pairs() const { return PairCounts; }
  int Games() const { return static_cast<int>(Counted.size()); }
  // Games whose pair's other game is not in.
  int Unpaired() const { return static_cast<int>(HalfPairs.size()); }

 private:
  TEngineStats Totals[2];
  TPairCounts PairCounts;
  std::set<int> Counted;
  std::map<int, int> HalfPairs;  // pair -> A's half points in its one game counted
};

// What the summary says beside the totals.
struct TSummaryNotes {
  int TimeoutMs = 0, ToleranceMs = 0;
  std::string Engines[2];  // command lines
  std::string Names[2];    // names and versions from ABOUT, or empty
  bool NeverStarted[2] = {false, false};
  const TSprt* Sprt = nullptr;  // none: no test
  int Decided = 0;              // the test's verdict: 1 for H1, -1 for H0, 0 while undecided
  int DecidedAfter = 0;         // games counted when it decided
};

void PrintSummary(std::ostream& out, const TTally& tally, const TSummaryNotes& notes);

}  // namespace match
