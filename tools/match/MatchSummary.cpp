// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchSummary.h"

#include <iomanip>
#include <sstream>

namespace match {

namespace {

const struct {
  TGameEnd End;
  const char* Name;
  const char* Key;
} GameEnds[] = {{TGameEnd::Five, "five in a row", "five"},
                {TGameEnd::FullBoard, "full board", "full-board"},
                {TGameEnd::DrawAdjudicated, "drawn after the set number of moves", "draw-after"},
                {TGameEnd::IllegalMove, "illegal move", "illegal"},
                {TGameEnd::Crash, "crash", "crash"},
                {TGameEnd::Timeout, "timeout", "timeout"},
                {TGameEnd::StartFailure, "start failure", "start-failure"}};

std::string Milliseconds(int64_t microseconds, int decimals) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(decimals) << static_cast<double>(microseconds) / 1000.0;
  return out.str();
}

char EngineLetter(int engine) {
  return engine == 0 ? 'A' : 'B';
}

}  // namespace

const char* GameEndName(TGameEnd end) {
  for (const auto& entry : GameEnds)
    if (entry.End == end) return entry.Name;
  return "?";
}

const char* GameEndKey(TGameEnd end) {
  for (const auto& entry : GameEnds)
    if (entry.End == end) return entry.Key;
  return "?";
}

bool GameEndOfKey(const std::string& key, TGameEnd& end) {
  for (const auto& entry : GameEnds) {
    if (key == entry.Key) {
      end = entry.End;
      return true;
    }
  }
  return false;
}

bool TTally::Add(const TGameSummary& game) {
  if (!Counted.insert(game.Index).second) return false;
  const int halfPoints = game.Winner < 0 ? 1 : game.Winner == 0 ? 2 : 0;
  const auto half = HalfPairs.find(game.Index / 2);
  if (half == HalfPairs.end()) {
    HalfPairs.emplace(game.Index / 2, halfPoints);
  } else {
    PairCounts.Add(half->second + halfPoints);
    HalfPairs.erase(half);
  }
  for (int engine = 0; engine < 2; ++engine) {
    TEngineStats& stats = Totals[engine];
    const TEngineGame& own = game.Engines[engine];
    if (game.Winner < 0) {
      ++stats.Draws;
    } else if (game.Winner == engine) {
      ++stats.Wins;
      ++(engine == game.BlackEngine ? stats.WinsAsBlack : stats.WinsAsWhite);
    } else {
      ++stats.Losses;
      stats.Illegal += game.End == TGameEnd::IllegalMove;
      stats.Crashes += game.End == TGameEnd::Crash;
      stats.Timeouts += game.End == TGameEnd::Timeout;
      stats.StartFailures += game.End == TGameEnd::StartFailure;
    }
    stats.Noise += own.Noise;
    stats.Moves += own.Moves;
    stats.Late += own.Late;
    stats.TotalMicroseconds += own.Microseconds;
    if (own.MaxMicroseconds > stats.MaxMicroseconds) stats.MaxMicroseconds = own.MaxMicroseconds;
  }
  return true;
}

void PrintSummary(std::ostream& out, const TTally& tally, const TSummaryNotes& notes) {
  out << "\nengine  wins  losses  draws  as Black  as White  illegal  crashes  timeouts"
         "  start fails  moves  late     noise   avg ms   max ms\n";
  for (int engine = 0; engine < 2; ++engine) {
    const TEngineStats& stats = tally.Stats(engine);
    const int64_t average = stats.Moves > 0 ? stats.TotalMicroseconds / stats.Moves : 0;
    out << "     " << EngineLetter(engine) << std::setw(6) << stats.Wins << std::setw(8)
        << stats.Losses << std::setw(7) << stats.Draws << std::setw(10) << stats.WinsAsBlack
        << std::setw(10) << stats.WinsAsWhite << std::setw(9) << stats.Illegal << std::setw(9)
        << stats.Crashes << std::setw(10) << stats.Timeouts << std::setw(13) << stats.StartFailures
        << std::setw(7) << stats.Moves << std::setw(6) << stats.Late << std::setw(10) << stats.Noise
        << std::setw(9) << Milliseconds(average, 2) << std::setw(9)
        << Milliseconds(stats.MaxMicroseconds, 1) << "\n";
  }
  const TEngineStats& a = tally.Stats(0);
  const TEngineStats& b = tally.Stats(1);
  out << tally.Games() << " games: Black won " << a.WinsAsBlack + b.WinsAsBlack << ", White won "
      << a.WinsAsWhite + b.WinsAsWhite << ", drawn " << a.Draws << "\n";
  const TPairCounts& pairs = tally.Pairs();
  out << pairs.Pairs() << " game pairs by A's points (0, 0.5, 1, 1.5, 2):";
  for (const int64_t count : pairs.Counts)
    out << " " << count;
  if (tally.Unpaired() > 0)
    out << "; " << tally.Unpaired() << (tally.Unpaired() == 1 ? " game" : " games")
        << " without its pair not counted";
  out << "\n";
  const TEloInterval elo = PairElo(pairs);
  out << "A over B from the pairs: " << DescribeElo(elo);
  if (elo.Pairs > 0)
    out << std::fixed << std::setprecision(1)
        << ", likelihood of superiority of A: " << 100 * elo.Superiority << " %";
  out << "\n";
  if (notes.Sprt != nullptr) {
    const TSprt& sprt = *notes.Sprt;
    out << std::fixed << std::setprecision(2) << "SPRT elo0 " << sprt.Elo0 << ", elo1 " << sprt.Elo1
        << ", alpha " << sprt.Alpha << ", beta " << sprt.Beta << ": LLR " << sprt.Llr(pairs)
        << " in [" << sprt.LowerBound() << ", " << sprt.UpperBound() << "] from " << pairs.Pairs()
        << " pairs: ";
    if (notes.Decided == 0)
      out << "undecided\n";
    else
      out << (notes.Decided > 0 ? "H1 accepted, A is stronger by elo1 or more"
                                : "H0 accepted, A is not stronger by more than elo0")
          << " after " << notes.DecidedAfter << " games\n";
  }
  out << "late: answers after the announced " << notes.TimeoutMs
      << " ms (or the time left) but within the " << notes.ToleranceMs << " ms tolerance\n";
  out << "noise: lines read while waiting for a move that were neither a move nor MESSAGE or "
         "DEBUG (--verbose shows them)\n";
  for (int engine = 0; engine < 2; ++engine) {
    out << EngineLetter(engine) << ": " << notes.Engines[engine];
    if (!notes.Names[engine].empty()) out << " (" << notes.Names[engine] << ")";
    out << "\n";
  }
  for (int engine = 0; engine < 2; ++engine) {
    if (notes.NeverStarted[engine])
      out << EngineLetter(engine) << " never got through START: the match says nothing of it\n";
  }
}

}  // namespace match
