// SPDX-License-Identifier: GPL-3.0-or-later
// The forced-win search: the attacker's and the defender's steps on positions built for each,
// the answers it leaves in the out cell, and the board left as it was.
#include <gtest/gtest.h>

#include "GameBoard.h"
#include "PlayerPositions.h"

namespace {

constexpr uint8_t FoursOnly = 9;
constexpr uint8_t ThreesAllowed = 7;

class ForcedWinTest : public ::testing::Test {
 protected:
  TGameBoard Engine;

  // Searches the position as the move choice would start it: lists from a full scan and the
  // engine's own table. Checks that the board and the table come back unchanged.
  bool Search(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row, uint8_t minLevel,
              int32_t depth = 16) {
    CandidateLists lists{};
    Engine.FillCandidates(lists);
    const TGameBoard before = Engine;
    Engine.ForcedWinCalls = 0;
    const bool won =
        Engine.FindForcedWin(attacker, toMove, column, row, minLevel, lists, Engine.Threat, depth);
    EXPECT_TRUE(SameBoard(Engine, before));
    EXPECT_TRUE(SameThreats(Engine.Threat, before.Threat));
    return won;
  }
};

TEST_F(ForcedWinTest, NoDepthNoSearch) {
  PlaceAll(Engine, {{4, 8, CellWhite}, {5, 8, CellWhite}, {6, 8, CellWhite}, {7, 8, CellWhite}});
  int32_t column = 9, row = 9;
  EXPECT_FALSE(Search(CellWhite, CellBlack, column, row, ThreesAllowed, 0));
  EXPECT_EQ(column, 9);
  EXPECT_EQ(row, 9);
  EXPECT_EQ(Engine.Board[9][9], CellEmpty);
  EXPECT_EQ(Engine.ForcedWinCalls, 1u);
}

TEST_F(ForcedWinTest, FivePointWinsAtOnce) {
  PlaceAll(Engine, {{4, 8, CellWhite}, {5, 8, CellWhite}, {6, 8, CellWhite}, {7, 8, CellWhite}});
  int32_t column = 0, row = 0;
  EXPECT_TRUE(Search(CellWhite, CellWhite, column, row, FoursOnly));
  // Both ends are five points; the later one in scan order leads the list.
  EXPECT_EQ(column, 8);
  EXPECT_EQ(row, 8);
  EXPECT_EQ(Engine.ForcedWinCalls, 1u);
}

TEST_F(ForcedWinTest, BlockingTheDefendersFiveComesFirst) {
  // Black threatens five at (8, 8); White has an open three on column 8 whose open-four points
  // (8, 4) and (8, 8) are level 10. The block at (8, 8) also makes White's four.
  PlaceAll(Engine, {{3, 8, CellWhite},
                    {4, 8, CellBlack},
                    {5, 8, CellBlack},
                    {6, 8, CellBlack},
                    {7, 8, CellBlack},
                    {8, 5, CellWhite},
                    {8, 6, CellWhite},
                    {8, 7, CellWhite}});
  int32_t column = 0, row = 0;
  EXPECT_TRUE(Search(CellWhite, CellWhite, column, row, ThreesAllowed));
  EXPECT_EQ(column, 8);
  EXPECT_EQ(row, 8);
  // The block, Black's block of one of the two five points, and White's five.
  EXPECT_EQ(Engine.ForcedWinCalls, 3u);

  // The block decides even when it leads nowhere: take White's three away and the search fails
  // without trying anything else.
  Engine.PlaceStone(8, 5, CellEmpty);
  Engine.PlaceStone(8, 6, CellEmpty);
  column = 0;
  EXPECT_FALSE(Search(CellWhite, CellWhite, column, row, ThreesAllowed));
  EXPECT_EQ(column, 8);
  EXPECT_EQ(row, 8);
}

TEST_F(ForcedWinTest, OpenFourPointWinsWhenNoFiveIsThreatened) {
  PlaceAll(Engine, {{6, 8, CellBlack}, {7, 8, CellBlack}, {8, 8, CellBlack}});
  int32_t column = 0, row = 0;
  EXPECT_TRUE(Search(CellBlack, CellBlack, column, row, FoursOnly));
  EXPECT_EQ(column, 9);
  EXPECT_EQ(row, 8);
  EXPECT_EQ(Engine.ForcedWinCalls, 1u);
}

TEST_F(ForcedWinTest, FoursOnlyTriesEveryFourAndNoThree) {
  // A dead three gives Black the four points (7, 8) and (8, 8); each four is blocked and
  // nothing is left. The two stones on column 11 give threes, which fours-only never tries.
  PlaceAll(Engine, {{3, 8, CellWhite},
                    {4, 8, CellBlack},
                    {5, 8, CellBlack},
                    {6, 8, CellBlack},
                    {11, 3, CellBlack},
                    {11, 4, CellBlack}});
  int32_t column = 0, row = 0;
  EXPECT_FALSE(Search(CellBlack, CellBlack, column, row, FoursOnly));
  // Two fours, each answered by its one block: five calls in all.
  EXPECT_EQ(Engine.ForcedWinCalls, 5u);
  // The out cell holds the last four handed on: (8, 8) leads the list, (7, 8) follows.
  EXPECT_EQ(column, 7);
  EXPECT_EQ(row, 8);
}

TEST_F(ForcedWinTest, DefendersWinByFoursBeatsTheAttackersThrees) {
  // White: one stone on (12, 11) makes open threes on row 11 and column 12 at once.
  PlaceAll(Engine,
           {{10, 11, CellWhite}, {11, 11, CellWhite}, {12, 9, CellWhite}, {12, 10, CellWhite}});
  // Black: a dead three on row 8 whose four points are level 9.
  PlaceAll(Engine, {{3, 8, CellWhite}, {4, 8, CellBlack}, {5, 8, CellBlack}, {6, 8, CellBlack}});
  int32_t column = 0, row = 0;
  EXPECT_TRUE(Search(CellWhite, CellWhite, column, row, ThreesAllowed));
  EXPECT_FALSE(Search(CellWhite, CellWhite, column, row, FoursOnly));

  // A second dead three on column 7 crosses the first at (7, 8): a double four there wins for
  // Black by fours, so White's threes come too late.
  PlaceAll(Engine, {{7, 3, CellWhite}, {7, 4, CellBlack}, {7, 5, CellBlack}, {7, 6, CellBlack}});
  column = 0;
  EXPECT_FALSE(Search(CellWhite, CellWhite, column, row, ThreesAllowed));
  column = 0;
  EXPECT_TRUE(Search(CellBlack, CellBlack, column, row, FoursOnly));
  EXPECT_EQ(column, 7);
  EXPECT_EQ(row, 8);
}

// The defender to move against the attacker's level-10 points, on hand-made lists: twelve cells
// of level 10 in every direction, so a block lowers none of the others.
class DefenderTest : public ::testing::Test {
 protected:
  TGameBoard Engine;
  SearchState State{};

