// SPDX-License-Identifier: GPL-3.0-or-later
// The board model: clearing, reading cells, placing, refusing and removing stones, and the
// announcement of a completed five.
#include <gtest/gtest.h>

#include "GameBoard.h"
#include "ShellCommands.h"

namespace {

class BoardTest : public ::testing::Test {
 protected:
  TGameBoard Engine;
  TRecordingReporter Recorder;

  void SetUp() override { Engine.SetReporter(&Recorder); }

  void Place(std::initializer_list<std::pair<int, int>> cells, uint8_t colour) {
    for (auto [column, row] : cells)
      ASSERT_TRUE(Engine.PlaceStone(column, row, colour));
    Recorder.Reset();
  }
};

TEST_F(BoardTest, ClearLeavesEmptyInsideBorderAndNoThreats) {
  Place({{8, 8}, {1, 1}, {15, 15}}, CellBlack);
  Engine.Clear();
  for (int column = 0; column <= 16; ++column) {
    for (int row = 0; row <= 16; ++row) {
      const bool inner = column >= 1 && column <= 15 && row >= 1 && row <= 15;
      EXPECT_EQ(Engine.Board[column][row], inner ? CellEmpty : CellBorder) << column << "," << row;
    }
  }
  const int8_t* levels = &Engine.Threat.Levels[0][0][0][0];
  for (int i = 0; i < 1800; ++i)
    ASSERT_EQ(levels[i], 0) << i;
}

TEST_F(BoardTest, ThreatTableLayoutIsColourColumnRowDirection) {
  Engine.Threat.At(CellWhite, 2, 3, 1) = 7;
  const int8_t* flat = &Engine.Threat.Levels[0][0][0][0];
  EXPECT_EQ(flat[900 + (1 * 15 + 2) * 4 + 1], 7);
  EXPECT_NE(Engine.Threat.Word(CellWhite, 2, 3), 0u);
  EXPECT_EQ(Engine.Threat.Word(CellWhite, 3, 2), 0u);
}

TEST_F(BoardTest, CellAtAnswersEmptyOffTheBoard) {
  EXPECT_EQ(Engine.CellAt(0, 8), CellEmpty);
  EXPECT_EQ(Engine.CellAt(16, 16), CellEmpty);
  EXPECT_EQ(Engine.CellAt(8, 99), CellEmpty);
  EXPECT_EQ(Engine.CellAt(-2147483647 - 1, 8), CellEmpty);
  Place({{15, 1}}, CellWhite);
  EXPECT_EQ(Engine.CellAt(15, 1), CellWhite);
}

TEST_F(BoardTest, RefusedPlacementsChangeNothing) {
  Place({{8, 8}}, CellBlack);
  TGameBoard before = Engine;
  const std::tuple<int, int, uint8_t> refused[] = {
      {0, 8, CellBlack},  {8, 16, CellWhite},         {8, 8, CellWhite}, {8, 8, CellBlack},
      {-5, 3, CellBlack}, {3, 2147483647, CellWhite}, {9, 9, 0},         {9, 9, 4}};
  for (auto [column, row, colour] : refused) {
    Recorder.Reset();
    EXPECT_FALSE(Engine.PlaceStone(column, row, colour));
    EXPECT_EQ(Recorder.Messages, std::vector<std::string>{" Set Wrong!"});
    EXPECT_EQ(std::memcmp(before.Board, Engine.Board, sizeof Engine.Board), 0);
    EXPECT_EQ(std::memcmp(&before.Threat, &Engine.Threat, sizeof Engine.Threat), 0);
  }
}

TEST_F(BoardTest, RemovalNeverFailsInsideTheBoard) {
  Place({{8, 8}, {9, 8}}, CellBlack);
  EXPECT_TRUE(Engine.PlaceStone(8, 8, CellEmpty));
  EXPECT_TRUE(Engine.PlaceStone(4, 4, CellEmpty));
  EXPECT_TRUE(Recorder.Messages.empty());
  EXPECT_EQ(Engine.CellAt(8, 8), CellEmpty);
  // Only the stone on (9, 8) is left: its row reads like a lone stone's.
  TGameBoard lone;
  lone.PlaceStone(9, 8, CellBlack);
  EXPECT_EQ(std::memcmp(&lone.Threat, &Engine.Threat, sizeof lone.Threat), 0);
}

TEST_F(BoardTest, FiveIsAnnouncedBeforeTheStoneIsWritten) {
  struct TWatcher : TReporter {
    TGameBoard* Engine = nullptr;
    std::vector<std::string> Seen;
    void ShowMessage(std::string_view text) override {
      Seen.emplace_back(std::string(text) + "|" + std::to_string(Engine->CellAt(8, 8)));
    }
    void SetPanelText(int, std::string_view) override {}
  } watcher;
  watcher.Engine = &Engine;
  Place({{4, 8}, {5, 8}, {6, 8}, {7, 8}}, CellBlack);
  Engine.SetReporter(&watcher);
  EXPECT_TRUE(Engine.PlaceStone(8, 8, CellBlack));
  EXPECT_EQ(watcher.Seen, std::vector<std::string>{"Black Win!|1"});
  EXPECT_EQ(Engine.CellAt(8, 8), CellBlack);
}

TEST_F(BoardTest, FiveAtEitherEndAndForWhite) {
  Place({{4, 8}, {5, 8}, {6, 8}, {7, 8}}, CellBlack);
  EXPECT_TRUE(Engine.PlaceStone(3, 8, CellBlack));
  EXPECT_EQ(Recorder.Messages, std::vector<std::string>{"Black Win!"});

  Engine.Clear();
  Place({{2, 2}, {3, 3}, {5, 5}, {6, 6}}, CellWhite);
  EXPECT_TRUE(Engine.PlaceStone(4, 4, CellWhite));
  EXPECT_EQ(Recorder.Messages, std::vector<std::string>{"White Win!"});
}

TEST_F(BoardTest, FivePointFarFromTheLastStoneIsStillSeen) {
  // A stone on the far end of the line changes nothing about the open four: its five points
  // stay five points, and playing one is announced.
  Place({{7, 8}, {8, 8}, {9, 8}, {10, 8}}, CellBlack);
  Place({{1, 8}}, CellWhite);
  EXPECT_EQ(Engine.Threat.At(CellBlack, 6, 8, 0), 11);
  EXPECT_EQ(Engine.Threat.At(CellBlack, 11, 8, 0), 11);
  EXPECT_TRUE(Engine.PlaceStone(6, 8, CellBlack));
  EXPECT_EQ(Recorder.Messages, std::vector<std::string>{"Black Win!"});
}

TEST(BoardRoutines, OpponentColourNameDirectionStep) {
  TRecordingReporter recorder;
  EXPECT_EQ(Opponent(CellBlack, &recorder), CellWhite);
  EXPECT_EQ(Opponent(CellWhite, &recorder), CellBlack);
  EXPECT_EQ(Opponent(4, &recorder), CellBlack);
  EXPECT_TRUE(recorder.Messages.empty());
  EXPECT_EQ(Opponent(0, &recorder), CellBlack);
  EXPECT_EQ(Opponent(1, &recorder), CellBlack);
  EXPECT_EQ(recorder.Messages, (std::vector<std::string>{" Type Error! ", " Type Error! "}));
  EXPECT_EQ(Opponent(1), CellBlack);  // silent without a listener

  EXPECT_STREQ(TGameBoard::ColourName(2), "Black");
  EXPECT_STREQ(TGameBoard::ColourName(3), "White");
  EXPECT_STREQ(TGameBoard::ColourName(1), "White");

  int32_t dc = 42, dr = 43;
  DirectionStep(4, dc, dr);
  EXPECT_EQ(dc, 42);
  EXPECT_EQ(dr, 43);
  DirectionStep(3, dc, dr);
  EXPECT_EQ(dc, -1);
  EXPECT_EQ(dr, 1);
}

}  // namespace
