// SPDX-License-Identifier: GPL-3.0-or-later
// The match runner: the referee's five, the seeded openings, the records, engines that crash,
// hang, cheat or cannot start, each losing its game while the match goes on, and the clocks:
// announced time, tolerance, set-up before timing and the match clock.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "MatchResults.h"
#include "MatchRunner.h"
#include "OpeningFile.h"

namespace {

using namespace match;
namespace fs = std::filesystem;

// The engine at the design's level, whose games repeat move for move.
const std::vector<std::string> DesignEngine = {PBRAIN_PROGRAM, "--level", "normal"};

// A fresh folder of its own for one test.
fs::path ScratchFolder(const std::string& name) {
  const fs::path folder =
      fs::temp_directory_path() / ("lindora-match-" + name + "-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// A little engine as a shell script: answers START and RESTART with OK and every move request
// (BEGIN, DONE, TURN) with the given shell commands.
std::string ScriptEngine(const fs::path& folder, const std::string& name, const std::string& move) {
  const fs::path path = folder / name;
  std::ofstream script(path);
  script << "#!/bin/sh\n"
            "while read -r line; do\n"
            "  case \"$line\" in\n"
            "    START*|RESTART*) echo OK ;;\n"
            "    ABOUT*) echo 'name=\"scripted\"' ;;\n"
            "    BEGIN*|DONE*|TURN*) "
         << move
         << " ;;\n"
            "    END*) exit 0 ;;\n"
            "  esac\n"
            "done\n";
  script.close();
  chmod(path.c_str(), 0755);
  return path.string();
}

// A scripted player that answers every move request after sleeping Delay seconds with the first
// cell of Cells ("x,y" words) that no stone holds; it learns the stones from TURN and BOARD.
// Start is the shell command answering START, Info the one answering INFO, Before one run before
// each move; Log, when given, receives every line it reads.
struct TPlayer {
  std::string Cells;
  std::string Delay = "0";
  std::string Start = "echo OK";
  std::string Log;
  std::string Info = ":";
  std::string Before = ":";
  std::string Restart = "echo OK";
  std::string About = "echo 'name=\"scripted\", version=\"1\"'";
  bool DropAfterMove = false;  // drops the line that comes next after each move, unread
};

TPlayer Player(const std::string& cells, const std::string& delay = "0") {
  TPlayer player;
  player.Cells = cells;
  player.Delay = delay;
  return player;
}

std::string PlayerScript(const fs::path& folder, const std::string& name, const TPlayer& player) {
  const fs::path path = folder / name;
  std::ofstream script(path);
  script << "#!/bin/sh\n"
            "seen=' '\n"
            "move() {\n"
            "  sleep "
         << player.Delay << "\n  " << player.Before
         << "\n"
            "  for cell in "
         << player.Cells
         << "; do\n"
            "    case \"$seen\" in *\" $cell \"*) ;; *) seen=\"$seen$cell \"; echo $cell; return "
            ";; esac\n"
            "  done\n"
            "  echo none\n"
            "}\n"
            "drop=\n"
            "while read -r line; do\n";
  if (!player.Log.empty()) script << "  echo \"$line\" >> '" << player.Log << "'\n";
  const std::string drop = player.DropAfterMove ? "; drop=1" : "";
  // An engine still finishing its last answer when the next move request comes, and losing
  // that request's first line.
  if (player.DropAfterMove) script << "  case \"$line\" in INFO*|TURN*) ;; *) drop= ;; esac\n";
  script << "  if [ -n \"$drop\" ]; then drop=; continue; fi\n";
  script << "  case \"$line\" in\n"
            "    START*) "
         << player.Start
         << " ;;\n"
            "    RESTART*) seen=' '; "
         << player.Restart
         << " ;;\n"
            "    INFO*) "
         << player.Info
         << " ;;\n"
            "    ABOUT*) "
         << player.About
         << " ;;\n"
            "    BOARD*) seen=' ' ;;\n"
            "    [0-9]*,[0-9]*,[0-9]*) seen=\"$seen${line%,*} \" ;;\n"
            "    TURN*) seen=\"$seen${line#TURN } \"; move"
         << drop
         << " ;;\n"
            "    BEGIN*|DONE*) move"
         << drop
         << " ;;\n"
            "    END*) exit 0 ;;\n"
            "  esac\n"
            "done\n";
  script.close();
  chmod(path.c_str(), 0755);
  return path.string();
}

// Down the middle column: five in a row within five moves, away from the filler's corner.
const std::string RusherCells = "7,5 7,6 7,7 7,8 7,9 7,10 7,11";
// Every other cell of the top rows: no two stones touch, so never five, and never in the
// rusher's way.
std::string FillerCells() {
  std::string cells;
  for (int y = 0; y < 4; y += 2)
    for (int x = 0; x < 15; x += 2)
      cells += std::to_string(x) + "," + std::to_string(y) + " ";
  return cells;
}

// Two games without opening stones between A and B; the log of the match in log.
TMatchOptions ClockOptions(const std::string& a, const std::string& b) {
  TMatchOptions options;
  options.Engines[0] = {a};
  options.Engines[1] = {b};
  options.Games = 2;
  options.OpeningStones = 0;
  options.TimeoutMs = 200;
  options.ToleranceMs = 500;
  options.RecordFolder.clear();
  return options;
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);)
    lines.push_back(line);
  return lines;
}

TEST(MatchBoard, FiveOrMoreInAnyDirection) {
  const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& step : steps) {
    TMatchBoard board;
    // Four White stones from (5, 7) along the direction, then the fifth in the middle of the
    // line's far end: only the stone that completes five answers true.
    for (int k = 0; k < 4; ++k)
      board.Put(5 + k * step[0], 7 + k * step[1], TMatchBoard::White);
    EXPECT_FALSE(board.MakesFive(5, 7));
    board.Put(5 + 4 * step[0], 7 + 4 * step[1], TMatchBoard::Black);
    EXPECT_FALSE(board.MakesFive(5 + 4 * step[0], 7 + 4 * step[1])) << "another colour blocks";
    board.Put(5 - step[0], 7 - step[1], TMatchBoard::White);
    EXPECT_TRUE(board.MakesFive(5 - step[0], 7 - step[1]));
    EXPECT_TRUE(board.MakesFive(5 + 2 * step[0], 7 + 2 * step[1]));
  }
  // Six in a row also wins (freestyle); a gap does not.
  TMatchBoard board;
  for (int x : {0, 1, 2, 4, 5, 6})
    board.Put(x, 14, TMatchBoard::Black);
  EXPECT_FALSE(board.MakesFive(2, 14));
  board.Put(3, 14, TMatchBoard::Black);
  EXPECT_TRUE(board.MakesFive(3, 14));
  EXPECT_TRUE(board.MakesFive(0, 14));
  EXPECT_FALSE(board.MakesFive(7, 14)) << "an empty intersection makes nothing";
  EXPECT_FALSE(TMatchBoard::OnBoard(15, 0));
  EXPECT_FALSE(TMatchBoard::OnBoard(0, -1));
  EXPECT_EQ(board.StoneCount(), 7);
  EXPECT_FALSE(board.Full());
}

