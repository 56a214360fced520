// The fast search against the plain one that copies its lists and table at every level: on
// positions from seeded games, the same move, verdict, messages and FindForcedWin count, and the
// same answers from direct searches.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "GameBoard.h"
#include "GameOpenings.h"
#include "PlayerPositions.h"
#include "ShellCommands.h"

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

// Plays seeded games at depth 16 with the plain search; before each move a fast engine decides
// the same position at `depth`, and must match the plain decision in everything.
void CompareOnGames(uint32_t seed, int positions, int32_t depth) {
  std::mt19937 random(seed);
  TGameBoard fastEngine;
  int compared = 0, searched = 0;
  while (compared < positions) {
    TGameBoard plainEngine;
    plainEngine.UseFastSearch = false;
    uint8_t colour = PlaceOpening(plainEngine, random, OpeningSize(random));
    while (compared < positions) {
      std::memcpy(fastEngine.Board, plainEngine.Board, sizeof fastEngine.Board);
      fastEngine.Threat = plainEngine.Threat;
      const TDecision fast = Decide(fastEngine, colour, depth);
      const TDecision plain = Decide(plainEngine, colour, depth);
      ++compared;
      if (plain.Calls > 1) ++searched;
      ASSERT_EQ(fast.Column, plain.Column) << "position " << compared;
      ASSERT_EQ(fast.Row, plain.Row) << "position " << compared;
      ASSERT_EQ(fast.Panels, plain.Panels) << "position " << compared;
      ASSERT_EQ(fast.Messages, plain.Messages) << "position " << compared;
      ASSERT_EQ(fast.Calls, plain.Calls) << "position " << compared;
      ASSERT_TRUE(SameBoard(fastEngine, plainEngine));
      ASSERT_TRUE(SameThreats(fastEngine.Threat, plainEngine.Threat));

      int32_t column = 0, row = 0;
      if (depth != 16)
        plainEngine.ChooseMove(colour, column, row, 16);
      else
        column = plain.Column, row = plain.Row;
      if (column == 0) break;
      if (!PlayOn(plainEngine, colour, column, row)) break;
    }
  }
  // The comparison means something only where the ladder actually searched.
  EXPECT_GT(searched, positions / 2);
}

TEST(FastSearch, SameDecisionsAsThePlainSearchAtGameDepth) {
  CompareOnGames(20261208, 150, 16);
}

TEST(FastSearch, SameDecisionsAsThePlainSearchAtOtherDepths) {
  CompareOnGames(7, 150, 5);
  CompareOnGames(8, 150, 9);
}

bool SameDecision(const TDecision& a, const TDecision& b) {
  return a.Column == b.Column && a.Row == b.Row && a.Calls == b.Calls && a.Messages == b.Messages &&
         a.Panels == b.Panels;
}

// Two engines deciding at the same moment on two threads: one of them has the helper thread and
// the other walks alone, and both still answer as the plain search does.
TEST(FastSearch, TwoEnginesDecidingAtOnceAnswerAsThePlainSearch) {
  struct TCase {
    TGameBoard Engine;
    uint8_t Colour;
    TDecision Plain;
  };
  std::vector<TCase> cases;
  VisitGamePositions(57, 8, [&](TGameBoard& engine, uint8_t colour) {
    if (cases.size() >= 24) return;
    TGameBoard plain = engine;
    plain.UseFastSearch = false;
    const TDecision decision = Decide(plain, colour, 16);
    if (decision.Calls >= 200) cases.push_back({engine, colour, decision});
  });
  ASSERT_GE(cases.size(), 12u);

  auto decideAll = [&](std::vector<TDecision>& decisions) {
    for (const TCase& known : cases) {
      TGameBoard engine = known.Engine;
      decisions.push_back(Decide(engine, known.Colour, 16));
    }
  };
  std::vector<TDecision> first, second;
  std::thread other([&] { decideAll(second); });
  decideAll(first);
  other.join();
  for (size_t index = 0; index < cases.size(); ++index) {
    EXPECT_TRUE(SameDecision(first[index], cases[index].Plain)) << "position " << index;
    EXPECT_TRUE(SameDecision(second[index], cases[index].Plain)) << "position " << index;
  }
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
  EXPECT_EQ(fast.Column, plain.Column);
  EXPECT_EQ(fast.Row, plain.Row);
  EXPECT_EQ(fast.Calls, plain.Calls);
  EXPECT_TRUE(SameBoard(engine, before));
}

// Direct searches as the shell and the tests make them: either colour to move, with and without
// a trial stone first, fours only and threes allowed; the move pair comes back alike whether the
// search wins or not.
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
      searches += 3;
    }
  });
  EXPECT_GT(searches, 300);
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

}  // namespace
