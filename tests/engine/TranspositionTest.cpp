// The move choice with its table of known searches against the same choice searching afresh:
// on positions from seeded games, the same move, verdict, messages and FindForcedWin count.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "GameBoard.h"
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

// Plays seeded games at depth 16 with the literal choice; before each move a keyed engine that
// has kept its table since the first game (entries of earlier positions included) decides the
// same position at `depth`, and must match the literal decision in everything.
void CompareOnGames(uint32_t seed, int positions, int32_t depth) {
  std::mt19937 random(seed);
  TGameBoard keyed;
  int compared = 0, searched = 0;
  while (compared < positions) {
    TGameBoard literal;
    literal.UseTranspositions = false;
    uint8_t colour = CellBlack;
    const int opening = 2 + static_cast<int>(random() % 4);
    for (int placed = 0; placed < opening;) {
      const int32_t column = 6 + static_cast<int32_t>(random() % 5);
      const int32_t row = 6 + static_cast<int32_t>(random() % 5);
      if (literal.Board[column][row] != CellEmpty) continue;
      literal.PlaceStone(column, row, colour);
      colour = Opponent(colour);
      ++placed;
    }
    while (compared < positions) {
      std::memcpy(keyed.Board, literal.Board, sizeof keyed.Board);
      keyed.Threat = literal.Threat;
      const TDecision fast = Decide(keyed, colour, depth);
      const TDecision plain = Decide(literal, colour, depth);
      ++compared;
      if (plain.Calls > 1) ++searched;
      ASSERT_EQ(fast.Column, plain.Column) << "position " << compared;
      ASSERT_EQ(fast.Row, plain.Row) << "position " << compared;
      ASSERT_EQ(fast.Panels, plain.Panels) << "position " << compared;
      ASSERT_EQ(fast.Messages, plain.Messages) << "position " << compared;
      ASSERT_EQ(fast.Calls, plain.Calls) << "position " << compared;
      ASSERT_TRUE(SameBoard(keyed, literal));

      int32_t column = 0, row = 0;
      if (depth != 16)
        literal.ChooseMove(colour, column, row, 16);
      else
        column = plain.Column, row = plain.Row;
      if (column == 0) break;
      double score = 0;
      const bool five = literal.WinScore(column, row, colour, score);
      literal.PlaceStone(column, row, colour);
      if (five) break;
      colour = Opponent(colour);
    }
  }
  // The comparison means something only where the ladder actually searched.
  EXPECT_GT(searched, positions / 2);
}

TEST(Transpositions, SameDecisionsAsTheFullSearchAtGameDepth) {
  CompareOnGames(20261208, 150, 16);
}

TEST(Transpositions, SameDecisionsAsTheFullSearchAtOtherDepths) {
  CompareOnGames(7, 150, 5);
  CompareOnGames(8, 150, 9);
}

// Outside ChooseMove the search never consults the table, so a direct FindForcedWin after a
// decision counts and answers as on a fresh engine.
TEST(Transpositions, DirectSearchIsUnkeyed) {
  TGameBoard engine, fresh;
  PlaceAll(engine, {{7, 8, CellBlack},
                    {8, 8, CellBlack},
                    {9, 8, CellBlack},
                    {7, 9, CellWhite},
                    {8, 10, CellWhite}});
  PlaceAll(fresh, {{7, 8, CellBlack},
                   {8, 8, CellBlack},
                   {9, 8, CellBlack},
                   {7, 9, CellWhite},
                   {8, 10, CellWhite}});
  int32_t column = 0, row = 0;
  engine.ChooseMove(CellBlack, column, row, 16);
  CandidateLists lists{};
  engine.FillCandidates(lists);
  int32_t a = 0, b = 0, c = 0, d = 0;
  engine.ForcedWinCalls = 0;
  fresh.ForcedWinCalls = 0;
  EXPECT_EQ(engine.FindForcedWin(CellBlack, CellBlack, a, b, 7, lists, engine.Threat, 16),
            fresh.FindForcedWin(CellBlack, CellBlack, c, d, 7, lists, fresh.Threat, 16));
  EXPECT_EQ(a, c);
  EXPECT_EQ(b, d);
  EXPECT_EQ(engine.ForcedWinCalls, fresh.ForcedWinCalls);
  EXPECT_TRUE(SameBoard(engine, fresh));
}

}  // namespace