TEST(MatchOpenings, SeededDistinctAndNearTheCentre) {
  const auto openings = MakeOpenings(7, 50, 5);
  ASSERT_EQ(openings.size(), 50u);
  std::set<std::vector<std::pair<int, int>>> different;
  for (const auto& opening : openings) {
    ASSERT_EQ(opening.size(), 5u);
    std::set<std::pair<int, int>> cells;
    std::vector<std::pair<int, int>> key;
    for (const TPoint& point : opening) {
      EXPECT_GE(point.X, 5);
      EXPECT_LE(point.X, 9);
      EXPECT_GE(point.Y, 5);
      EXPECT_LE(point.Y, 9);
      cells.insert({point.X, point.Y});
      key.push_back({point.X, point.Y});
    }
    EXPECT_EQ(cells.size(), 5u) << "no intersection twice";
    different.insert(key);
  }
  EXPECT_GT(different.size(), 40u);
  const auto again = MakeOpenings(7, 50, 5);
  const auto other = MakeOpenings(8, 50, 5);
  bool same = true, differs = false;
  for (size_t index = 0; index < openings.size(); ++index) {
    for (size_t stone = 0; stone < 5; ++stone) {
      same = same && again[index][stone].X == openings[index][stone].X &&
             again[index][stone].Y == openings[index][stone].Y;
      differs = differs || other[index][stone].X != openings[index][stone].X ||
                other[index][stone].Y != openings[index][stone].Y;
    }
  }
  EXPECT_TRUE(same);
  EXPECT_TRUE(differs);
  // Nine stones in a 5 x 5 square could hold a five: such openings are never handed out.
  for (const auto& opening : MakeOpenings(3, 200, 9)) {
    TMatchBoard board;
    for (size_t stone = 0; stone < opening.size(); ++stone) {
      board.Put(opening[stone].X, opening[stone].Y,
                stone % 2 == 0 ? TMatchBoard::Black : TMatchBoard::White);
      ASSERT_FALSE(board.MakesFive(opening[stone].X, opening[stone].Y));
    }
  }
  EXPECT_TRUE(MakeOpenings(1, 3, 0)[2].empty());
}

TEST(MatchRecord, PiskvorkLayoutWithOneBasedCoordinates) {
  EXPECT_EQ(PsqRecord({{7, 7, 0}, {0, 14, 1499}, {14, 0, 1500}}),
            "Piskvorky 15x15, 0:0, 0\n8,8,0\n1,15,1\n15,1,2\n-1\n");
  EXPECT_EQ(PsqRecord({}), "Piskvorky 15x15, 0:0, 0\n-1\n");
}

TEST(Match, SelfPlayOfTheEngineKeepsEveryGame) {
  const fs::path folder = ScratchFolder("self");
  TMatchOptions options;
  options.Engines[0] = DesignEngine;
  options.Engines[1] = DesignEngine;
  options.Games = 2;
  options.Seed = 11;
  // Generous: the test is about the games, not the speed, and may run in a slow build.
  options.TimeoutMs = 120000;
  options.RecordFolder = (folder / "games").string();
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log)) << log.str();
  std::vector<std::vector<std::string>> records;
  for (int engine = 0; engine < 2; ++engine) {
    const TEngineStats& stats = match.Stats(engine);
    EXPECT_EQ(stats.Wins + stats.Losses + stats.Draws, 2);
    EXPECT_EQ(stats.Illegal + stats.Crashes + stats.Timeouts, 0) << log.str();
    EXPECT_EQ(stats.Noise, 0) << "the answer to ABOUT names the engine";
    EXPECT_EQ(match.Name(engine), "Lindora 2.1");
    EXPECT_GT(stats.Moves, 0);
    EXPECT_GE(stats.TotalMicroseconds, stats.MaxMicroseconds);
  }
  for (const char* name : {"game-001.psq", "game-002.psq"}) {
    const std::vector<std::string> lines = ReadLines(folder / "games" / name);
    ASSERT_GE(lines.size(), 10u) << name;
    EXPECT_EQ(lines.front(), "Piskvorky 15x15, 0:0, 0");
    EXPECT_EQ(lines.back(), "-1");
    // Every stone on a distinct intersection of the board, the three opening stones at 0 ms.
    std::set<std::pair<int, int>> cells;
    for (size_t index = 1; index + 1 < lines.size(); ++index) {
      int x = 0, y = 0;
      long long ms = -1;
      ASSERT_EQ(std::sscanf(lines[index].c_str(), "%d,%d,%lld", &x, &y, &ms), 3) << lines[index];
      EXPECT_TRUE(TMatchBoard::OnBoard(x - 1, y - 1)) << lines[index];
      EXPECT_TRUE(cells.insert({x, y}).second) << lines[index];
      EXPECT_TRUE(index > 3 || ms == 0) << lines[index];
    }
    records.push_back(lines);
  }
  // Both games of a pair start from the same opening, with the colours swapped.
  EXPECT_EQ(std::vector<std::string>(records[0].begin(), records[0].begin() + 4),
            std::vector<std::string>(records[1].begin(), records[1].begin() + 4));
  EXPECT_NE(log.str().find("game   2: B Black, A White"), std::string::npos) << log.str();
  fs::remove_all(folder);
}