  void AddAttackerCell(int column, int row, int8_t level) {
    for (int d = 0; d < 4; ++d)
      State.Threats.At(CellBlack, column, row, d) = level;
    Engine.RankCandidate(State, CellBlack, column, row);
  }
  bool DefenderToMove() {
    int32_t column = 0, row = 0;
    Engine.ForcedWinCalls = 0;
    return Engine.FindForcedWin(CellBlack, CellWhite, column, row, ThreesAllowed, State.Lists,
                                State.Threats, 16);
  }
};

TEST_F(DefenderTest, EveryBlockLosingAndAWeakerSlotAfterThemWins) {
  for (int i = 0; i < 11; ++i)
    AddAttackerCell(1 + i, 1 + (i * 4) % 15, 10);
  AddAttackerCell(13, 13, 8);
  EXPECT_TRUE(DefenderToMove());
  EXPECT_EQ(Engine.ForcedWinCalls, 12u);  // the search and its eleven blocks
}

TEST_F(DefenderTest, TwelveLosingBlocksAreNoWin) {
  for (int i = 0; i < 12; ++i)
    AddAttackerCell(1 + i, 1 + (i * 4) % 15, 10);
  EXPECT_FALSE(DefenderToMove());
  EXPECT_EQ(Engine.ForcedWinCalls, 13u);
}

TEST_F(DefenderTest, DefendersOwnThreatsComeFirst) {
  AddAttackerCell(3, 3, 10);
  for (int8_t level : {11, 10}) {
    for (int d = 0; d < 4; ++d)
      State.Threats.At(CellWhite, 9, 9, d) = level;
    Engine.RankCandidate(State, CellWhite, 9, 9);
    EXPECT_FALSE(DefenderToMove()) << int(level);
    EXPECT_EQ(Engine.ForcedWinCalls, 1u);
  }
}

TEST_F(ForcedWinTest, OneBlockThatHoldsRefutesAnOpenThree) {
  // Black's trial stone on (8, 8) makes an open three; White to move finds a block after which
  // Black has nothing left. A second open three through the same stone cannot be held.
  PlaceAll(Engine, {{6, 8, CellBlack}, {7, 8, CellBlack}});
  int32_t column = 8, row = 8;
  EXPECT_FALSE(Search(CellBlack, CellWhite, column, row, ThreesAllowed));
  EXPECT_EQ(column, 8);  // the defender's turn never writes the out cell
  EXPECT_EQ(Engine.Board[8][8], CellEmpty);

  PlaceAll(Engine, {{8, 6, CellBlack}, {8, 7, CellBlack}});
  EXPECT_TRUE(Search(CellBlack, CellWhite, column, row, ThreesAllowed));
}

// On positions from games, with and without a trial stone: the board and the table are as
// before after every search, and a win found with the attacker to move names an empty cell.
TEST_F(ForcedWinTest, LeavesTheBoardAsItWas) {
  int wins = 0;
  VisitGamePositions(5, 6, [&](TGameBoard& position, uint8_t colour) {
    Engine = position;
    int32_t column = 0, row = 0;
    if (Search(colour, colour, column, row, ThreesAllowed, 8)) {
      ++wins;
      EXPECT_EQ(Engine.Board[column][row], CellEmpty);
    }
  });
  EXPECT_GT(wins, 0);
}

}  // namespace
