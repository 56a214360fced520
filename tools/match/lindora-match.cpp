// SPDX-License-Identifier: GPL-3.0-or-later
// lindora-match: plays a series of 15 x 15 freestyle games between two engine programs of the
// managers' line protocol, prints each result and the totals, and keeps every game as a
// Piskvork .psq record.
#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "MatchResults.h"
#include "MatchRunner.h"
#include "OpeningFile.h"

namespace {

constexpr const char* Usage =
    "usage: lindora-match [options] ENGINE_A ENGINE_B\n"
    "       lindora-match --merge [--sprt ...] RESULTS...\n"
    "Plays a series of 15 x 15 freestyle games between two engine programs of the Gomoku\n"
    "managers' line protocol and prints each result and the totals.\n"
    "  ENGINE_A, ENGINE_B   engine programs; arguments may follow the program, blank-separated\n"
    "  --games N            games to play (default 20); colours alternate, each opening twice\n"
    "  --seed S             seed of the openings (default 1)\n"
    "  --timeout MS         time per move announced as timeout_turn (default 5000)\n"
    "  --tolerance MS       grace after the announced time before a move is a timeout\n"
    "                       (default 1000); later answers within it are counted as late\n"
    "  --start-timeout MS   time to answer START or RESTART with OK (default 30000)\n"
    "  --time-match MS      each engine's clock for a whole game, announced as timeout_match\n"
    "                       and as time_left before every move (default none)\n"
    "  --time-increment MS  added to the clock after every move (default 0)\n"
    "  --opening-stones K   stones of each opening, 0 to 8 (default 3); 0 opens with BEGIN\n"
    "  --draw-after N       a game still open after N stones on the board is a draw\n"
    "  --sprt elo0=E0,elo1=E1,alpha=A,beta=B\n"
    "                       stop once a sequential probability ratio test decides whether\n"
    "                       A is stronger than B by E1 Elo (H1) or by no more than E0 (H0);\n"
    "                       alpha and beta default to 0.05\n"
    "  --concurrency N      games played at once, each by its own engine processes\n"
    "                       (default 1); the results are reported in game order\n"
    "  --openings FILE      openings to play, one a line: offsets from the centre\n"
    "                       (0,0, 1,-1, -1,1) or board notation (h8i9i7); each twice\n"
    "  --openings-order O   sequential (the default) or random (shuffled from the seed)\n"
    "  --game-range F-L     play only games F to L of the series (the same openings and\n"
    "                       colours as in the whole run), to merge with the others later\n"
    "  --records DIR        folder for the game records (default match-games)\n"
    "  --no-records         keep no records\n"
    "  --results FILE       one JSON line per game (default DIR/results-F-L.jsonl with the\n"
    "                       records)\n"
    "  --log DIR            write every line sent and received, time-stamped, to\n"
    "                       DIR/game-NNN.log, with the game's verdict last\n"
    "  --verbose            show the engines' MESSAGE and DEBUG lines on standard error\n"
    "  --merge RESULTS...   total the results files of runs of one series into one table\n"
    "  --help               show this help and leave\n"
    "  --version            show the version and leave\n";

bool ParseWhole(const char* text, long long low, long long high, long long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

// "elo0=0,elo1=5,alpha=0.05,beta=0.05": elo0 and elo1 given, elo0 below elo1, the error rates
// between 0 and 0.5.
bool ParseSprt(const std::string& text, match::TSprt& sprt) {
  bool given[2] = {false, false};
  std::istringstream in(text);
  for (std::string pair; std::getline(in, pair, ',');) {
    const size_t equals = pair.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = pair.substr(0, equals), number = pair.substr(equals + 1);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (number.empty() || *end != '\0' || !std::isfinite(value)) return false;
    if (key == "elo0")
      sprt.Elo0 = value, given[0] = true;
    else if (key == "elo1")
      sprt.Elo1 = value, given[1] = true;
    else if (key == "alpha")
      sprt.Alpha = value;
    else if (key == "beta")
      sprt.Beta = value;
    else
      return false;
  }
  sprt.Enabled = given[0] && given[1] && sprt.Elo0 < sprt.Elo1 && sprt.Alpha > 0 &&
                 sprt.Alpha < 0.5 && sprt.Beta > 0 && sprt.Beta < 0.5;
  return sprt.Enabled;
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string word; in >> word;)
    words.push_back(word);
  return words;
}

int Refuse(const std::string& reason) {
  std::cerr << "lindora-match: " << reason << "\n" << Usage;
  return 2;
}

// "F-L" with 1 <= F <= L, both whole numbers.
bool ParseRange(const std::string& text, int& first, int& last) {
  const size_t dash = text.find('-');
  long long low = 0, high = 0;
  return dash != std::string::npos && ParseWhole(text.substr(0, dash).c_str(), 1, 100000, low) &&
         ParseWhole(text.substr(dash + 1).c_str(), low, 100000, high) &&
         (first = static_cast<int>(low), last = static_cast<int>(high), true);
}

// --merge: the runs' results files totalled into one summary; nothing is played.
int Merge(const std::vector<std::string>& files, const match::TSprt& sprt) {
  if (files.empty()) return Refuse("--merge needs results files");
  match::TMergedRuns merged;
  for (const std::string& name : files) {
    std::ifstream file(name, std::ios::binary);
    std::string error;
    if (!file) return Refuse("cannot read " + name);
    if (!match::MergeResults(file, name, merged, error)) return Refuse(error);
  }
  std::cout << "lindora-match: " << merged.Tally.Games() << " games from " << merged.Runs
            << (merged.Runs == 1 ? " run" : " runs") << "\n";
  if (sprt.Enabled) {
    merged.Notes.Sprt = &sprt;
    merged.Notes.Decided = sprt.Verdict(merged.Tally.Pairs());
    merged.Notes.DecidedAfter = merged.Tally.Games();
  }
  match::PrintSummary(std::cout, merged.Tally, merged.Notes);
  return 0;
}

}  // namespace