// An engine that joins a game already under way learns it from BOARD: its own stones marked 1,
// the opponent's 2. With three opening stones White is first asked with three stones listed
// and Black with four, so both colours and both ways of counting are seen, in both games.
// Two games at once, each with its own pair of engines, give the games one at a time gives: the
// same moves in every record, reported in game order.
TEST(Match, ConcurrentGamesAreTheGamesOfOneAtATime) {
  const fs::path folder = ScratchFolder("concurrency");
  auto play = [&](int concurrency) {
    TMatchOptions options;
    options.Engines[0] = DesignEngine;
    options.Engines[1] = DesignEngine;
    options.Games = 6;
    options.Seed = 5;
    options.TimeoutMs = 120000;
    options.DrawAfter = 40;
    options.Concurrency = concurrency;
    options.RecordFolder = (folder / std::to_string(concurrency)).string();
    TMatch match(options);
    std::ostringstream log;
    EXPECT_TRUE(match.Run(log)) << log.str();
    std::vector<std::string> games;
    for (int game = 1; game <= options.Games; ++game) {
      char name[32];
      std::snprintf(name, sizeof name, "game-%03d.psq", game);
      std::string moves;
      for (const std::string& line : ReadLines(fs::path(options.RecordFolder) / name))
        moves += line.substr(0, line.rfind(',')) + " ";  // the cell without its time
      games.push_back(moves);
    }
    std::string order;
    for (std::istringstream lines(log.str()); std::getline(lines, order);)
      if (order.rfind("game ", 0) == 0) games.push_back(order.substr(0, 9));
    return games;
  };
  EXPECT_EQ(play(2), play(1));
  fs::remove_all(folder);
}

TEST(Match, BoardListingMarksTheEnginesOwnStonesWithOne) {
  const fs::path folder = ScratchFolder("board");
  TPlayer rusher{RusherCells, "0", "echo OK", (folder / "a.log").string()};
  TPlayer filler{FillerCells(), "0", "echo OK", (folder / "b.log").string()};
  TMatchOptions options =
      ClockOptions(PlayerScript(folder, "a.sh", rusher), PlayerScript(folder, "b.sh", filler));
  options.OpeningStones = 3;
  options.TimeoutMs = 5000;
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log)) << log.str();
  const std::vector<TPoint> opening = MakeOpenings(options.Seed, 1, 3)[0];
  // Per game: the number of stones in the BOARD listing each engine got, in game order.
  std::vector<size_t> listed[2];
  for (int engine = 0; engine < 2; ++engine) {
    const std::vector<std::string> lines = ReadLines(folder / (engine == 0 ? "a.log" : "b.log"));
    for (size_t index = 0; index < lines.size(); ++index) {
      if (lines[index] != "BOARD") continue;
      size_t end = index + 1;
      while (end < lines.size() && lines[end] != "DONE")
        ++end;
      ASSERT_LT(end, lines.size()) << "BOARD without DONE";
      const size_t count = end - index - 1;
      for (size_t stone = 0; stone < count; ++stone) {
        int x = -1, y = -1, mark = 0;
        const std::string& line = lines[index + 1 + stone];
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%d,%d", &x, &y, &mark), 3) << line;
        // The engine to move has the colour of stone number count; every other stone is its.
        EXPECT_EQ(mark, stone % 2 == count % 2 ? 1 : 2) << "stone " << stone << " of " << count;
        if (stone < opening.size()) {
          EXPECT_EQ(x, opening[stone].X);
          EXPECT_EQ(y, opening[stone].Y);
        }
      }
      listed[engine].push_back(count);
      index = end;
    }
  }
  // A is Black in game 1 and White in game 2; B the other way round.
  EXPECT_EQ(listed[0], (std::vector<size_t>{4, 3})) << log.str();
  EXPECT_EQ(listed[1], (std::vector<size_t>{3, 4})) << log.str();
  fs::remove_all(folder);
}

// With four or more games, each pair of games plays its own opening twice, the engines swapping
// colours, and no two pairs share an opening.
TEST(Match, EachPairOfGamesSharesItsOwnOpeningWithColoursSwapped) {
  const fs::path folder = ScratchFolder("pairs");
  TMatchOptions options = ClockOptions(PlayerScript(folder, "a.sh", Player(RusherCells)),
                                       PlayerScript(folder, "b.sh", Player(FillerCells())));
  options.Games = 6;
  options.OpeningStones = 3;
  options.TimeoutMs = 5000;
  options.RecordFolder = (folder / "games").string();
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log)) << log.str();
  std::vector<std::vector<std::string>> openings;
  for (int game = 1; game <= options.Games; ++game) {
    char name[32];
    std::snprintf(name, sizeof name, "game-%03d.psq", game);
    const std::vector<std::string> lines = ReadLines(folder / "games" / name);
    ASSERT_GE(lines.size(), 5u) << name;
    openings.emplace_back(lines.begin() + 1, lines.begin() + 4);
    const char* colours = game % 2 == 1 ? ": A Black, B White" : ": B Black, A White";
    std::ostringstream line;
    line << "game " << std::setw(3) << game << colours;
    EXPECT_NE(log.str().find(line.str()), std::string::npos) << line.str() << "\n" << log.str();
  }
  for (int game = 0; game < options.Games; ++game) {
    for (int other = game + 1; other < options.Games; ++other) {
      if (game / 2 == other / 2)
        EXPECT_EQ(openings[game], openings[other]) << "games " << game + 1 << ", " << other + 1;
      else
        EXPECT_NE(openings[game], openings[other]) << "games " << game + 1 << ", " << other + 1;
    }
  }
  fs::remove_all(folder);
}

// Engine B misbehaves in a certain way in both games; the engine wins both and the match ends,
// within seconds whatever B does, with transcripts in logs when given.
TEngineStats FaultyOpponent(const std::string& name, const std::vector<std::string>& faulty,
                            int timeoutMs = 1500, const fs::path& logs = {}) {
  TMatchOptions options;
  options.Engines[0] = DesignEngine;
  options.Engines[1] = faulty;
  options.Games = 2;
  // No opening: the engine's BEGIN and its answer to a lone stone take no time to speak of, so
  // only the faulty engine ever comes near the limit.
  options.OpeningStones = 0;
  options.TimeoutMs = timeoutMs;
  options.ToleranceMs = 300;
  options.RecordFolder.clear();
  options.LogFolder = logs.string();
  TMatch match(options);
  std::ostringstream log;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(match.Run(log));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30)) << name;
  const TEngineStats& engine = match.Stats(0);
  EXPECT_EQ(engine.Wins, 2) << name << "\n" << log.str();
  EXPECT_EQ(match.Stats(1).Losses, 2) << name << "\n" << log.str();
  return match.Stats(1);
}

