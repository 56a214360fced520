// SPDX-License-Identifier: GPL-3.0-or-later
// Candidate lists: the ranking rules of RankCandidate, dropping and clearing, and the refresh
// that follows a trial stone on a working copy of the threat table.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "GameBoard.h"
#include "PlayerPositions.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

// Gives a cell the four levels of one colour in the state's table.
void SetLevels(SearchState& state, uint8_t colour, int column, int row, int8_t d0, int8_t d1 = 0,
               int8_t d2 = 0, int8_t d3 = 0) {
  const int8_t levels[4] = {d0, d1, d2, d3};
  for (int d = 0; d < 4; ++d)
    state.Threats.At(colour, column, row, d) = levels[d];
}

Cells Listed(const SearchState& state, uint8_t colour) {
  Cells cells;
  for (const CandidateEntry& entry : state.Lists.Of(colour).Slots) {
    if (entry.Column != 0) cells.emplace_back(entry.Column, entry.Row);
  }
  return cells;
}

class RankCandidateTest : public ::testing::Test {
 protected:
  TGameBoard Engine;
  SearchState State{};

  // Ranks cells (column, 1) for column 1..levels.size() with a single level each.
  void RankRow(std::initializer_list<int8_t> levels) {
    int column = 1;
    for (int8_t level : levels) {
      SetLevels(State, CellBlack, column, 1, level);
      Engine.RankCandidate(State, CellBlack, column, 1);
      ++column;
    }
  }
};

TEST_F(RankCandidateTest, NewcomersByLevelThenLevelSumThenArrival) {
  SetLevels(State, CellBlack, 5, 5, 8, 2);  // Level 8, sum 10
  SetLevels(State, CellBlack, 6, 6, 8, 4);  // Level 8, sum 12: ahead of (5, 5)
  SetLevels(State, CellBlack, 7, 7, 8, 2);  // same Level and sum as (5, 5): behind it
  SetLevels(State, CellBlack, 8, 8, 9);     // higher Level: first
  SetLevels(State, CellBlack, 9, 9, 0);     // Level 0 never enters
  for (int cell = 5; cell <= 9; ++cell)
    Engine.RankCandidate(State, CellBlack, cell, cell);
  EXPECT_EQ(Listed(State, CellBlack), (Cells{{8, 8}, {6, 6}, {5, 5}, {7, 7}}));
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(2).LevelSum, 12);
  EXPECT_TRUE(Listed(State, CellWhite).empty());
}

TEST_F(RankCandidateTest, FullListTakesOnlyAStrictlyHigherLevel) {
  RankRow({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 7});
  // Equal to slot 12's Level: refused however large its LevelSum.
  SetLevels(State, CellBlack, 1, 2, 7, 7, 7, 7);
  Engine.RankCandidate(State, CellBlack, 1, 2);
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(12).Column, 12);
  // One above: goes in behind the nines and pushes the old slot 12 out.
  SetLevels(State, CellBlack, 1, 3, 8);
  Engine.RankCandidate(State, CellBlack, 1, 3);
  const CandidateEntry& last = State.Lists.Of(CellBlack).Slot(12);
  EXPECT_EQ(last.Level, 8);
  EXPECT_EQ(last.Row, 3);
  EXPECT_EQ(Listed(State, CellBlack).size(), 12u);
}

TEST_F(RankCandidateTest, ListedCellMovesByLevelAlone) {
  RankRow({10, 8, 8, 8, 5, 5});
  // Rising to 8: behind every entry that already has 8.
  SetLevels(State, CellBlack, 6, 1, 8);
  Engine.RankCandidate(State, CellBlack, 6, 1);
  EXPECT_EQ(Listed(State, CellBlack), (Cells{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {6, 1}, {5, 1}}));
  // Falling to 5: ahead of every entry that already has 5.
  SetLevels(State, CellBlack, 2, 1, 5);
  Engine.RankCandidate(State, CellBlack, 2, 1);
  EXPECT_EQ(Listed(State, CellBlack), (Cells{{1, 1}, {3, 1}, {4, 1}, {6, 1}, {2, 1}, {5, 1}}));
  // Same Level, larger sum: keeps its slot, takes the new sum.
  SetLevels(State, CellBlack, 4, 1, 8, 8, 8, 8);
  Engine.RankCandidate(State, CellBlack, 4, 1);
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(3).Column, 4);
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(3).LevelSum, 32);
  // All levels gone: stays listed with Level 0, at the end.
  SetLevels(State, CellBlack, 1, 1, 0);
  Engine.RankCandidate(State, CellBlack, 1, 1);
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(6).Column, 1);
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(6).Level, 0);
}

TEST_F(RankCandidateTest, OccupiedCellIsLeftAlone) {
  RankRow({8, 6});
  Engine.Board[2][1] = CellWhite;
  SetLevels(State, CellBlack, 2, 1, 11);
  Engine.RankCandidate(State, CellBlack, 2, 1);
  Engine.Board[5][5] = CellBlack;
  SetLevels(State, CellBlack, 5, 5, 11);
  Engine.RankCandidate(State, CellBlack, 5, 5);
  EXPECT_EQ(Listed(State, CellBlack), (Cells{{1, 1}, {2, 1}}));
  EXPECT_EQ(State.Lists.Of(CellBlack).Slot(2).Level, 6);
}