// The runner's own end takes the engines with it: they run in process groups of their own.
extern "C" void EndWithTheEngines(int signalNumber) {
  match::KillEveryEngine();
  signal(signalNumber, SIG_DFL);
  raise(signalNumber);
}

int main(int argc, char** argv) {
  // A dead engine must show up as a failed write, not end the runner.
  signal(SIGPIPE, SIG_IGN);
  for (const int ending : {SIGINT, SIGTERM, SIGHUP})
    signal(ending, EndWithTheEngines);
  match::TMatchOptions options;
  std::vector<std::string> engines;
  std::string openingFile;
  bool randomOrder = false;
  bool merge = false, records = true;
  int firstGame = 0, lastGame = 0;  // 1-based; 0: the whole series
  for (int index = 1; index < argc; ++index) {
    const std::string arg = argv[index];
    const bool hasValue = index + 1 < argc;
    long long value = 0;
    if (arg == "--help" || arg == "-h") {
      std::cout << Usage;
      return 0;
    } else if (arg == "--version") {
      std::cout << "lindora-match " << LINDORA_VERSION << "\n";
      return 0;
    } else if (arg == "--games") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 100000, value))
        return Refuse("--games needs a number from 1 to 100000");
      options.Games = static_cast<int>(value);
    } else if (arg == "--seed") {
      if (!hasValue || !ParseWhole(argv[++index], 0, INT64_MAX, value))
        return Refuse("--seed needs a whole number from 0 up");
      options.Seed = static_cast<uint64_t>(value);
    } else if (arg == "--timeout") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 3600000, value))
        return Refuse("--timeout needs milliseconds from 1 to 3600000");
      options.TimeoutMs = static_cast<int>(value);
    } else if (arg == "--tolerance") {
      if (!hasValue || !ParseWhole(argv[++index], 0, 3600000, value))
        return Refuse("--tolerance needs milliseconds from 0 to 3600000");
      options.ToleranceMs = static_cast<int>(value);
    } else if (arg == "--start-timeout") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 3600000, value))
        return Refuse("--start-timeout needs milliseconds from 1 to 3600000");
      options.StartTimeoutMs = static_cast<int>(value);
    } else if (arg == "--time-match") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 86400000, value))
        return Refuse("--time-match needs milliseconds from 1 to 86400000");
      options.MatchTimeMs = static_cast<int>(value);
    } else if (arg == "--time-increment") {
      if (!hasValue || !ParseWhole(argv[++index], 0, 3600000, value))
        return Refuse("--time-increment needs milliseconds from 0 to 3600000");
      options.IncrementMs = static_cast<int>(value);
    } else if (arg == "--opening-stones") {
      if (!hasValue || !ParseWhole(argv[++index], 0, 8, value))
        return Refuse("--opening-stones needs a number from 0 to 8");
      options.OpeningStones = static_cast<int>(value);
    } else if (arg == "--records") {
      if (!hasValue || argv[index + 1][0] == '\0') return Refuse("--records needs a folder");
      options.RecordFolder = argv[++index];
    } else if (arg == "--openings") {
      if (!hasValue || argv[index + 1][0] == '\0') return Refuse("--openings needs a file");
      openingFile = argv[++index];
    } else if (arg == "--openings-order") {
      const std::string order = hasValue ? argv[++index] : "";
      if (order != "random" && order != "sequential")
        return Refuse("--openings-order needs random or sequential");
      randomOrder = order == "random";
    } else if (arg == "--sprt") {
      if (!hasValue || !ParseSprt(argv[++index], options.Sprt))
        return Refuse(
            "--sprt needs elo0=E0,elo1=E1 with E0 < E1, and alpha and beta from 0 to 0.5");
    } else if (arg == "--concurrency") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 64, value))
        return Refuse("--concurrency needs a number of games from 1 to 64");
      options.Concurrency = static_cast<int>(value);
    } else if (arg == "--draw-after") {
      if (!hasValue || !ParseWhole(argv[++index], 1, 225, value))
        return Refuse("--draw-after needs a number of stones from 1 to 225");
      options.DrawAfter = static_cast<int>(value);
    } else if (arg == "--log") {
      if (!hasValue || argv[index + 1][0] == '\0') return Refuse("--log needs a folder");
      options.LogFolder = argv[++index];
    } else if (arg == "--no-records") {
      records = false;
    } else if (arg == "--game-range") {
      if (!hasValue || !ParseRange(argv[++index], firstGame, lastGame))
        return Refuse("--game-range needs FIRST-LAST, game numbers from 1 with FIRST <= LAST");
    } else if (arg == "--results") {
      if (!hasValue || argv[index + 1][0] == '\0') return Refuse("--results needs a file");
      options.ResultsFile = argv[++index];
    } else if (arg == "--merge") {
      merge = true;
    } else if (arg == "--verbose") {
      options.Verbose = true;
    } else if (arg.rfind("--", 0) == 0) {
      return Refuse("unknown option " + arg);
    } else {
      engines.push_back(arg);
    }
  }
  if (merge) return Merge(engines, options.Sprt);
  if (engines.size() != 2) return Refuse("give exactly two engine programs");
  if (!openingFile.empty()) {
    std::ifstream file(openingFile);
    std::string error;
    if (!file) return Refuse("cannot read " + openingFile);
    if (!match::ReadOpenings(file, options.OpeningList, error))
      return Refuse(openingFile + ": " + error);
    match::OrderOpenings(options.OpeningList, randomOrder, options.Seed);
  }
  if (options.IncrementMs > 0 && options.MatchTimeMs == 0)
    return Refuse("--time-increment needs --time-match");
  // Settings under which no game could be played are refused before any engine starts.
  size_t openingStones = static_cast<size_t>(options.OpeningStones);
  for (const auto& opening : options.OpeningList)
    openingStones = std::max(openingStones, opening.size());
  if (options.DrawAfter > 0 && static_cast<size_t>(options.DrawAfter) <= openingStones)
    return Refuse("--draw-after " + std::to_string(options.DrawAfter) +
                  " would draw games before a move: the openings have up to " +
                  std::to_string(openingStones) + " stones");
  if (lastGame > options.Games)
    return Refuse("--game-range " + std::to_string(firstGame) + "-" + std::to_string(lastGame) +
                  " goes past the " + std::to_string(options.Games) + " games of the series");
  if (lastGame > 0) {
    options.FirstGame = firstGame - 1;
    options.LastGame = lastGame;
  }
  if (!records) {
    options.RecordFolder.clear();
  } else if (options.ResultsFile.empty()) {
    char name[48];
    std::snprintf(name, sizeof name, "results-%03d-%03d.jsonl", options.FirstGame + 1,
                  lastGame > 0 ? lastGame : options.Games);
    options.ResultsFile = options.RecordFolder + "/" + name;
  }
  for (int engine = 0; engine < 2; ++engine) {
    options.Engines[engine] = Words(engines[engine]);
    if (options.Engines[engine].empty()) return Refuse("an engine program is blank");
  }
  std::cout << "lindora-match: ";
  if (lastGame > 0)
    std::cout << "games " << firstGame << " to " << lastGame << " of " << options.Games;
  else
    std::cout << options.Games << " games";
  std::cout << ", seed " << options.Seed << ", ";
  if (openingFile.empty())
    std::cout << options.OpeningStones << " opening stones, ";
  else
    std::cout << options.OpeningList.size() << " openings from " << openingFile << ", ";
  std::cout << options.TimeoutMs << " ms a move announced, " << options.ToleranceMs
            << " ms tolerance";
  if (options.MatchTimeMs > 0)
    std::cout << ", " << options.MatchTimeMs << " ms a game + " << options.IncrementMs
              << " ms a move";
  std::cout << "\n";
  match::TMatch match(options);
  const bool recorded = match.Run(std::cout);
  if (match.NeverStarted(0) || match.NeverStarted(1)) return 3;
  return recorded ? 0 : 1;
}