TEST(Match, EnginesThatFailLoseTheirGames) {
  const fs::path folder = ScratchFolder("faulty");
  // Exits on its first move request.
  TEngineStats crash = FaultyOpponent("crash", {ScriptEngine(folder, "crash.sh", "exit 3")});
  EXPECT_EQ(crash.Crashes, 2);
  // Never answers a move request: killed at the time limit and started afresh for game 2.
  TEngineStats hang = FaultyOpponent("hang", {ScriptEngine(folder, "hang.sh", "exec sleep 30")});
  EXPECT_EQ(hang.Timeouts, 2);
  // Off the board, then not a move at all, then an occupied intersection.
  TEngineStats off = FaultyOpponent("off", {ScriptEngine(folder, "off.sh", "echo 15,3")});
  EXPECT_EQ(off.Illegal, 2);
  // Anything but a move is noise: an engine that never moves loses on time.
  TEngineStats babble =
      FaultyOpponent("babble", {ScriptEngine(folder, "babble.sh", "echo MESSAGE hi; echo pass")});
  EXPECT_EQ(babble.Timeouts, 2);
  EXPECT_EQ(babble.Noise, 2);
  // Bytes without a line end, and short lines without end: the clock still runs out, and the
  // transcripts keep only the first of the noise.
  for (const char* flood : {"cat /dev/zero", "yes noise"}) {
    const fs::path logs = folder / "logs";
    TEngineStats flooding =
        FaultyOpponent(flood, {ScriptEngine(folder, "flood.sh", flood)}, 400, logs);
    EXPECT_EQ(flooding.Timeouts, 2) << flood;
    for (const char* name : {"game-001.log", "game-002.log"})
      EXPECT_LT(fs::file_size(logs / name), 512u * 1024) << flood;
  }
  // Hangs behind a wrapper shell: stopping it ends the engine the wrapper started as well.
  const fs::path pidFile = folder / "engine.pid";
  const std::string hanging =
      ScriptEngine(folder, "inner.sh", "echo $$ >> '" + pidFile.string() + "'; sleep 30");
  TEngineStats wrapped =
      FaultyOpponent("wrapped", {"/bin/sh", "-c", "'" + hanging + "'; true"}, 400);
  EXPECT_EQ(wrapped.Timeouts, 2);
  for (const std::string& pid : ReadLines(pidFile)) {
    // Gone, or a zombie that only its new parent has still to reap.
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string field, state;
    stat >> field >> field >> state;
    EXPECT_TRUE(!stat || state == "Z") << "engine " << pid << " outlived its game";
  }
  TEngineStats same = FaultyOpponent("same", {ScriptEngine(folder, "same.sh", "echo 7,7")});
  EXPECT_EQ(same.Illegal, 2);
  TEngineStats missing = FaultyOpponent("missing", {(folder / "no-such-engine").string()});
  EXPECT_EQ(missing.StartFailures, 2);
  EXPECT_EQ(missing.Moves, 0);
  fs::remove_all(folder);
}

// The engine as a manager starts it, at Expert, thinks within the announced time: never late,
// where the build is not slowed by its checks.
TEST(Match, TheEngineAtExpertAnswersWithinTheAnnouncedTime) {
  const fs::path folder = ScratchFolder("expert");
  TMatchOptions options =
      ClockOptions(PBRAIN_PROGRAM, PlayerScript(folder, "b.sh", Player(FillerCells())));
  options.TimeoutMs = 300;
  options.ToleranceMs = 2000;
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(0).Wins, 2) << log.str();
  EXPECT_EQ(match.Stats(0).Timeouts, 0) << log.str();
#ifdef NDEBUG
  EXPECT_EQ(match.Stats(0).Late, 0) << log.str();
#endif
  fs::remove_all(folder);
}

// A game still open after the set number of stones is drawn, and the summary says so.
TEST(Match, DrawAfterTheSetNumberOfStones) {
  const fs::path folder = ScratchFolder("draw-after");
  TMatchOptions options = ClockOptions(PlayerScript(folder, "a.sh", Player(RusherCells)),
                                       PlayerScript(folder, "b.sh", Player(FillerCells())));
  options.DrawAfter = 6;  // the rusher needs nine stones on the board for its five
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(0).Draws, 2) << log.str();
  EXPECT_EQ(match.Stats(0).Moves + match.Stats(1).Moves, 12);
  EXPECT_NE(log.str().find("draw, drawn after the set number of moves"), std::string::npos);
  EXPECT_NE(log.str().find("A over B from the pairs: Elo 0.0 +/- 0.0 (95 %)"), std::string::npos)
      << log.str();
  fs::remove_all(folder);
}

// An engine's stray lines (an ERROR for a TURN it dropped, an ERROR for every INFO) are noise,
// counted, shown and kept in the game's transcript, and its move is the first line that is one.
TEST(Match, StrayLinesAreNoiseNotMoves) {
  const fs::path folder = ScratchFolder("stray");
  TPlayer stray = Player(RusherCells);
  stray.Info = "echo 'ERROR unknown INFO'";
  stray.Before = "echo 'ERROR Unknown command: 6,8'";
  TMatchOptions options = ClockOptions(PlayerScript(folder, "stray.sh", stray),
                                       PlayerScript(folder, "filler.sh", Player(FillerCells())));
  options.LogFolder = (folder / "logs").string();
  TMatch match(options);
  std::ostringstream log;
  EXPECT_TRUE(match.Run(log));
  const TEngineStats& a = match.Stats(0);
  EXPECT_EQ(a.Wins, 2) << log.str();
  // The transcript holds every line both ways, time-stamped, and ends with the verdict.
  const std::vector<std::string> transcript = ReadLines(folder / "logs" / "game-002.log");
  ASSERT_GE(transcript.size(), 10u);
  auto holds = [&](const std::string& text) {
    return std::any_of(transcript.begin(), transcript.end(), [&](const std::string& entry) {
      return entry.find(text) != std::string::npos && entry.find(" ms  ") != std::string::npos;
    });
  };
  for (const char* entry :
       {"A -> RESTART", "B <- OK", "A <- ERROR Unknown command: 6,8", "B -> BEGIN", "A -> TURN "})
    EXPECT_TRUE(holds(entry)) << entry;
  EXPECT_EQ(transcript.back().rfind("game   2: B Black, A White", 0), 0u) << transcript.back();
  EXPECT_EQ(a.Illegal, 0);
  EXPECT_EQ(a.Noise, 2 * a.Moves + 5)
      << "one line a move and one for its time_left, and five INFO errors at the start";
  EXPECT_EQ(match.Stats(1).Noise, 0);
  EXPECT_NE(log.str().find("noise"), std::string::npos) << log.str();
  fs::remove_all(folder);
}

