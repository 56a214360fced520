// SPDX-License-Identifier: GPL-3.0-or-later
// Move choice: each rung of the ladder with its verdict, the scan's tie-break, and on many
// positions from games the board and the table left as they were and a legal answer.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "GameBoard.h"
#include "PlayerPositions.h"
#include "ShellCommands.h"

namespace {

struct TChoice {
  int32_t Column, Row;
  std::string Panel;
};

class MoveChoiceTest : public ::testing::Test {
 protected:
  TGameBoard Engine;
  TRecordingReporter Recorder;

  void SetUp() override { Engine.SetReporter(&Recorder); }

  // Chooses with the given incoming column and row and checks what every decision must keep:
  // the position untouched, one verdict in panel 0, no message box.
  TChoice Choose(uint8_t colour, int32_t depth = 16, int32_t column = 0, int32_t row = 0) {
    const TGameBoard before = Engine;
    Recorder.Reset();
    Engine.ChooseMove(colour, column, row, depth);
    EXPECT_TRUE(SameBoard(Engine, before));
    EXPECT_TRUE(SameThreats(Engine.Threat, before.Threat));
    EXPECT_TRUE(Recorder.Messages.empty());
    if (Recorder.Panels.size() != 1 || Recorder.Panels[0].first != 0) {
      ADD_FAILURE() << "expected one write to panel 0, got " << Recorder.Panels.size();
      return {column, row, "?"};
    }
    return {column, row, Recorder.Panels[0].second};
  }
};

TEST_F(MoveChoiceTest, NoDepthDoesNothing) {
  Engine.PlaceStone(8, 8, CellBlack);
  for (int32_t depth : {0, -1, -2147483647 - 1}) {
    int32_t column = 42, row = -7;
    Engine.ForcedWinCalls = 99;
    Engine.ChooseMove(CellWhite, column, row, depth);
    EXPECT_EQ(column, 42);
    EXPECT_EQ(row, -7);
    EXPECT_TRUE(Recorder.Panels.empty());
    EXPECT_EQ(Engine.ForcedWinCalls, 0u);
  }
}

TEST_F(MoveChoiceTest, LoneStoneGetsTheFirstBestScoringNeighbour) {
  Engine.PlaceStone(8, 8, CellBlack);
  const TChoice choice = Choose(CellWhite);
  EXPECT_EQ(choice.Column, 7);
  EXPECT_EQ(choice.Row, 7);
  EXPECT_EQ(choice.Panel, " ");
  // The incoming cell plays no part, even an occupied one.
  const TChoice again = Choose(CellWhite, 16, 8, 8);
  EXPECT_EQ(again.Column, 7);
  EXPECT_EQ(again.Row, 7);
}

TEST_F(MoveChoiceTest, OwnFivePointWins) {
  PlaceAll(Engine, {{4, 8, CellWhite}, {5, 8, CellWhite}, {6, 8, CellWhite}, {7, 8, CellWhite}});
  const TChoice choice = Choose(CellWhite);
  EXPECT_EQ(choice.Column, 8);
  EXPECT_EQ(choice.Row, 8);
  EXPECT_EQ(choice.Panel, "I win! ");
  EXPECT_EQ(Engine.ForcedWinCalls, 1u);
}

TEST_F(MoveChoiceTest, OpponentsFivePointIsBlockedSilently) {
  PlaceAll(Engine, {{4, 8, CellBlack}, {5, 8, CellBlack}, {6, 8, CellBlack}, {7, 8, CellBlack}});
  const TChoice choice = Choose(CellWhite);
  EXPECT_EQ(choice.Column, 8);
  EXPECT_EQ(choice.Row, 8);
  EXPECT_EQ(choice.Panel, " ");
}

TEST_F(MoveChoiceTest, OpenThreeIsAnsweredAtTheFirstHoldingBlock) {
  PlaceAll(Engine, {{6, 8, CellBlack}, {7, 8, CellBlack}, {8, 8, CellBlack}});
  const TChoice choice = Choose(CellWhite);
  EXPECT_EQ(choice.Column, 9);
  EXPECT_EQ(choice.Row, 8);
  EXPECT_EQ(choice.Panel, "you will win! ");
}

TEST_F(MoveChoiceTest, TwoOpenThreesCannotBeHeld) {
  PlaceAll(Engine, {{3, 3, CellBlack},
                    {4, 3, CellBlack},
                    {5, 3, CellBlack},
                    {10, 12, CellBlack},
                    {11, 12, CellBlack},
                    {12, 12, CellBlack}});
  const TChoice choice = Choose(CellWhite);
  // Slot 1 of Black's list: the later open-four point in scan order.
  EXPECT_EQ(choice.Column, 13);
  EXPECT_EQ(choice.Row, 12);
  EXPECT_EQ(choice.Panel, "you win! ");
  // One search for White, one for Black, one per tried block: all twelve slots lose.
  EXPECT_GE(Engine.ForcedWinCalls, 14u);
}

TEST_F(MoveChoiceTest, QuietMoveThatSetsUpAForcedWin) {
  // Found among opening positions: Black has no forced win now, but after (9, 8) it wins
  // against an answer on one of its strong cells.
  PlaceAll(Engine, {{9, 9, CellBlack}, {7, 10, CellWhite}, {11, 5, CellBlack}, {8, 9, CellWhite}});
  const TChoice choice = Choose(CellBlack);
  EXPECT_EQ(choice.Column, 9);
  EXPECT_EQ(choice.Row, 8);
  EXPECT_EQ(choice.Panel, "I will win! ");
  // Shallower, the same move no longer sets anything up and the best score decides.
  const TChoice shallow = Choose(CellBlack, 3);
  EXPECT_EQ(shallow.Panel, " ");
}

// Two quiet moves set up a win here with the same cell score; the later slot of White's list,
// (10, 6), is played, by the fast walk and the plain one alike.
TEST_F(MoveChoiceTest, EqualSetUpScoresPlayTheLaterSlot) {
  PlaceAll(Engine, {{6, 6, CellBlack},
                    {9, 9, CellBlack},
                    {10, 12, CellBlack},
                    {11, 7, CellWhite},
                    {9, 6, CellWhite}});
  for (bool fast : {true, false}) {
    Engine.UseFastSearch = fast;
    const TChoice choice = Choose(CellWhite);
    EXPECT_EQ(choice.Column, 10) << (fast ? "fast" : "plain");
    EXPECT_EQ(choice.Row, 6) << (fast ? "fast" : "plain");
    EXPECT_EQ(choice.Panel, "I will win! ") << (fast ? "fast" : "plain");
  }
}

TEST_F(MoveChoiceTest, NothingToRateAnswersTheBorderCell) {
  const TChoice choice = Choose(CellBlack);
  EXPECT_EQ(choice.Column, 0);
  EXPECT_EQ(choice.Row, 0);
  EXPECT_EQ(choice.Panel, " ");
}

// Positions from games, every fifth at the game's depth: each decision keeps the position (the
// fixture checks it), answers an empty intersection, or (0, 0) when nothing carries a level,
// and one of the five verdicts.
TEST_F(MoveChoiceTest, EveryDecisionLeavesThePositionAndAnswersAnEmptyCell) {
  const std::set<std::string> verdicts = {"I win! ", "you win! ", "you will win! ", "I will win! ",
                                          " "};
  int position = 0;
  std::set<std::string> seen;
  VisitGamePositions(23, 10, [&](TGameBoard& game, uint8_t colour) {
    Engine = game;
    Engine.SetReporter(&Recorder);
    const TChoice choice = Choose(colour, position++ % 5 == 0 ? 16 : 5);
    EXPECT_EQ(verdicts.count(choice.Panel), 1u) << choice.Panel;
    seen.insert(choice.Panel);
    if (choice.Column == 0 && choice.Row == 0) {
      // Only when no empty intersection carries a level for either colour.
      for (int column = 1; column <= BoardSize; ++column) {
        for (int row = 1; row <= BoardSize; ++row) {
          if (Engine.Board[column][row] != CellEmpty) continue;
          ASSERT_EQ(Engine.Threat.Word(CellBlack, column, row), 0u);
          ASSERT_EQ(Engine.Threat.Word(CellWhite, column, row), 0u);
        }
      }
      return;
    }
    ASSERT_TRUE(InRange(choice.Column, 1, BoardSize)) << choice.Column;
    ASSERT_TRUE(InRange(choice.Row, 1, BoardSize)) << choice.Row;
    EXPECT_EQ(Engine.Board[choice.Column][choice.Row], CellEmpty);
  });
  EXPECT_GT(position, 300);
  EXPECT_GE(seen.size(), 3u);
}

TEST(ChooseCommand, AnswersTheMoveVerdictAndSearchCount) {
  TEngineShell shell;
  shell.Execute("place 8 8 2");
  EXPECT_EQ(shell.Execute("choose 3 16"),
            "{\"column\":7,\"row\":7,\"panels\":[[0,\" \"]],\"messages\":[],\"nodes\":2}");
  for (int column : {4, 5, 6, 7})
    shell.Execute("place " + std::to_string(column) + " 8 3");
  const std::string before = shell.Execute("board");
  EXPECT_EQ(shell.Execute("choose 3 16"),
            "{\"column\":3,\"row\":8,\"panels\":[[0,\"I win! \"]],\"messages\":[],\"nodes\":1}");
  EXPECT_EQ(shell.Execute("choose 2 -5"),
            "{\"column\":0,\"row\":0,\"panels\":[],\"messages\":[],\"nodes\":0}");
  EXPECT_EQ(shell.Execute("board"), before);
}

// The plain search makes every search the ladder describes, the fast one only those the answer
// depends on: here two set-up moves win with the same score, and the fast search stops at the
// later one, which it tries first. A bad argument changes nothing.
TEST(SearchCommand, SwitchesTheSearchAndKeepsTheAnswer) {
  TEngineShell shell;
  for (const char* stone :
       {"place 6 6 2", "place 9 9 2", "place 10 12 2", "place 11 7 3", "place 9 6 3"})
    shell.Execute(stone);
  const std::string answer =
      "{\"column\":10,\"row\":6,\"panels\":[[0,\"I will win! \"]],"
      "\"messages\":[],\"nodes\":";
  EXPECT_EQ(shell.Execute("search plain"), "{\"ok\":true}");
  EXPECT_EQ(shell.Execute("choose 3 16"), answer + "117583}");
  for (const char* bad : {"search", "search slow", "search fast plain", "search PLAIN"})
    EXPECT_EQ(shell.Execute(bad).rfind("{\"error\":\"", 0), 0u) << bad;
  EXPECT_EQ(shell.Execute("choose 3 16"), answer + "117583}");
  EXPECT_EQ(shell.Execute("search fast"), "{\"ok\":true}");
  const std::string fast = shell.Execute("choose 3 16");
  ASSERT_EQ(fast.rfind(answer, 0), 0u) << fast;
  EXPECT_LT(std::stoi(fast.substr(answer.size())), 117583 / 10) << fast;
}

TEST(ChooseCommand, RefusesBadInput) {
  TEngineShell shell;
  shell.Execute("place 8 8 2");
  const std::string before = shell.Execute("board");
  for (const char* line :
       {"choose", "choose 3", "choose 3 16 1", "choose 1 16", "choose 4 16", "choose 0 16",
        "choose x 16", "choose 3 1.5", "choose 3 2147483648", "choose 3 16x"}) {
    const std::string answer = shell.Execute(line);
    EXPECT_EQ(answer.rfind("{\"error\":\"", 0), 0u) << line << " -> " << answer;
  }
  EXPECT_EQ(shell.Execute("board"), before);
}

}  // namespace
