// SPDX-License-Identifier: GPL-3.0-or-later
// The levels against positions from seeded games: Normal is the design's choice; Beginner and
// Easy take their fives, Easy blocks the opponent's, both stay near the stones, repeat
// themselves and play worse than the design; Hard and Expert take the design's win (Expert
// unless it proves its own), keep to their budgets, repeat under a node budget and answer at
// once when stopped; Expert breaks the opponent's win that the design sees, follows fours past
// its horizon and plays the five it has.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "GameOpenings.h"
#include "Levels.h"

namespace {

class TPanel : public TReporter {
 public:
  std::string Verdict;
  void ShowMessage(std::string_view) override {}
  void SetPanelText(int panel, std::string_view text) override {
    if (panel == 0) Verdict = text;
  }
};

// Positions of seeded games of the design's player, the side to move with each.
struct TPosition {
  TGameBoard Engine;
  uint8_t Colour;
};

std::vector<TPosition> GamePositions(int games) {
  std::vector<TPosition> positions;
  std::mt19937 random(77);
  for (int game = 0; game < games; ++game) {
    TGameBoard engine;
    uint8_t colour = PlaceOpening(engine, random, OpeningSize(random));
    for (int ply = 0; ply < 30; ++ply) {
      positions.push_back({engine, colour});
      int32_t column = 0, row = 0;
      engine.ChooseMove(colour, column, row, DesignDepth);
      if (column == 0 || !PlayOn(engine, colour, column, row)) break;
    }
  }
  return positions;
}

bool HasFive(const TGameBoard& engine, uint8_t colour, int32_t column, int32_t row) {
  for (int direction = 0; direction < 4; ++direction)
    if (engine.Threat.At(colour, column, row, direction) == FiveLevel) return true;
  return false;
}

bool AnyFive(const TGameBoard& engine, uint8_t colour) {
  for (int32_t column = 1; column <= BoardSize; ++column)
    for (int32_t row = 1; row <= BoardSize; ++row)
      if (engine.Board[column][row] == CellEmpty && HasFive(engine, colour, column, row))
        return true;
  return false;
}

bool NearAStone(const TGameBoard& engine, int32_t column, int32_t row) {
  for (int32_t c = column - 2; c <= column + 2; ++c)
    for (int32_t r = row - 2; r <= row + 2; ++r)
      if (engine.CellAt(c, r) == CellBlack || engine.CellAt(c, r) == CellWhite) return true;
  return false;
}

TEST(Levels, NormalIsTheDesignAndTheWeakLevelsErrAsPeopleDo) {
  TLevel level;
  EXPECT_TRUE(LevelOfName("eXpErt", level) && level == TLevel::Expert);
  EXPECT_FALSE(LevelOfName("expert2", level));
  TLevelPlayer player(1 << 16);
  TPanel panel;
  int differs[2] = {0, 0}, positions = 0;
  for (TPosition& position : GamePositions(6)) {
    TGameBoard& engine = position.Engine;
    engine.SetReporter(&panel);
    int32_t designColumn = 0, designRow = 0;
    engine.ChooseMove(position.Colour, designColumn, designRow, DesignDepth);
    const std::string designVerdict = panel.Verdict;
    int32_t column = 0, row = 0;
    player.Choose(engine, TLevel::Normal, position.Colour, column, row);
    ASSERT_EQ(column * 100 + row, designColumn * 100 + designRow);
    ASSERT_EQ(panel.Verdict, designVerdict);
    ++positions;
    for (const TLevel weak : {TLevel::Beginner, TLevel::Easy}) {
      player.Choose(engine, weak, position.Colour, column, row);
      const std::string what = std::string(LevelName(weak)) + " at " + std::to_string(column) +
                               "," + std::to_string(row) + " for " + designVerdict;
      ASSERT_EQ(engine.CellAt(column, row), CellEmpty) << what;
      EXPECT_TRUE(NearAStone(engine, column, row)) << what;
      const uint8_t other = Opponent(position.Colour);
      const bool ownFive = AnyFive(engine, position.Colour);
      EXPECT_TRUE(!ownFive || HasFive(engine, position.Colour, column, row)) << what;
      EXPECT_TRUE(ownFive || weak != TLevel::Easy || !AnyFive(engine, other) ||
                  HasFive(engine, other, column, row))
          << what << ": Easy blocks a five";
      int32_t again = 0, againRow = 0;
      player.Choose(engine, weak, position.Colour, again, againRow);
      EXPECT_EQ(again * 100 + againRow, column * 100 + row) << what << ": the same position";
      differs[weak == TLevel::Easy] += column != designColumn || row != designRow;
    }
  }
  // Weaker than the design, Beginner more often than Easy.
  EXPECT_GT(differs[0], positions / 3);
  EXPECT_GT(differs[0], differs[1]);
  EXPECT_GT(differs[1], 0);
}

TEST(Levels, HardAndExpertKeepToTheirBudgets) {
  TLevelPlayer player(1 << 20);
  TPanel panel;
  std::vector<TPosition> positions = GamePositions(3);
  for (size_t index = 0; index < positions.size(); index += 25) {
    TGameBoard& engine = positions[index].Engine;
    const uint8_t colour = positions[index].Colour;
    engine.SetReporter(&panel);
    int32_t designColumn = 0, designRow = 0;
    engine.ChooseMove(colour, designColumn, designRow, DesignDepth);
    const std::string designVerdict = panel.Verdict;
    for (const TLevel level : {TLevel::Hard, TLevel::Expert}) {
      // A node budget repeats from an empty table.
      int32_t column[2] = {0, 0}, row[2] = {0, 0};
      uint64_t nodes[2] = {0, 0};
      for (int run = 0; run < 2; ++run) {
        player.ClearTable();
        TThinkLimits limits;
        limits.Nodes = 80;
        player.Choose(engine, level, colour, column[run], row[run], limits);
        nodes[run] = player.LastThought().Nodes;
        EXPECT_LE(nodes[run], 80u);
        EXPECT_EQ(engine.CellAt(column[run], row[run]), CellEmpty);
      }
      EXPECT_EQ(column[0] * 100 + row[0], column[1] * 100 + row[1]);
      EXPECT_EQ(nodes[0], nodes[1]);
      // The verdict is the design's, and so is the winning move unless Expert proved its own.
      EXPECT_EQ(panel.Verdict, designVerdict);
      EXPECT_TRUE(designVerdict != "I win! " || player.LastThought().Won ||
                  column[0] * 100 + row[0] == designColumn * 100 + designRow);
      // Stopped before it starts, it answers the design's move.
      const std::atomic<bool> stop{true};
      TThinkLimits stopped;
      stopped.Stop = &stop;
      int32_t c = 0, r = 0;
      player.Choose(engine, level, colour, c, r, stopped);
      EXPECT_EQ(c * 100 + r, designColumn * 100 + designRow);
      EXPECT_EQ(player.LastThought().Nodes, 0u);
      TThinkLimits shallow;
      shallow.Depth = 8;
      shallow.Nodes = 120;
      player.Choose(engine, level, colour, c, r, shallow);
      EXPECT_LE(player.LastThought().Depth, 8);
    }
  }
}

// Where the design sees the opponent's win by fours and threes, Expert plays a move after which
// the design's search finds it no more, whatever its own search prefers; and the design's
// ForcedWinCalls still count its own decision's searches.
TEST(Levels, ExpertBreaksTheWinTheDesignSees) {
  TLevelPlayer player(1 << 20);
  TPanel panel;
  int defences = 0;
  for (TPosition& position : GamePositions(6)) {
    TGameBoard& engine = position.Engine;
    const uint8_t other = Opponent(position.Colour);
    engine.SetReporter(&panel);
    int32_t column = 0, row = 0;
    engine.ChooseMove(position.Colour, column, row, DesignDepth);
    if (panel.Verdict != "you will win! ") continue;
    ++defences;
    const uint64_t designCalls = engine.ForcedWinCalls;
    TThinkLimits limits;
    limits.Nodes = 3000;
    player.Choose(engine, TLevel::Expert, position.Colour, column, row, limits);
    EXPECT_EQ(engine.ForcedWinCalls, designCalls);
    CandidateLists lists{};
    engine.FillCandidates(lists);
    EXPECT_FALSE(
        engine.FindForcedWin(other, other, column, row, 7, lists, engine.Threat, DesignDepth))
        << column << "," << row;
  }
  EXPECT_GT(defences, 5) << "positions with a defence";
}

// A four that forces its block, and then an open four: Expert sees the win with one move of
// look-ahead, since its fours are followed past the horizon. Either colour attacks.
TEST(Levels, ExpertFollowsFoursPastItsHorizon) {
  TLevelPlayer player(1 << 20);
  for (const uint8_t attacker : {CellBlack, CellWhite}) {
    TGameBoard engine;
    for (const auto& stone : {std::pair{5, 8}, {6, 8}, {7, 8}, {8, 10}, {8, 11}})
      engine.PlaceStone(stone.first, stone.second, attacker);
    for (const auto& stone : {std::pair{4, 8}, {1, 1}, {15, 15}, {1, 15}})
      engine.PlaceStone(stone.first, stone.second, Opponent(attacker));
    TThinkLimits limits;
    limits.Depth = 1;
    int32_t column = 0, row = 0;
    player.Choose(engine, TLevel::Expert, attacker, column, row, limits);
    EXPECT_EQ(column * 100 + row, 808) << TGameBoard::ColourName(attacker);
    EXPECT_TRUE(player.LastThought().Won);
    // With the four made, the five is played, not the second four that would also win.
    engine.PlaceStone(8, 8, attacker);
    engine.PlaceStone(8, 7, Opponent(attacker));
    player.Choose(engine, TLevel::Expert, attacker, column, row, limits);
    EXPECT_EQ(column * 100 + row, 908) << TGameBoard::ColourName(attacker);
  }
}

}  // namespace