// An engine that cannot restart is ended and started afresh, and loses nothing for it; an engine
// that never gets through START leaves the match saying nothing of it, which lindora-match's exit
// status tells.
TEST(Match, EnginesThatCannotRestartStartAfresh) {
  const fs::path folder = ScratchFolder("restart");
  TPlayer stubborn = Player(RusherCells);
  stubborn.Restart = "echo 'ERROR cannot restart'";
  TMatchOptions options = ClockOptions(PlayerScript(folder, "stubborn.sh", stubborn),
                                       PlayerScript(folder, "filler.sh", Player(FillerCells())));
  options.Games = 4;
  TMatch match(options);
  std::ostringstream log;
  EXPECT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(0).Wins, 4) << log.str();
  EXPECT_EQ(match.Stats(0).Crashes, 0);
  EXPECT_FALSE(match.NeverStarted(0) || match.NeverStarted(1));

  options.Engines[1] = {(folder / "no-such-engine").string()};
  options.Games = 1;
  TMatch unstarted(options);
  EXPECT_TRUE(unstarted.Run(log));
  EXPECT_FALSE(unstarted.NeverStarted(0));
  EXPECT_TRUE(unstarted.NeverStarted(1));
  fs::remove_all(folder);
}

// Openings from a file in both notations, against boards worked out by hand; bad lines refused
// with their numbers; the random order a shuffle of the same openings, fixed by the seed.
TEST(MatchOpenings, BothNotationsFromAFile) {
  std::istringstream file(
      "# offsets from the centre, then board notation\n"
      "0,0, 1,-1, -1,1\r\n"
      "\n"
      "h8i9i7\n"
      "a1, o15\n"
      "-7,7, 7,-7\n");
  std::vector<std::vector<TPoint>> openings;
  std::string error;
  ASSERT_TRUE(ReadOpenings(file, openings, error)) << error;
  auto points = [](const std::vector<TPoint>& opening) {
    std::string text;
    for (const TPoint& point : opening)
      text += std::to_string(point.X) + "," + std::to_string(point.Y) + " ";
    return text;
  };
  ASSERT_EQ(openings.size(), 4u);
  EXPECT_EQ(points(openings[0]), "7,7 8,6 6,8 ");
  EXPECT_EQ(points(openings[1]), "7,7 8,6 8,8 ") << "i9 is up and right of h8, i7 down";
  EXPECT_EQ(points(openings[2]), "0,14 14,0 ") << "a1 bottom left, o15 top right";
  EXPECT_EQ(points(openings[3]), "0,14 14,0 ");

  const struct {
    const char* text;
    const char* error;
  } bad[] = {{"0,0\n8,0\n", "line 2: 8,0 is off the 15 x 15 board"},
             {"p1\n", "line 1: p1 is off the 15 x 15 board"},
             {"h16\n", "line 1: h16 is off the 15 x 15 board"},
             {"h8h8\n", "line 1: two stones on one intersection"},
             {"0,0, 1\n", "line 1: an x without its y"},
             {"0,0; 1,1\n", "line 1: expected whole numbers"},
             {"h8 9i\n", "line 1: expected a column letter"},
             {"h8a1h9a3h10a5h11a7h12\n", "line 1: five in a row already"},
             {"# nothing\n", "no opening in the file"}};
  for (const auto& line : bad) {
    std::istringstream in(line.text);
    std::vector<std::vector<TPoint>> none;
    EXPECT_FALSE(ReadOpenings(in, none, error)) << line.text;
    EXPECT_EQ(error, line.error) << line.text;
    EXPECT_TRUE(none.empty());
  }

  std::vector<std::vector<TPoint>> shuffled = openings, again = openings;
  OrderOpenings(shuffled, true, 7);
  OrderOpenings(again, true, 7);
  EXPECT_EQ(shuffled.size(), openings.size());
  for (size_t index = 0; index < shuffled.size(); ++index)
    EXPECT_EQ(points(shuffled[index]), points(again[index]));
}

// A match the SPRT stops: both engines win every game they play as Black, so every pair is split,
// an even score far from the 400 Elo of H1. The games under way when it decides are played out
// and reported.
TEST(MatchSummary, SprtStopsTheMatchOnceDecided) {
  TSprt sprt;
  EXPECT_NEAR(sprt.LowerBound(), -2.94444, 0.00001);
  EXPECT_NEAR(sprt.UpperBound(), 2.94444, 0.00001);

  const fs::path folder = ScratchFolder("sprt");
  TMatchOptions options =
      ClockOptions(PlayerScript(folder, "a.sh", Player(RusherCells)),
                   PlayerScript(folder, "b.sh", Player("9,5 9,6 9,7 9,8 9,9 9,10")));
  options.Games = 40;
  options.Concurrency = 2;
  options.Sprt = TSprt{true, 0, 400, 0.05, 0.05};
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  const int played = match.Stats(0).Wins + match.Stats(0).Losses;
  EXPECT_LT(played, 12) << log.str();
  EXPECT_EQ(match.Stats(0).Wins, match.Stats(0).Losses + played % 2);
  EXPECT_NE(log.str().find("H0 accepted"), std::string::npos) << log.str();
  std::istringstream lines(log.str());
  int reported = 0;
  for (std::string line; std::getline(lines, line);)
    reported += line.rfind("game ", 0) == 0;
  EXPECT_EQ(reported, played) << "every game played is reported";
  fs::remove_all(folder);
}