TEST_F(RankCandidateTest, DropAndClearEmptyTheirSlots) {
  RankRow({9, 8, 7});
  TGameBoard::DropCandidate(State, CellBlack, 9, 9);  // not listed
  EXPECT_EQ(Listed(State, CellBlack).size(), 3u);
  TGameBoard::DropCandidate(State, CellBlack, 1, 1);
  EXPECT_EQ(Listed(State, CellBlack), (Cells{{2, 1}, {3, 1}}));
  const CandidateEntry& freed = State.Lists.Of(CellBlack).Slot(12);
  EXPECT_EQ(freed.Level, 0);
  EXPECT_EQ(freed.Column, 0);
  SetLevels(State, CellWhite, 4, 4, 5);
  Engine.RankCandidate(State, CellWhite, 4, 4);
  TGameBoard::ClearCandidates(State, CellBlack);
  EXPECT_TRUE(Listed(State, CellBlack).empty());
  EXPECT_EQ(Listed(State, CellWhite), (Cells{{4, 4}}));
}

// Levels of one colour along row 8 in direction 0, columns first..last.
std::vector<int> Row8(const TThreatTable& threats, uint8_t colour, int first, int last) {
  std::vector<int> levels;
  for (int column = first; column <= last; ++column)
    levels.push_back(threats.At(colour, column, 8, 0));
  return levels;
}

// A trial stone on (column, 8) written straight into Board and followed by RefreshLines on a
// copy of the engine's table, with lists filled as the move choice fills them.
SearchState TrialStone(TGameBoard& engine, int column, uint8_t colour) {
  SearchState state{};
  engine.FillCandidates(state.Lists);
  state.Threats = engine.Threat;
  engine.Board[column][8] = colour;
  engine.RefreshLines(state, column, 8);
  return state;
}

TEST(RefreshLine, StoneColourGainsFromTheWindowsThroughIt) {
  TGameBoard engine;
  PlaceAll(engine, {{6, 8, CellBlack}, {7, 8, CellBlack}});
  const TThreatTable before = engine.Threat;
  const SearchState state = TrialStone(engine, 8, CellBlack);
  // The empty cells within reach of the windows through the stone read as a full evaluation of
  // the open three would rate them.
  EXPECT_EQ(Row8(state.Threats, CellBlack, 4, 5), (std::vector<int>{9, 10}));
  EXPECT_EQ(Row8(state.Threats, CellBlack, 9, 11), (std::vector<int>{10, 9, 6}));
  // Single-stone windows are not evaluated: columns 2, 3 and 12 keep what they had, although a
  // full evaluation would give column 12 level 2.
  EXPECT_EQ(Row8(state.Threats, CellBlack, 2, 3), Row8(before, CellBlack, 2, 3));
  EXPECT_EQ(state.Threats.At(CellBlack, 12, 8, 0), 0);
  // The other directions through the stone gain nothing from one stone.
  EXPECT_EQ(state.Threats.At(CellBlack, 8, 9, 2), before.At(CellBlack, 8, 9, 2));
  // The open-four points lead Black's list; the newer rise goes behind its equal.
  const CandidateList& black = state.Lists.Of(CellBlack);
  EXPECT_EQ(black.Slot(1).Level, 10);
  EXPECT_EQ(black.Slot(2).Level, 10);
  EXPECT_EQ(black.Slot(1).Column, 5);
  EXPECT_EQ(black.Slot(2).Column, 9);
}

TEST(RefreshLine, OpponentLosesItsLevelsNextToTheStone) {
  TGameBoard engine;
  PlaceAll(engine, {{10, 8, CellWhite}, {11, 8, CellWhite}});
  const TThreatTable before = engine.Threat;
  ASSERT_GT(before.At(CellWhite, 8, 8, 0), 0);
  const SearchState state = TrialStone(engine, 9, CellBlack);
  // Left of the stone nothing of White is left; right of it the two stones now sit in a window
  // that the Black stone makes dead.
  EXPECT_EQ(Row8(state.Threats, CellWhite, 4, 8), (std::vector<int>{0, 0, 0, 0, 0}));
  EXPECT_EQ(Row8(state.Threats, CellWhite, 12, 14), (std::vector<int>{5, 5, 5}));
  // Offset 6 lies beyond the reset and keeps its level.
  EXPECT_EQ(state.Threats.At(CellWhite, 15, 8, 0), before.At(CellWhite, 15, 8, 0));
  // The cells White lost were re-ranked; only the stone's own cell keeps its old entry.
  for (const CandidateEntry& entry : state.Lists.Of(CellWhite).Slots) {
    if (entry.Row != 8 || entry.Column == 0 || entry.Column == 9) continue;
    const int8_t* levels = state.Threats.Cell(CellWhite, entry.Column, 8);
    EXPECT_EQ(entry.Level, std::max({levels[0], levels[1], levels[2], levels[3]}));
  }
}

