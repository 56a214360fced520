// SPDX-License-Identifier: GPL-3.0-or-later
// Backward and Forward: the step sizes of each play mode, the enabling of the two commands,
// stepping past either end, and a new move after stepping back.
#include "WindowFixture.h"

namespace {

class Stepping : public WindowTest {
 protected:
  // Backward and Forward as enabled now.
  std::pair<bool, bool> Enabled() const {
    return {Form->Action4->isEnabled(), Form->Action5->isEnabled()};
  }
  int Stones() const {
    int stones = 0;
    for (int column = 1; column <= 15; ++column) {
      for (int row = 1; row <= 15; ++row)
        stones += Form->BoardEngine->CellAt(column, row) != CellEmpty;
    }
    return stones;
  }
};

TEST_F(Stepping, ComputerPlayUserFirst) {
  NewGame(true, false);
  Click(8, 8);
  ASSERT_EQ(Form->PlyCount, 2);
  EXPECT_EQ(Enabled(), std::make_pair(true, false));

  Form->N20->trigger();  // Backward from the menu
  EXPECT_EQ(Form->PlyCount, 0);
  EXPECT_EQ(Stones(), 0);
  EXPECT_EQ(Enabled(), std::make_pair(false, true));
  EXPECT_EQ(Form->LastColumn, 1);
  EXPECT_EQ(Form->LastRow, 1);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_EQ(Form->History.size(), 2u) << "the moves stay for Forward";

  Form->Action4->trigger();  // past the start: nothing, still a redraw
  EXPECT_EQ(Form->PlyCount, 0);

  Form->ToolButton6->click();  // Forward from the tool bar
  EXPECT_EQ(Form->PlyCount, 2);
  EXPECT_EQ(Stones(), 2);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_EQ(Enabled(), std::make_pair(true, false));
  EXPECT_EQ(Form->LastColumn, Form->History[1].Column);
  Form->Action5->trigger();  // past the end: nothing
  EXPECT_EQ(Form->PlyCount, 2);
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(Stepping, ComputerPlayComputerFirstNeverStepsBelowTheOpeningStone) {
  NewGame(true, true);
  Click(7, 7);
  ASSERT_EQ(Form->PlyCount, 3);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 1);
  EXPECT_EQ(Enabled(), std::make_pair(false, true));
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_EQ(Form->LastColumn, 8);
  EXPECT_EQ(Form->LastRow, 8);
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Enabled(), std::make_pair(true, false));
}

TEST_F(Stepping, TwoPlayerPlayStepsOneMove) {
  NewGame(false, false);
  Click(1, 1);
  EXPECT_EQ(Enabled(), std::make_pair(true, false)) << "one recorded move is enough";
  Click(2, 2);
  Click(3, 3);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_EQ(Enabled(), std::make_pair(true, true));
  Form->Action4->trigger();
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 0);
  EXPECT_EQ(Enabled(), std::make_pair(false, true));
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 1);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_EQ(Enabled(), std::make_pair(true, true));
}

TEST_F(Stepping, ComputerPlayCannotReachALoneLastMoveUntilTwoPlayerPlay) {
  NewGame(false, false);
  Click(1, 1);
  Click(2, 2);
  Click(3, 3);
  Form->N11->trigger();
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 1);
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 3);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 1);
  // One step forward in two-player play leaves exactly one move ahead: in computer play that
  // disables Forward.
  Form->N12->trigger();
  Form->Action5->trigger();
  Form->N11->trigger();
  Form->Action4->trigger();
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
  EXPECT_EQ(Enabled(), std::make_pair(true, false));
  // Switching does not enable it again; a step back in two-player play does.
  Form->N12->trigger();
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
  Form->Action4->trigger();
  Form->Action5->trigger();
  Form->Action5->trigger();
  EXPECT_EQ(Form->PlyCount, 3);
}

TEST_F(Stepping, NewMoveAfterSteppingBackCutsTheForwardTail) {
  NewGame(false, false);
  Click(1, 1);
  Click(2, 2);
  Click(3, 3);
  Click(4, 4);
  Form->Action4->trigger();
  Form->Action4->trigger();
  EXPECT_EQ(Enabled(), std::make_pair(true, true));
  Click(9, 9);
  EXPECT_EQ(Form->History, Moves({{1, 1}, {2, 2}, {9, 9}}));
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->BoardEngine->CellAt(9, 9), CellBlack);
  EXPECT_EQ(Form->BoardEngine->CellAt(3, 3), CellEmpty);
  EXPECT_EQ(Enabled(), std::make_pair(true, false));
}

TEST_F(Stepping, RefusedRecordedMoveStillCountsAndPassesTheTurn) {
  NewGame(false, false);
  Form->History = Moves({{5, 5}, {5, 5}, {0, 0}});
  for (int i = 0; i < 3; ++i)
    Form->Action5Execute();
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!", " Set Wrong!"}));
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  Dialogs.Messages.clear();
  for (int i = 0; i < 3; ++i)
    Form->Action4Execute();
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!"})) << "taking (0, 0) off is refused too";
  EXPECT_EQ(Form->PlyCount, 0);
  EXPECT_EQ(Stones(), 0);
}

}  // namespace