// A series split in two ranges, the split falling inside a game pair, and merged from its
// results files gives the table of the whole run: the same totals and the same pairs. Files that
// are not results of the series are refused whole, with the file and line.
TEST(MatchSummary, RangesOfASeriesMergeIntoTheWholeRun) {
  const fs::path folder = ScratchFolder("merge");
  TMatchOptions options = ClockOptions(PlayerScript(folder, "a.sh", Player(RusherCells)),
                                       PlayerScript(folder, "b.sh", Player(FillerCells())));
  options.Games = 6;
  auto run = [&](int first, int last) {
    options.FirstGame = first;
    options.LastGame = last;
    options.ResultsFile =
        (folder / ("results-" + std::to_string(first) + "-" + std::to_string(last))).string();
    TMatch match(options);
    std::ostringstream log;
    EXPECT_TRUE(match.Run(log)) << log.str();
    return options.ResultsFile;
  };
  auto table = [](const TTally& tally) {
    std::ostringstream out;
    PrintSummary(out, tally, TSummaryNotes());
    const std::string text = out.str();
    return text.substr(text.find(" games: Black won") - 1);  // past the times
  };
  const std::string whole = run(0, 0), first = run(0, 3), second = run(3, 6);
  TMergedRuns all, split;
  std::string error;
  for (const auto& [file, merged] : {std::pair{whole, &all}, {second, &split}, {first, &split}}) {
    std::ifstream in(file);
    ASSERT_TRUE(MergeResults(in, file, *merged, error)) << error;
    // Games 4 to 6 alone leave game 4 without its pair, out of the pairs' count.
    if (merged == &split && split.Runs == 1) {
      EXPECT_EQ(split.Tally.Unpaired(), 1);
      EXPECT_EQ(split.Tally.Pairs().Pairs(), 1);
    }
  }
  EXPECT_EQ(split.Tally.Games(), 6);
  EXPECT_EQ(split.Tally.Pairs().Counts[4], 3) << "the rusher wins every pair";
  EXPECT_EQ(table(split.Tally), table(all.Tally));

  const std::string header = ReadLines(whole)[0];
  const struct {
    std::string Text, Error;
  } bad[] = {
      {header + "\n{\"game\":1}\n", "bad: line 2: not a game line"},
      {"{\"game\":1,\n", "bad: line 1: not a line of a results file"},
      {header.substr(0, header.find("tolerance_ms\":") + 14) + "9" +
           header.substr(header.find("tolerance_ms\":") + 14) + "\n",
       "bad: line 1: a run of another series than the files before it"},
      {header + "\n" + ReadLines(second)[1] + "\n", "bad: line 2: game 4 is counted already"}};
  for (const auto& file : bad) {
    std::istringstream in(file.Text);
    TMergedRuns before = split;
    EXPECT_FALSE(MergeResults(in, "bad", split, error)) << file.Text;
    EXPECT_EQ(error, file.Error);
    EXPECT_EQ(split.Tally.Games(), before.Tally.Games()) << "nothing of it counted";
  }
  fs::remove_all(folder);
}

// The clock rules: without a match clock each move has the turn time plus the tolerance and
// nothing carries over; with one, the clock is signed and in microseconds, runs into debt as far
// as the tolerance once, announces that debt, and charges even the shortest move.
TEST(MatchClockRules, SignedMicrosecondClockWithTheToleranceGrantedOnce) {
  TMatchClock turnOnly(200, 0, 0, 500);
  EXPECT_FALSE(turnOnly.HasMatchClock());
  EXPECT_EQ(turnOnly.AnnouncedMicroseconds(0), 200000);
  EXPECT_EQ(turnOnly.LimitMicroseconds(0), 700000);
  EXPECT_TRUE(turnOnly.Charge(0, 700000));
  EXPECT_FALSE(turnOnly.Charge(0, 700001));
  EXPECT_EQ(turnOnly.LimitMicroseconds(0), 700000) << "nothing carries over";

  // 1500 ms a game and 700 ms moves with 1000 ms tolerance: the third move runs into debt, the
  // fourth may take only what is left of the tolerance.
  TMatchClock game(5000, 1500, 0, 1000);
  const struct {
    int64_t Used;
    bool InTime;
    int64_t LeftMs, AnnouncedUs, LimitUs;  // after the move
  } moves[] = {{700000, true, 800, 800000, 1800000},
               {700000, true, 100, 100000, 1100000},
               {700000, true, -600, 0, 400000},
               {700000, false, -1300, 0, -300000}};
  for (const auto& move : moves) {
    EXPECT_EQ(game.Charge(0, move.Used), move.InTime) << move.LeftMs;
    EXPECT_EQ(game.TimeLeftMs(0), move.LeftMs);
    EXPECT_EQ(game.AnnouncedMicroseconds(0), move.AnnouncedUs);
    EXPECT_EQ(game.LimitMicroseconds(0), move.LimitUs);
  }
  EXPECT_EQ(game.TimeLeftMs(1), 1500) << "each engine has its own clock";

  // Moves under a millisecond cost what they take; a debt under a millisecond shows as -1; the
  // increment comes after the move.
  TMatchClock quick(5000, 1500, 0, 1000);
  for (int move = 0; move < 3; ++move)
    quick.Charge(0, 400);
  EXPECT_EQ(quick.TimeLeftMs(0), 1498);
  TMatchClock debt(5000, 1, 0, 1000);
  debt.Charge(0, 1400);
  EXPECT_EQ(debt.TimeLeftMs(0), -1);
  TMatchClock increment(5000, 1000, 100, 150);
  EXPECT_TRUE(increment.Charge(0, 400000));
  EXPECT_EQ(increment.TimeLeftMs(0), 700);
}

TEST(MatchClock, AnswersWithinTheToleranceAreLateNotTimedOut) {
  const fs::path folder = ScratchFolder("late");
  // 350 ms against 200 announced and 500 tolerance: late every time, never a timeout.
  TMatch match(ClockOptions(PlayerScript(folder, "rusher.sh", Player(RusherCells)),
                            PlayerScript(folder, "slow.sh", Player(FillerCells(), "0.35"))));
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  const TEngineStats& slow = match.Stats(1);
  EXPECT_EQ(match.Stats(0).Wins, 2) << log.str();
  EXPECT_EQ(slow.Timeouts, 0) << log.str();
  EXPECT_EQ(slow.Moves, 9) << "four moves as White, five as Black\n" << log.str();
  EXPECT_EQ(slow.Late, slow.Moves);
  EXPECT_GT(slow.MaxMicroseconds, 350000);
  EXPECT_EQ(match.Stats(0).Late, 0);
  EXPECT_NE(log.str().find("within the 500 ms tolerance"), std::string::npos) << log.str();
  fs::remove_all(folder);
}