TEST(RefreshLine, StopsAtTheBoardEdge) {
  TGameBoard engine;
  PlaceAll(engine, {{1, 8, CellBlack}, {3, 8, CellBlack}, {2, 7, CellWhite}});
  const TThreatTable before = engine.Threat;
  const SearchState state = TrialStone(engine, 2, CellBlack);
  // The window on columns 1..5 touches the border and is dead; the one on 2..6 is a live two.
  EXPECT_EQ(Row8(state.Threats, CellBlack, 4, 6), (std::vector<int>{9, 9, 6}));
  // Above the stone White's lone stone at (2, 7) keeps no level on the vertical line: the reset
  // clears rows 3..6 and single-stone windows give nothing back.
  ASSERT_GT(before.At(CellWhite, 2, 6, 2), 0);
  for (int row = 3; row <= 6; ++row)
    EXPECT_EQ(state.Threats.At(CellWhite, 2, row, 2), 0) << row;
  EXPECT_EQ(state.Threats.At(CellWhite, 2, 8, 2), 0);
  EXPECT_EQ(state.Threats.At(CellWhite, 2, 2, 2), before.At(CellWhite, 2, 2, 2));
}

TEST(RefreshLine, FullAndBlockedWindowsRaiseNothing) {
  TGameBoard engine;
  // The trial stone at 7 completes five on 3..7; White at 8 blocks every other window through
  // it, so no level of Black's changes along the row.
  PlaceAll(engine, {{3, 8, CellBlack},
                    {4, 8, CellBlack},
                    {5, 8, CellBlack},
                    {6, 8, CellBlack},
                    {8, 8, CellWhite}});
  const TThreatTable before = engine.Threat;
  const SearchState state = TrialStone(engine, 7, CellBlack);
  EXPECT_EQ(Row8(state.Threats, CellBlack, 1, 15), Row8(before, CellBlack, 1, 15));
  // White's lone stone gets nothing back on columns 9..12 once the reset has cleared them.
  EXPECT_EQ(Row8(state.Threats, CellWhite, 9, 12), (std::vector<int>{0, 0, 0, 0}));
}

// On positions from games: a refresh never lowers the stone's colour, touches nothing but the
// trial stone's four lines within five cells in their own direction, and leaves both lists
// ranked, each cell once, every listed empty cell with its current levels.
TEST(RefreshLine, KeepsItsReachAndTheListsRanked) {
  int checked = 0, position = 0;
  VisitGamePositions(11, 8, [&](TGameBoard& engine, uint8_t colour) {
    if (position++ % 4 != 0) return;
    SearchState state{};
    engine.FillCandidates(state.Lists);
    state.Threats = engine.Threat;
    for (int column = 1; column <= BoardSize; ++column) {
      for (int row = 1; row <= BoardSize; ++row) {
        if (engine.Board[column][row] != CellEmpty || (column + 2 * row) % 5 != 0) continue;
        SearchState after = state;
        engine.Board[column][row] = colour;
        engine.RefreshLines(after, column, row);
        engine.Board[column][row] = CellEmpty;
        ++checked;
        bool reach[4][17][17] = {};
        for (uint8_t d = 0; d < 4; ++d) {
          int32_t dc = 0, dr = 0;
          DirectionStep(d, dc, dr);
          for (int k = -5; k <= 5; ++k) {
            if (InRange(column + k * dc, 1, 15) && InRange(row + k * dr, 1, 15))
              reach[d][column + k * dc][row + k * dr] = true;
          }
        }
        for (uint8_t c = CellBlack; c <= CellWhite; ++c) {
          for (int x = 1; x <= BoardSize; ++x) {
            for (int y = 1; y <= BoardSize; ++y) {
              for (uint8_t d = 0; d < 4; ++d) {
                const int8_t old = state.Threats.At(c, x, y, d), now = after.Threats.At(c, x, y, d);
                if (!reach[d][x][y]) {
                  ASSERT_EQ(now, old) << x << "," << y << " d" << int(d);
                }
                if (c == colour) {
                  ASSERT_GE(now, old);
                }
              }
            }
          }
          const CandidateList& list = after.Lists.Of(c);
          std::set<std::pair<int, int>> seen;
          for (int slot = 1; slot <= CandidateList::SlotCount; ++slot) {
            const CandidateEntry& entry = list.Slot(slot);
            if (slot > 1) {
              ASSERT_LE(entry.Level, list.Slot(slot - 1).Level);
            }
            if (entry.Column == 0) continue;
            ASSERT_TRUE(seen.emplace(entry.Column, entry.Row).second);
            if (entry.Column == column && entry.Row == row) continue;
            const int8_t* levels = after.Threats.Cell(c, entry.Column, entry.Row);
            ASSERT_EQ(entry.Level, std::max({levels[0], levels[1], levels[2], levels[3]}));
            ASSERT_EQ(entry.LevelSum, levels[0] + levels[1] + levels[2] + levels[3]);
          }
        }
      }
    }
  });
  EXPECT_GT(checked, 1000);
}

}  // namespace
