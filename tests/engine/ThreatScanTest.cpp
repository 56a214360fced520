// SPDX-License-Identifier: GPL-3.0-or-later
// The threat table: rated examples of single lines, the pattern lookup, and a property test
// in which the table kept up by the engine always equals a table computed from scratch.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "FullEvaluation.h"
#include "GameBoard.h"
#include "ShellCommands.h"

namespace {

std::vector<int> RowLevels(const TGameBoard& engine, uint8_t colour, int row, int first, int last) {
  std::vector<int> levels;
  for (int column = first; column <= last; ++column)
    levels.push_back(engine.Threat.At(colour, column, row, 0));
  return levels;
}

TGameBoard WithRow8(std::initializer_list<int> black, std::initializer_list<int> white) {
  TGameBoard engine;
  for (int column : white)
    engine.PlaceStone(column, 8, CellWhite);
  for (int column : black)
    engine.PlaceStone(column, 8, CellBlack);
  return engine;
}

using Levels = std::vector<int>;

TEST(ThreatScan, LoneStoneRatesItsFourLines) {
  TGameBoard engine;
  engine.PlaceStone(8, 8, CellBlack);
  const Levels expected = {2, 2, 3, 4, 4, 4, 3, 2, 2};
  for (uint8_t d = 0; d < 4; ++d) {
    int32_t dc = 0, dr = 0;
    DirectionStep(d, dc, dr);
    Levels along;
    for (int k = -4; k <= 4; ++k)
      along.push_back(engine.Threat.At(CellBlack, 8 + k * dc, 8 + k * dr, d));
    EXPECT_EQ(along, expected) << "direction " << int(d);
    EXPECT_EQ(engine.Threat.At(CellBlack, 8 + 5 * dc, 8 + 5 * dr, d), 0);
    EXPECT_EQ(engine.Threat.At(CellBlack, 8 - 5 * dc, 8 - 5 * dr, d), 0);
  }
  for (int i = 900; i < 1800; ++i)
    ASSERT_EQ((&engine.Threat.Levels[0][0][0][0])[i], 0);
}

TEST(ThreatScan, StoneInTheCornerHasDeadWindowsOnly) {
  TGameBoard engine;
  engine.PlaceStone(1, 1, CellBlack);
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(engine.Threat.At(CellBlack, 1 + k, 1, 0), 1);
    EXPECT_EQ(engine.Threat.At(CellBlack, 1 + k, 1 + k, 1), 1);
    EXPECT_EQ(engine.Threat.At(CellBlack, 1, 1 + k, 2), 1);
  }
  EXPECT_EQ(engine.Threat.At(CellBlack, 1, 1, 3), 0);
  EXPECT_EQ(engine.Threat.At(CellBlack, 6, 1, 0), 0);
}

TEST(ThreatScan, RowsOfTwoThreeAndFour) {
  EXPECT_EQ(RowLevels(WithRow8({6, 7, 8}, {}), CellBlack, 8, 2, 12),
            (Levels{2, 6, 9, 10, 10, 10, 10, 10, 9, 6, 2}));
  EXPECT_EQ(RowLevels(WithRow8({6, 7, 8, 9}, {}), CellBlack, 8, 2, 13),
            (Levels{2, 6, 9, 11, 11, 11, 11, 11, 11, 9, 6, 2}));
  EXPECT_EQ(RowLevels(WithRow8({2, 3, 4}, {}), CellBlack, 8, 1, 8),
            (Levels{9, 10, 10, 10, 10, 9, 6, 2}));
  EXPECT_EQ(RowLevels(WithRow8({7, 8, 9, 10}, {}), CellBlack, 8, 6, 11),
            (Levels{11, 11, 11, 11, 11, 11}));
}