TEST(MatchClock, AnswersPastTheToleranceAreTimeouts) {
  const fs::path folder = ScratchFolder("too-late");
  TMatch match(ClockOptions(PlayerScript(folder, "rusher.sh", Player(RusherCells)),
                            PlayerScript(folder, "slower.sh", Player(FillerCells(), "1.2"))));
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(1).Timeouts, 2) << log.str();
  EXPECT_EQ(match.Stats(1).Moves, 0);
  EXPECT_NE(log.str().find("no move within 700 ms (200 announced + 500 tolerance) (timeout)"),
            std::string::npos)
      << log.str();
  fs::remove_all(folder);
}

// Set-up happens before any clock runs, whether the engine spends it before its OK to START or
// on INFO max_memory before it answers ABOUT; only the start limit bounds it.
TEST(MatchClock, SetUpIsNotChargedToTheFirstMove) {
  const fs::path folder = ScratchFolder("setup");
  TPlayer slowStart = Player(RusherCells), slowTables = Player(RusherCells);
  slowStart.Start = "sleep 2; echo OK";
  slowTables.Info = "case \"$line\" in *max_memory*) sleep 0.8 ;; esac";
  for (const TPlayer& player : {slowStart, slowTables}) {
    TMatchOptions options = ClockOptions(PlayerScript(folder, "filler.sh", Player(FillerCells())),
                                         PlayerScript(folder, "setup.sh", player));
    options.ToleranceMs = 300;
    TMatch match(options);
    std::ostringstream log;
    ASSERT_TRUE(match.Run(log));
    const TEngineStats& engine = match.Stats(1);
    EXPECT_EQ(engine.Wins, 2) << log.str();
    EXPECT_EQ(engine.Timeouts + engine.StartFailures, 0) << log.str();
    EXPECT_LT(engine.MaxMicroseconds, 500000);
  }
  fs::remove_all(folder);
}

// Lines in flight between the runner and an engine never decide a game: an engine that loses
// the line arriving while it finishes a move loses only the time_left before the request, and
// one that was never asked to move in a game is not taken for broken when its answer to ABOUT
// is still unread at the next RESTART.
TEST(MatchClock, LinesInFlightCostNoGame) {
  const fs::path folder = ScratchFolder("in-flight");
  TPlayer racing = Player(RusherCells);
  racing.DropAfterMove = true;
  TMatch match(ClockOptions(PlayerScript(folder, "racing.sh", racing),
                            PlayerScript(folder, "filler.sh", Player(FillerCells()))));
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(0).Wins, 2) << log.str();

  // Three opening stones and a draw after four: Black is never asked for a move.
  TPlayer logged[2] = {Player(RusherCells), Player(FillerCells())};
  for (int engine = 0; engine < 2; ++engine)
    logged[engine].Log = (folder / (std::to_string(engine) + ".log")).string();
  TMatchOptions options = ClockOptions(PlayerScript(folder, "a.sh", logged[0]),
                                       PlayerScript(folder, "b.sh", logged[1]));
  options.Games = 4;
  options.OpeningStones = 3;
  options.DrawAfter = 4;
  TMatch drawn(options);
  ASSERT_TRUE(drawn.Run(log));
  for (int engine = 0; engine < 2; ++engine) {
    const std::vector<std::string> lines = ReadLines(logged[engine].Log);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "START 15"), 1) << "engine " << engine;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "RESTART"), 3) << "engine " << engine;
  }
  fs::remove_all(folder);
}

TEST(MatchClock, EnginesThatCannotStartAreStartFailuresWithTheirWords) {
  const fs::path folder = ScratchFolder("start");
  TPlayer refuses = Player(RusherCells);
  refuses.Start = "echo ERROR cannot allocate the tables";
  TMatch refused(ClockOptions(PlayerScript(folder, "filler.sh", Player(FillerCells())),
                              PlayerScript(folder, "refuses.sh", refuses)));
  std::ostringstream log;
  ASSERT_TRUE(refused.Run(log));
  EXPECT_EQ(refused.Stats(1).StartFailures, 2) << log.str();
  EXPECT_EQ(refused.Stats(0).Wins, 2);
  EXPECT_NE(log.str().find("B answered START 15 with \"ERROR cannot allocate the tables\" "
                           "(start failure)"),
            std::string::npos)
      << log.str();

  TPlayer silent = Player(RusherCells);
  silent.Start = "exec sleep 30";
  TMatchOptions options = ClockOptions(PlayerScript(folder, "filler.sh", Player(FillerCells())),
                                       PlayerScript(folder, "silent.sh", silent));
  options.StartTimeoutMs = 300;
  TMatch mute(options);
  std::ostringstream muteLog;
  ASSERT_TRUE(mute.Run(muteLog));
  EXPECT_EQ(mute.Stats(1).StartFailures, 2) << muteLog.str();
  EXPECT_NE(muteLog.str().find("no answer to START 15 within 300 ms (start failure)"),
            std::string::npos)
      << muteLog.str();
  fs::remove_all(folder);
}

// The numbers after "INFO time_left" in a player's log, in order.
std::vector<int> TimesLeft(const fs::path& log) {
  std::vector<int> left;
  const std::vector<std::string> lines = ReadLines(log);
  for (size_t index = 0; index < lines.size(); ++index) {
    if (lines[index].rfind("INFO time_left ", 0) != 0) continue;
    left.push_back(std::stoi(lines[index].substr(15)));
    // Every move request follows its time_left at once.
    EXPECT_TRUE(index + 1 < lines.size() &&
                (lines[index + 1] == "BEGIN" || lines[index + 1] == "BOARD" ||
                 lines[index + 1].rfind("TURN ", 0) == 0))
        << lines[index];
  }
  return left;
}

// An engine slower than its clock allows runs into debt and then loses on time, however long
// the turn time is; the runner tells it its negative time left.
TEST(MatchClock, AClockInDebtByMoreThanTheToleranceLosesOnTime) {
  const fs::path folder = ScratchFolder("debt");
  TPlayer slow{FillerCells(), "0.1", "echo OK", (folder / "slow.log").string()};
  TMatchOptions options = ClockOptions(PlayerScript(folder, "quick.sh", Player(RusherCells)),
                                       PlayerScript(folder, "slow.sh", slow));
  options.TimeoutMs = 5000;
  options.ToleranceMs = 120;
  // 100 ms moves from 280: about 175, 70 and then -35 left, so the fourth may take some 85 ms.
  options.MatchTimeMs = 280;
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(1).Timeouts, 2) << log.str();
  EXPECT_EQ(match.Stats(1).Moves, 6) << log.str();
  EXPECT_NE(log.str().find("(its clock's -"), std::string::npos) << log.str();
  const std::vector<int> left = TimesLeft(folder / "slow.log");
  EXPECT_TRUE(std::any_of(left.begin(), left.end(), [](int ms) { return ms < 0; }))
      << "the debt is announced";
  fs::remove_all(folder);
}

