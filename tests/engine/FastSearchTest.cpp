// SPDX-License-Identifier: GPL-3.0-or-later
// The fast search against the plain one that walks the decision as described: on positions from
// seeded games and on crowded boards, the same move, verdict and messages, with the helper threads
// or without; the same outcomes from direct searches; and the plain search's own figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "FastSearch.h"
#include "GameBoard.h"
#include "GameOpenings.h"
#include "PlayerPositions.h"
#include "SearchHelper.h"
#include "ShellCommands.h"
#include "ShortcutCheck.h"

namespace {

struct TDecision {
  int32_t Column = 0, Row = 0;
  uint64_t Calls = 0;
  std::vector<std::string> Messages;
  std::vector<std::pair<int, std::string>> Panels;
};

TDecision Decide(TGameBoard& engine, uint8_t colour, int32_t depth) {
  TRecordingReporter recorder;
  engine.SetReporter(&recorder);
  TDecision decision;
  engine.ChooseMove(colour, decision.Column, decision.Row, depth);
  engine.SetReporter(nullptr);
  decision.Calls = engine.ForcedWinCalls;
  decision.Messages = recorder.Messages;
  decision.Panels = recorder.Panels;
  return decision;
}

// A position from a seeded game, with the colour to move and the depth to decide it at.
struct TPosition {
  TGameBoard Engine;
  uint8_t Colour;
  int32_t Depth;
};

// Positions from seeded games played at the game's depth 16 by both sides. Every eighth is decided
// at depth 16, the rest at depths 5, 8 and 11, which keeps the plain search's share quick while
// every rung of the ladder is still met at the game's own depth.
std::vector<TPosition> GamePositions(uint32_t seed, size_t count) {
  static constexpr int32_t OtherDepths[3] = {5, 8, 11};
  std::mt19937 random(seed);
  std::vector<TPosition> positions;
  while (positions.size() < count) {
    TGameBoard engine;
    uint8_t colour = PlaceOpening(engine, random, OpeningSize(random));
    while (positions.size() < count) {
      const size_t index = positions.size();
      positions.push_back({engine, colour, index % 8 == 0 ? 16 : OtherDepths[index % 3]});
      int32_t column = 0, row = 0;
      engine.ChooseMove(colour, column, row, 16);
      if (column == 0 || !PlayOn(engine, colour, column, row)) break;
    }
  }
  return positions;
}

// Crowded boards late in a game: a full board without five (stones in pairs along the rows,
// alternating down the columns, so every five-cell stretch holds both colours), shifted at random,
// with up to a dozen stones taken away. Where no empty intersection carries a level the move
// choice finds nothing and answers (0, 0).
std::vector<TPosition> CrowdedPositions(uint32_t seed, int count) {
  std::mt19937 random(seed);
  std::vector<TPosition> positions;
  for (int board = 0; board < count; ++board) {
    TGameBoard engine;
    const int32_t shift = static_cast<int32_t>(random() % 4);
    for (int32_t column = 1; column <= BoardSize; ++column) {
      for (int32_t row = 1; row <= BoardSize; ++row)
        engine.PlaceStone(column, row, (column + 2 * row + shift) % 4 < 2 ? CellBlack : CellWhite);
    }
    for (int taken = 0; taken < board % 13; ++taken) {
      const int32_t column = 1 + static_cast<int32_t>(random() % BoardSize);
      const int32_t row = 1 + static_cast<int32_t>(random() % BoardSize);
      engine.PlaceStone(column, row, CellEmpty);
    }
    positions.push_back({engine, board % 2 == 0 ? CellBlack : CellWhite, 16});
  }
  return positions;
}

// What a decision shows the user.
bool SameAnswer(const TDecision& a, const TDecision& b) {
  return a.Column == b.Column && a.Row == b.Row && a.Messages == b.Messages && a.Panels == b.Panels;
}

// Decides every position both ways and expects the same answer and the position left as it was.
// Answers the plain search's calls and a hash of its answers: figures that change only when the
// engine's behaviour does.
std::pair<uint64_t, uint64_t> CompareBothWays(const std::vector<TPosition>& positions,
                                              int searchedAtLeast) {
  uint64_t plainCalls = 0, answers = 1469598103934665603u;
  int searched = 0;
  for (size_t index = 0; index < positions.size(); ++index) {
    const TPosition& position = positions[index];
    TGameBoard fastEngine = position.Engine, plainEngine = position.Engine;
    plainEngine.UseFastSearch = false;
    const TDecision fast = Decide(fastEngine, position.Colour, position.Depth);
    const TDecision plain = Decide(plainEngine, position.Colour, position.Depth);
    EXPECT_TRUE(SameAnswer(fast, plain))
        << "position " << index << ": fast (" << fast.Column << ", " << fast.Row << ") plain ("
        << plain.Column << ", " << plain.Row << ")";
    EXPECT_TRUE(SameBoard(fastEngine, position.Engine)) << "position " << index;
    EXPECT_TRUE(SameThreats(fastEngine.Threat, position.Engine.Threat)) << "position " << index;
    if (plain.Calls > 1) ++searched;
    plainCalls += plain.Calls;
    const std::string verdict = plain.Panels.empty() ? "" : plain.Panels[0].second;
    for (unsigned char byte :
         std::to_string(plain.Column) + "," + std::to_string(plain.Row) + "," + verdict + ";")
      answers = (answers ^ byte) * 1099511628211u;
  }
  // The comparison means something only where the ladder actually searched.
  EXPECT_GE(searched, searchedAtLeast);
  return {plainCalls, answers};
}

// 2,000 positions from games, or the first LINDORA_GAME_POSITIONS of them where a run cannot
// afford them all (the ThreadSanitizer run). The plain search's figures over all of them pin the
// design's behaviour: a change of either is a change of the engine that both searches share
// (turn rules, pattern tables, list rules), which a comparison of the two cannot see.
TEST(FastSearch, SameAnswersAsThePlainSearchOnGamePositions) {
  constexpr size_t All = 2000;
  const char* given = std::getenv("LINDORA_GAME_POSITIONS");
  const size_t count =
      given == nullptr ? All : std::min<size_t>(std::strtoul(given, nullptr, 10), All);
  ASSERT_GT(count, 0u) << "LINDORA_GAME_POSITIONS=" << given;
  const auto [plainCalls, answers] =
      CompareBothWays(GamePositions(20261208, count), static_cast<int>(count * 7 / 20));
  if (count < All) return;
  EXPECT_EQ(plainCalls, 6302331u);
  EXPECT_EQ(answers, 9866694867706623680u);
}

TEST(FastSearch, SameAnswersAsThePlainSearchOnCrowdedBoards) {
  const std::vector<TPosition> positions = CrowdedPositions(99, 130);
  CompareBothWays(positions, 0);
  int nothing = 0;
  for (const TPosition& position : positions) {
    TGameBoard engine = position.Engine;
    nothing += Decide(engine, position.Colour, 16).Column == 0;
  }
  EXPECT_GE(nothing, 10);
  EXPECT_LE(nothing, 120);
}

// The heaviest positions of a game set, decided with the helper threads, without them, and by two
// engines at once (one of which finds the helpers busy): answers and call counts never depend on
// which thread ran which trial.
TEST(FastSearch, AnswersDoNotDependOnThreads) {
  std::vector<TPosition> heavy;
  for (const TPosition& position : GamePositions(57, 400)) {
    TGameBoard engine = position.Engine;
    if (Decide(engine, position.Colour, 16).Calls >= 2000) heavy.push_back(position);
  }
  ASSERT_GE(heavy.size(), 10u);

  auto decideAll = [&](bool helpers, std::vector<TDecision>& decisions) {
    for (const TPosition& position : heavy) {
      TGameBoard engine = position.Engine;
      engine.UseHelpers = helpers;
      decisions.push_back(Decide(engine, position.Colour, 16));
    }
  };
  std::vector<TDecision> alone, helped, first, second;
  decideAll(false, alone);
  decideAll(true, helped);
  std::thread other([&] { decideAll(true, second); });
  decideAll(true, first);
  other.join();
  for (size_t index = 0; index < heavy.size(); ++index) {
    for (const std::vector<TDecision>* run : {&helped, &first, &second}) {
      EXPECT_TRUE(SameAnswer((*run)[index], alone[index])) << "position " << index;
      EXPECT_EQ((*run)[index].Calls, alone[index].Calls) << "position " << index;
    }
  }
}

// A walk of two trials on the helper threads: the first waits until the second has started and
// then decides the walk; the second runs one search after another. Once the walk is decided the
// second trial's searches are stopped, so the work it does, counted in searches, stays far below
// what the same searches do unstopped.
struct TStopTrials {
  const TGameBoard& Engine;
  const CandidateLists& Lists;
  uint8_t Attacker;
  int Repeats;
  std::atomic<bool> LongStarted{false};
  std::atomic<int> Decided{-2};
  uint64_t LongCalls = 0;