TEST(ThreatScan, ThreesBetweenOpponentStones) {
  // The three inside a six-cell stretch with both ends empty is live.
  EXPECT_EQ(RowLevels(WithRow8({5, 6, 7}, {3, 10}), CellBlack, 8, 4, 9),
            (Levels{10, 10, 10, 10, 10, 9}));
  EXPECT_EQ(RowLevels(WithRow8({6, 7, 8}, {3, 10}), CellBlack, 8, 4, 9),
            (Levels{9, 10, 10, 10, 10, 9}));
  // Only five cells between the White stones: every window is dead.
  EXPECT_EQ(RowLevels(WithRow8({5, 6, 7}, {3, 9}), CellBlack, 8, 4, 8), (Levels{9, 9, 9, 9, 9}));
}

TEST(ThreatScan, PatternLevelsLookupAndReport) {
  TGameBoard engine;
  TRecordingReporter recorder;
  engine.SetReporter(&recorder);
  int8_t levels[5] = {};
  auto read = [&] { return Levels(levels, levels + 5); };
  engine.PatternLevels(0x0E, 3, false, levels);
  EXPECT_EQ(read(), (Levels{10, 10, 10, 10, 10}));
  engine.PatternLevels(0x11, 2, false, levels);
  EXPECT_EQ(read(), (Levels{6, 6, 6, 6, 6}));
  engine.PatternLevels(0x1F, 2, true, levels);
  EXPECT_EQ(read(), (Levels{5, 5, 5, 5, 5}));
  engine.PatternLevels(0x1F, 4, false, levels);
  EXPECT_EQ(read(), (Levels{11, 11, 11, 11, 11}));
  engine.PatternLevels(0x00, 0, true, levels);
  EXPECT_EQ(read(), (Levels{0, 0, 0, 0, 0}));
  EXPECT_TRUE(recorder.Panels.empty());

  engine.PatternLevels(0x0E, 3, false, levels);
  engine.PatternLevels(0x03, 3, false, levels);
  EXPECT_EQ(read(), (Levels{10, 10, 10, 10, 10}));
  engine.PatternLevels(0x00, 0, false, levels);
  EXPECT_EQ(recorder.Panels,
            (std::vector<std::pair<int, std::string>>{{4, "Mach error!3"}, {4, "Mach error!0"}}));
}

TEST(ThreatScan, PatternTablesFollowTheSpanRule) {
  TGameBoard engine;
  for (uint8_t mask = 1; mask < 32; ++mask) {
    const int count = __builtin_popcount(mask);
    if (count > 3) continue;
    int8_t levels[5] = {-1, -1, -1, -1, -1};
    engine.PatternLevels(mask, count, false, levels);
    for (int p = 0; p < 5; ++p)
      EXPECT_EQ(levels[p], SpanRuleLevel(mask, count, p)) << int(mask);
  }
}

void ExpectFullEvaluation(const TGameBoard& engine, int step) {
  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour)
    for (int column = 1; column <= 15; ++column)
      for (int row = 1; row <= 15; ++row)
        for (uint8_t d = 0; d < 4; ++d)
          ASSERT_EQ(engine.Threat.At(colour, column, row, d),
                    FullLevel(engine, colour, column, row, d))
              << "step " << step << " colour " << int(colour) << " at " << column << "," << row
              << " direction " << int(d);
}

TEST(ThreatScan, IncrementalTableEqualsFullEvaluation) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    TGameBoard engine;
    std::vector<std::pair<int, int>> stones;
    // Dense play near one spot makes many threes and fours; removals exercise the reverse.
    std::uniform_int_distribution<int> near(seed % 2 ? 1 : 5, seed % 2 ? 15 : 11);
    for (int step = 0; step < 160; ++step) {
      if (!stones.empty() && random() % 4 == 0) {
        const size_t i = random() % stones.size();
        ASSERT_TRUE(engine.PlaceStone(stones[i].first, stones[i].second, CellEmpty));
        stones.erase(stones.begin() + static_cast<long>(i));
      } else {
        const int column = near(random), row = near(random);
        if (engine.CellAt(column, row) != CellEmpty) continue;
        ASSERT_TRUE(engine.PlaceStone(column, row, random() % 2 ? CellBlack : CellWhite));
        stones.emplace_back(column, row);
      }
      ExpectFullEvaluation(engine, step);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