TEST(MatchClock, TheGameClockIsAnnouncedBeforeEveryMoveAndEnforced) {
  const fs::path folder = ScratchFolder("clock");
  TPlayer quick{RusherCells, "0", "echo OK", (folder / "quick.log").string()};
  TPlayer slow{FillerCells(), "0.4", "echo OK", (folder / "slow.log").string()};
  TMatchOptions options =
      ClockOptions(PlayerScript(folder, "quick.sh", quick), PlayerScript(folder, "slow.sh", slow));
  // 400 ms a move from 1000 with 100 back each time: about 700, 400, then 100 left, when the
  // fourth move outlasts the 150 ms tolerance.
  options.TimeoutMs = 5000;
  options.ToleranceMs = 150;
  options.MatchTimeMs = 1000;
  options.IncrementMs = 100;
  TMatch match(options);
  std::ostringstream log;
  ASSERT_TRUE(match.Run(log));
  EXPECT_EQ(match.Stats(1).Timeouts, 2) << log.str();
  EXPECT_EQ(match.Stats(1).Moves, 6) << log.str();
  EXPECT_NE(log.str().find("announced + 150 tolerance) (timeout)"), std::string::npos) << log.str();

  const std::vector<std::string> slowLines = ReadLines(folder / "slow.log");
  EXPECT_NE(std::find(slowLines.begin(), slowLines.end(), "INFO timeout_match 1000"),
            slowLines.end());
  EXPECT_NE(std::find(slowLines.begin(), slowLines.end(), "INFO timeout_turn 5000"),
            slowLines.end());
  const std::vector<int> slowLeft = TimesLeft(folder / "slow.log");
  ASSERT_EQ(slowLeft.size(), 8u) << "four requests a game";
  for (size_t game : {0, 4}) {
    EXPECT_EQ(slowLeft[game], 1000);
    for (size_t move = game + 1; move < game + 4; ++move) {
      // The clock stops at zero before the increment is added.
      EXPECT_LE(slowLeft[move], std::max(100, slowLeft[move - 1] - 300));
      EXPECT_GE(slowLeft[move], slowLeft[move - 1] - 400);
    }
  }
  // The quick player gains its increment with every move, from 1000 again in each game.
  const std::vector<int> quickLeft = TimesLeft(folder / "quick.log");
  ASSERT_GE(quickLeft.size(), 6u);
  EXPECT_EQ(quickLeft[0], 1000);
  EXPECT_GT(quickLeft[1], 1000);
  EXPECT_GT(quickLeft[2], quickLeft[1]);
  fs::remove_all(folder);
}

TEST(EngineProcess, ReadsLinesOfEveryEndingAndSeesTheEnd) {
  TEngineProcess process;
  ASSERT_TRUE(
      process.Launch({"/bin/sh", "-c", "printf 'one\\r\\ntwo\\rthree\\n\\nDEBUG x\\nfour'"}));
  std::string line;
  TChatter skipped;
  for (const char* expected : {"one", "two", "three"}) {
    ASSERT_EQ(process.ReadLine(line, 30000), TEngineProcess::TRead::Line);
    EXPECT_EQ(line, expected);
  }
  ASSERT_EQ(process.ReadAnswer(line, 30000, &skipped), TEngineProcess::TRead::Line);
  EXPECT_EQ(line, "four") << "a last line without its end still counts";
  EXPECT_EQ(skipped.Kept(), std::vector<std::string>{"DEBUG x"});
  EXPECT_EQ(process.ReadLine(line, 30000), TEngineProcess::TRead::Closed);
  process.Stop();
  EXPECT_FALSE(process.Running());
  EXPECT_FALSE(process.Send("TURN 1,1"));
  EXPECT_FALSE(process.Launch({}));
}

// A timeout comes once the deadline has passed by the clock, not before, from an engine that is
// silent or one that floods; the flood's lines are counted, and only the first of them kept.
TEST(EngineProcess, TimeoutsComeAtTheDeadlineAndFloodsAreCapped) {
  const struct {
    const char* Engine;
    size_t Kept;  // lines of noise kept after the three reads
  } engines[] = {
      {"exec sleep 30", 0}, {"exec yes noise", TChatter::MaxLines}, {"exec cat /dev/zero", 1}};
  for (const auto& engine : engines) {
    TEngineProcess process;
    ASSERT_TRUE(process.Launch({"/bin/sh", "-c", engine.Engine}));
    TChatter messages, noise;
    for (const int microseconds : {1000, 5000, 40000}) {
      std::string line;
      const TClock::time_point start = TClock::now();
      EXPECT_EQ(
          process.ReadMove(line, start + std::chrono::microseconds(microseconds), messages, noise),
          TEngineProcess::TRead::Timeout)
          << engine.Engine;
      EXPECT_GE(TClock::now() - start, std::chrono::microseconds(microseconds)) << engine.Engine;
    }
    EXPECT_EQ(noise.Kept().size(), engine.Kept) << engine.Engine;
    if (engine.Kept == 1) {
      EXPECT_EQ(noise.Kept()[0], TEngineProcess::TooLongLine);
    }
  }
}

TEST(EngineProcess, WritingToAnEngineThatStoppedReadingFailsQuietly) {
  TEngineProcess process;
  // The engine closes its input, says so, and lives on: the write meets a pipe nobody reads,
  // which must fail without the signal that would end this program.
  ASSERT_TRUE(process.Launch({"/bin/sh", "-c", "exec 0<&-; echo closed; exec sleep 30"}));
  std::string line;
  ASSERT_EQ(process.ReadLine(line, 30000), TEngineProcess::TRead::Line);
  EXPECT_EQ(line, "closed");
  EXPECT_FALSE(process.Send("TURN 1,1"));
  EXPECT_FALSE(process.Send("TURN 1,2"));
  EXPECT_TRUE(process.Running());
  process.Stop();
  EXPECT_FALSE(process.Running());
}

}  // namespace