  void Prepare(TFastSearch& search) const { search.Load(Engine.Board, Engine.Threat); }
  bool Needed(int) const { return true; }
  int Settle(uint64_t*) const { return Decided.load(); }
  void Run(TFastSearch& search, int trial) {
    if (trial == 0) {
      for (int wait = 0; wait < 5000 && !LongStarted.load(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      Decided = 0;
      return;
    }
    LongStarted = true;
    LongCalls = Searches(search, Lists, Attacker, Repeats);
  }
  static uint64_t Searches(TFastSearch& search, const CandidateLists& lists, uint8_t attacker,
                           int repeats) {
    search.TakeCalls();
    for (int repeat = 0; repeat < repeats; ++repeat) {
      int32_t column = 0, row = 0;
      search.FindForcedWin(attacker, attacker, column, row, 7, lists, 16);
    }
    return search.TakeCalls();
  }
};

TEST(SearchHelper, SettledWalksStopTheTrialsStillRunning) {
  if (TSearchHelper::UsableCores() < 2) {
    std::printf("one core: no helper threads to stop\n");
    return;
  }
  // The game position whose search for the side to move is the largest of the first fifty.
  TGameBoard heaviest;
  uint8_t attacker = CellBlack;
  uint64_t most = 0;
  auto search = std::make_unique<TFastSearch>();
  for (TPosition& position : GamePositions(57, 50)) {
    CandidateLists lists{};
    position.Engine.FillCandidates(lists);
    search->Load(position.Engine.Board, position.Engine.Threat);
    const uint64_t calls = TStopTrials::Searches(*search, lists, position.Colour, 1);
    if (calls > most) most = calls, heaviest = position.Engine, attacker = position.Colour;
  }
  ASSERT_GE(most, 100u);
  CandidateLists lists{};
  heaviest.FillCandidates(lists);
  const int repeats = static_cast<int>(2000000 / most) + 1;
  search->Load(heaviest.Board, heaviest.Threat);
  const uint64_t unstopped = TStopTrials::Searches(*search, lists, attacker, repeats);

  TStopTrials trials{heaviest, lists, attacker, repeats};
  search->Load(heaviest.Board, heaviest.Threat);
  TSearchHelper::RunTrials(trials, 2, *search, true);
  ASSERT_TRUE(trials.LongStarted.load()) << "a helper took the second trial";
  EXPECT_LT(trials.LongCalls, unstopped / 4)
      << "searched " << trials.LongCalls << " of " << unstopped;
}

struct TSearchAnswer {
  bool Won = false;
  int32_t Column = 0, Row = 0;
  uint64_t Calls = 0;
};

TSearchAnswer SearchWith(TGameBoard& engine, bool fast, uint8_t attacker, uint8_t toMove,
                         int32_t column, int32_t row, uint8_t minLevel, const CandidateLists& lists,
                         int32_t depth) {
  engine.UseFastSearch = fast;
  engine.ForcedWinCalls = 0;
  TSearchAnswer answer{false, column, row, 0};
  answer.Won = engine.FindForcedWin(attacker, toMove, answer.Column, answer.Row, minLevel, lists,
                                    engine.Threat, depth);
  answer.Calls = engine.ForcedWinCalls;
  return answer;
}

void ExpectSameSearch(TGameBoard& engine, uint8_t attacker, uint8_t toMove, int32_t column,
                      int32_t row, uint8_t minLevel, const CandidateLists& lists, int32_t depth) {
  const TGameBoard before = engine;
  const TSearchAnswer plain =
      SearchWith(engine, false, attacker, toMove, column, row, minLevel, lists, depth);
  const TSearchAnswer fast =
      SearchWith(engine, true, attacker, toMove, column, row, minLevel, lists, depth);
  EXPECT_EQ(fast.Won, plain.Won);
  if (plain.Won && attacker == toMove) {
    EXPECT_EQ(fast.Column, plain.Column);
    EXPECT_EQ(fast.Row, plain.Row);
  }
  EXPECT_LE(fast.Calls, plain.Calls);
  EXPECT_TRUE(SameBoard(engine, before));
}

// Direct searches as the shell and the tests make them: either colour to move, with and without
// a trial stone first, fours only and threes allowed: the same outcome, and on a win the same
// first move.
TEST(FastSearch, DirectSearchesAnswerAsThePlainSearch) {
  int searches = 0;
  VisitGamePositions(31, 6, [&](TGameBoard& engine, uint8_t colour) {
    CandidateLists lists{};
    engine.FillCandidates(lists);
    const uint8_t other = Opponent(colour);
    for (uint8_t minLevel : {uint8_t{7}, uint8_t{9}}) {
      ExpectSameSearch(engine, colour, colour, 0, 3, minLevel, lists, 12);
      ExpectSameSearch(engine, other, colour, 0, 0, minLevel, lists, 12);
      const CandidateEntry& first = lists.Of(other).Slot(1);
      if (first.Column != 0)
        ExpectSameSearch(engine, colour, colour, first.Column, first.Row, minLevel, lists, 12);
      // A caller's trial stone on one of the opponent's stones is placed over it.
      for (int32_t cell = 0; cell < BoardSize * BoardSize; ++cell) {
        const int32_t column = 1 + cell / BoardSize, row = 1 + cell % BoardSize;
        if (engine.CellAt(column, row) != other) continue;
        ExpectSameSearch(engine, colour, other, column, row, minLevel, lists, 6);
        break;
      }
      searches += 4;
    }
  });
  EXPECT_GT(searches, 300);
}

// A random board: `threes` runs of three in a row with both ends open, of `threesColour` (or of
// either colour when it is 0), then `stones` single stones of alternate colours. No stone completes
// five.
TGameBoard RandomBoard(std::mt19937& random, int threes, uint8_t threesColour, int stones) {
  static constexpr int32_t Steps[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
  TGameBoard engine;
  auto at = [&](int32_t column, int32_t row) {
    return InRange(column, 1, BoardSize) && InRange(row, 1, BoardSize) ? engine.CellAt(column, row)
                                                                       : CellBorder;
  };
  auto place = [&](int32_t column, int32_t row, uint8_t colour) {
    for (int direction = 0; direction < 4; ++direction)
      if (engine.Threat.At(colour, column, row, direction) == FiveLevel) return;
    engine.PlaceStone(column, row, colour);
  };
  auto cell = [&] { return 1 + static_cast<int32_t>(random() % BoardSize); };
  for (int three = 0; three < threes; ++three) {
    const int32_t column = cell(), row = cell();
    const int32_t* step = Steps[random() % 4];
    const uint8_t colour =
        threesColour != 0 ? threesColour : static_cast<uint8_t>(CellBlack + random() % 2);
    bool open = true;
    for (int k = -1; k <= 3; ++k)
      open = open && at(column + k * step[0], row + k * step[1]) == CellEmpty;
    for (int k = 0; k < 3 && open; ++k)
      place(column + k * step[0], row + k * step[1], colour);
  }
  for (int stone = 0; stone < stones; ++stone) {
    const int32_t column = cell(), row = cell();
    if (at(column, row) == CellEmpty) place(column, row, stone % 2 == 0 ? CellBlack : CellWhite);
  }
  return engine;
}

// In the checking build, how often each short-cut fired over the tests this process ran.
class TShortcutReport : public ::testing::Environment {
 public:
  void TearDown() override {
    if constexpr (ShortcutCheck::Enabled) {
      for (int rule = 0; rule < static_cast<int>(TShortcut::Count); ++rule) {
        const TShortcut shortcut = static_cast<TShortcut>(rule);
        std::printf("short-cut %-68s fired %llu times\n", ShortcutCheck::Name(shortcut),
                    static_cast<unsigned long long>(ShortcutCheck::Fired(shortcut)));
      }
    }
  }
};
[[maybe_unused]] ::testing::Environment* const ShortcutReport =
    ::testing::AddGlobalTestEnvironment(new TShortcutReport);

// Boards on which every short-cut of the fast search fires, decided both ways: random crowded
// boards, boards dense with threes, and boards crossed by open threes, where the block of a four
// leaves twelve cells or more at an open four on the lines through it; on those the searches
// start from each four of the attacker's, and from each three where both colours have threes, so
// that the defender's list holds too many open-four points to be read off the lines. The checking
// build (LINDORA_CHECK_SHORTCUTS) compares every short-cut with the full search as it fires, and
// here counts the firings: a rule that never fires is a gap in these sets.
TEST(FastSearch, SameAnswersOnBoardsThatMakeEveryShortCutFire) {
  uint64_t before[static_cast<int>(TShortcut::Count)];
  for (int rule = 0; rule < static_cast<int>(TShortcut::Count); ++rule)
    before[rule] = ShortcutCheck::Fired(static_cast<TShortcut>(rule));

  std::mt19937 random(2027);
  std::vector<TPosition> positions = GamePositions(7, 150);
  static constexpr int32_t Depths[4] = {2, 5, 8, 16};
  for (int board = 0; board < 60; ++board) {
    const uint8_t colour = static_cast<uint8_t>(CellBlack + board % 2);
    positions.push_back({RandomBoard(random, 0, 0, 90 + board), colour, Depths[board % 4]});
    positions.push_back({RandomBoard(random, 10, 0, 20), colour, Depths[board / 2 % 4]});
  }
  CompareBothWays(positions, 40);

  int searches = 0;
  for (int board = 0; board < 40; ++board) {
    const uint8_t attacker = static_cast<uint8_t>(CellBlack + board % 2);
    const uint8_t defender = Opponent(attacker);
    // Where both colours have threes, the attacker's threes are tried too.
    const bool both = board % 4 >= 2;
    TGameBoard engine = RandomBoard(random, 30, both ? 0 : attacker, 4);
    CandidateLists lists{};
    engine.FillCandidates(lists);
    for (int32_t column = 1; column <= BoardSize; ++column) {
      for (int32_t row = 1; row <= BoardSize; ++row) {
        if (engine.CellAt(column, row) != CellEmpty) continue;
        for (int direction = 0; direction < 4; ++direction) {
          const int8_t level = engine.Threat.At(attacker, column, row, direction);
          if (level != 9 && (!both || level < 7)) continue;
          for (int32_t depth : {3, 6})
            ExpectSameSearch(engine, attacker, defender, column, row, 7, lists, depth);
          searches += 2;
          break;
        }
      }
    }
  }
  EXPECT_GT(searches, 200);

  // A block whose answer with two levels left is not known: White's four has its five point on
  // (8, 8), where Black's block makes two open threes, and Black's threes pointing at one of
  // their open-four points, (7, 7), from five sides leave twelve of Black's open-four points on
  // the lines through White's block there. Every block still loses, so Black wins.
  static constexpr int32_t Sides[5][2] = {{-1, 0}, {1, 0}, {0, -1}, {-1, -1}, {1, -1}};
  TGameBoard pointed;
  PlaceAll(pointed, {{3, 8, CellBlack},
                     {4, 8, CellWhite},
                     {5, 8, CellWhite},
                     {6, 8, CellWhite},
                     {7, 8, CellWhite},
                     {8, 9, CellBlack},
                     {8, 10, CellBlack},
                     {9, 9, CellBlack},
                     {10, 10, CellBlack}});
  for (const int32_t* side : Sides) {
    for (int32_t k = 2; k <= 4; ++k)
      pointed.PlaceStone(7 + k * side[0], 7 + k * side[1], CellBlack);
  }
  CandidateLists pointedLists{};
  pointed.FillCandidates(pointedLists);
  ExpectSameSearch(pointed, CellBlack, CellBlack, 0, 0, 7, pointedLists, 4);

  if constexpr (ShortcutCheck::Enabled) {
    for (int rule = 0; rule < static_cast<int>(TShortcut::Count); ++rule) {
      const TShortcut shortcut = static_cast<TShortcut>(rule);
      EXPECT_GT(ShortcutCheck::Fired(shortcut), before[rule])
          << ShortcutCheck::Name(shortcut) << " never fired";
    }
  }
}

// Lists the compact slots cannot hold (a cell listed twice, a cell off the board) go to the plain
// search, so they are answered as before.
TEST(FastSearch, UnusualListsAreSearchedThePlainWay) {
  TGameBoard engine;
  PlaceAll(engine, {{6, 8, CellBlack}, {7, 8, CellBlack}, {8, 8, CellBlack}, {7, 9, CellWhite}});
  CandidateLists lists{};
  engine.FillCandidates(lists);

  CandidateLists twice = lists;
  twice.Of(CellBlack).Slot(12) = twice.Of(CellBlack).Slot(1);
  ExpectSameSearch(engine, CellBlack, CellBlack, 0, 0, 7, twice, 8);

  CandidateLists outside = lists;
  outside.Of(CellWhite).Slot(12) = CandidateEntry{3, 3, 16, 2};
  ExpectSameSearch(engine, CellBlack, CellBlack, 0, 0, 7, outside, 8);
}

// A trial stone asked for on an occupied intersection stands there during the search, and the
// stone that was there before is back afterwards, in both searches.
TEST(FastSearch, TrialStoneOnAnOccupiedCellLeavesTheStoneThere) {
  TGameBoard engine;
  PlaceAll(engine, {{6, 8, CellBlack}, {7, 8, CellBlack}, {8, 8, CellBlack}, {7, 9, CellWhite}});
  CandidateLists lists{};
  engine.FillCandidates(lists);
  ExpectSameSearch(engine, CellWhite, CellBlack, 7, 8, 7, lists, 8);
  EXPECT_EQ(engine.Board[7][8], CellBlack);
}

// The undo room holds the deepest chains: searches with no depth limit to speak of, fours only
// (where chains run longest before the lists run dry) and with threes at a depth well past the
// game's, from both sides of positions late in games. Each level stands on its own empty cell.
TEST(FastSearch, UndoRoomHoldsTheDeepestChains) {
  auto search = std::make_unique<TFastSearch>();
  int searches = 0;
  VisitGamePositions(41, 4, [&](TGameBoard& engine, uint8_t colour) {
    CandidateLists lists{};
    engine.FillCandidates(lists);
    search->Load(engine.Board, engine.Threat);
    for (uint8_t attacker : {colour, Opponent(colour)}) {
      int32_t column = 0, row = 0;
      search->FindForcedWin(attacker, attacker, column, row, 9, lists, 1 << 30);
      search->FindForcedWin(attacker, attacker, column, row, 7, lists, 24);
      searches += 2;
    }
  });
  EXPECT_GT(searches, 200);
  EXPECT_GT(search->DeepestUndo(), 8u * 16) << "the chains should run deeper than the game's";
  EXPECT_LE(search->DeepestUndo(), TFastSearch::UndoRoom) << search->DeepestUndo();
}

}  // namespace
