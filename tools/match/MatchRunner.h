// SPDX-License-Identifier: GPL-3.0-or-later
// The match runner behind lindora-match: two engine programs of the managers' line protocol play
// a series of 15 x 15 freestyle games, each from a seeded opening, with alternating colours.
// Only POSIX processes, pipes and poll; kept apart from main() so tests drive it in-process.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "EngineProcess.h"
#include "MatchClock.h"
#include "MatchSummary.h"

namespace match {

constexpr int BoardSize = 15;

// An intersection in protocol coordinates, x and y from 0 at the top-left corner.
struct TPoint {
  int X = 0;
  int Y = 0;
};

// One stone of a game record with the time its engine took; opening stones take none.
struct TMove {
  int X = 0;
  int Y = 0;
  int64_t Microseconds = 0;
  bool Late = false;  // answered after the announced time, within the tolerance
};

// The referee's board: 0 empty, 1 Black, 2 White.
class TMatchBoard {
 public:
  static constexpr uint8_t Empty = 0, Black = 1, White = 2;

  TMatchBoard() { Clear(); }
  void Clear();
  static bool OnBoard(int x, int y) { return x >= 0 && x < BoardSize && y >= 0 && y < BoardSize; }
  uint8_t At(int x, int y) const { return Cells[x][y]; }
  void Put(int x, int y, uint8_t side) { Cells[x][y] = side; }
  // true when the stone on (x, y) is part of five or more of its colour in a line.
  bool MakesFive(int x, int y) const;
  bool Full() const;
  int StoneCount() const;

 private:
  uint8_t Cells[BoardSize][BoardSize];
};

// count openings of stones stones each, alternately Black and White from Black, all within two
// lines of the centre and none on the same intersection. The same seed gives the same set.
std::vector<std::vector<TPoint>> MakeOpenings(uint64_t seed, int count, int stones);

// splitmix64: the same numbers from the same seed on every platform and library.
uint64_t NextRandom(uint64_t& state);

// A game as a Piskvork record: the header line, one "x,y,ms" line per stone with 1-based
// coordinates, then "-1".
std::string PsqRecord(const std::vector<TMove>& moves);

struct TMatchOptions {
  std::vector<std::string> Engines[2];  // argv of engine A and engine B
  int Games = 20;
  uint64_t Seed = 1;
  int TimeoutMs = 5000;        // announced as timeout_turn
  int ToleranceMs = 1000;      // enforced on top of the announced time
  int StartTimeoutMs = 30000;  // for OK to START and RESTART: set-up is not a move
  int MatchTimeMs = 0;         // each engine's clock for a game; 0 for none
  int IncrementMs = 0;         // added to the clock after every move
  int OpeningStones = 3;
  std::vector<std::vector<TPoint>> OpeningList;  // openings to play in turn instead of drawn ones
  // Stones on the board after which a game still open is drawn; 0 for never.
  int DrawAfter = 0;
  // Games played at once, each by its own pair of engine processes.
  int Concurrency = 1;
  // Stops the match once decided.
  TSprt Sprt;
  // The games of the series to play, 0-based, from FirstGame up to but not including LastGame
  // (0 for all Games): the same openings and colours as in the whole series.
  int FirstGame = 0;
  int LastGame = 0;
  std::string RecordFolder = "match-games";  // empty: no records
  std::string LogFolder;                     // empty: no transcripts of the games
  std::string ResultsFile;                   // empty: no results file
  bool Verbose = false;
};

// The games a match plays: FirstGame to LastGame of the series of Games.
int GamesToPlay(const TMatchOptions& options);

struct TGameResult {
  int BlackEngine = 0;  // 0 for A, 1 for B
  int Winner = -1;      // -1 for a draw
  TGameEnd End = TGameEnd::FullBoard;
  std::string Detail;     // what the loser did wrong, when it did
  int Noise[2] = {0, 0};  // lines of engine A and B that were neither a move nor MESSAGE/DEBUG
  std::vector<TMove> Moves;
  int OpeningLength = 0;
};

// The game of the series index as the totals see it.
TGameSummary Summarize(int index, const TGameResult& result);

class TMatch {
 public:
  explicit TMatch(TMatchOptions options);

  // Plays every game, writes its record and a line about it to log, then the summary; answers
  // false when a record could not be written.
  bool Run(std::ostream& log);

  const TEngineStats& Stats(int engine) const { return Tally.Stats(engine); }
  const TTally& Totals() const { return Tally; }
  // true when the engine never got through START in any game: the match says nothing of it.
  bool NeverStarted(int engine) const { return !Started[engine]; }
  // The engine's name and version as its ABOUT answer gives them, or empty.
  std::string Name(int engine);
  void PrintSummary(std::ostream& out);

 private:
  TMatchOptions Options;
  std::vector<std::vector<TPoint>> Openings;
  // A pair of engine processes that plays one game at a time; a match has one per game it plays
  // at once.
  struct TSeat {
    TEngineProcess Engines[2];
  };
  std::mutex AboutMutex;
  std::string About[2];  // name and version from the engine's answer to ABOUT
  int Decided = 0;       // the SPRT's verdict: 1 for H1, -1 for H0, 0 while undecided
  int DecidedAfter = 0;  // games reported when it decided
  std::atomic<bool> Started[2] = {false, false};  // whether the engine ever answered START OK
  TTally Tally;

  // Running, set up and with an empty board; otherwise how it failed and why. Lines it wrote
  // meanwhile that answer nothing are added to noise.
  bool Ready(TSeat& seat, int engine, TGameEnd& end, std::string& why, int& noise);
  // Sends command and waits until deadline (limitMs after the set-up began) for OK; otherwise
  // how it failed, with the answer.
  bool Expect(TSeat& seat, int engine, std::string_view command, TClock::time_point deadline,
              int limitMs, TGameEnd& end, std::string& why);
  // Asks the engine for its move: BEGIN or the whole position when it has not seen this game
  // yet, else TURN with the last move, always preceded by INFO time_left; the move is charged
  // to the clock. Sets end and detail when the answer is no legal move in time.
  bool AskMove(TSeat& seat, int engine, const TMatchBoard& board, const std::vector<TMove>& moves,
               bool synced, TMatchClock& clock, TMove& move, TGameEnd& end, std::string& detail,
               int& noise);
  // Plays game index (0-based) on the seat: opening index / 2, engine A Black in even games.
  TGameResult PlayGame(TSeat& seat, int index);
  // Writes the game's line to log, and its record, transcript and results line; false when a
  // file failed.
  bool Report(int index, const TGameResult& result, const std::string& transcript, bool files,
              std::ostream* results, std::ostream& log);
};

}  // namespace match
