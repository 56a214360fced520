// SPDX-License-Identifier: GPL-3.0-or-later
// Game flow in the window: click mapping, the place-and-record path, New game, the play-mode
// switching and the computer's answer inside the click.
#include "WindowFixture.h"

namespace {

using GameFlow = WindowTest;

TEST_F(GameFlow, ClickMappingAtPitchThirty) {
  NewGame(false, false);
  ASSERT_EQ(Form->CellPitch, 30);
  const auto columnAt = [this](int x) {
    int32_t column = 0, row = 0;
    return Form->CellUnder(x, 240, column, row) ? column : -1;
  };
  EXPECT_EQ(columnAt(0), 1);
  EXPECT_EQ(columnAt(44), 1);
  EXPECT_EQ(columnAt(45), 2);
  EXPECT_EQ(columnAt(74), 2);
  EXPECT_EQ(columnAt(75), 3);
  EXPECT_EQ(columnAt(435), 15);
  EXPECT_EQ(columnAt(464), 15);
  EXPECT_EQ(columnAt(465), -1);
  EXPECT_EQ(columnAt(-20), -1);

  // Rows map alike, and a press through the picture lands on the mapped intersection.
  PressAt(44, 465);
  EXPECT_TRUE(Form->History.empty()) << "a press below the grid is ignored";
  PressAt(45, 464);
  EXPECT_EQ(Form->History, Moves({{2, 15}}));
  EXPECT_TRUE(Dialogs.Messages.empty());
}

TEST_F(GameFlow, PlayedStonesAreRecordedAndTurnsAlternate) {
  NewGame(false, false);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  Click(8, 8);
  Click(9, 8);
  Click(8, 9);
  EXPECT_EQ(Form->History, Moves({{8, 8}, {9, 8}, {8, 9}}));
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellBlack);
  EXPECT_EQ(Form->BoardEngine->CellAt(9, 8), CellWhite);
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 9), CellBlack);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_EQ(Form->LastColumn, 8);
  EXPECT_EQ(Form->LastRow, 9);
  EXPECT_TRUE(Form->Action4->isEnabled());
  EXPECT_FALSE(Form->Action5->isEnabled());

  // An occupied intersection: refused by the board, nothing recorded, the turn stays.
  Click(9, 8);
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!"}));
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->History.size(), 3u);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_EQ(Form->LastColumn, 8);
  EXPECT_EQ(Form->LastRow, 9);
}

TEST_F(GameFlow, PlayAtAnnouncesFiveAndStillRecordsTheStone) {
  NewGame(false, false);
  for (int column = 4; column <= 7; ++column) {
    Click(column, 8);
    Click(column, 10);
  }
  EXPECT_TRUE(Dialogs.Messages.empty());
  Click(8, 8);
  EXPECT_EQ(Dialogs.Messages, Texts({"Black Win!"}));
  EXPECT_EQ(Form->PlyCount, 9);
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellBlack);
  // No game-over state: play goes on.
  Click(1, 1);
  EXPECT_EQ(Form->PlyCount, 10);
}

TEST_F(GameFlow, NewGameInTwoPlayerPlay) {
  NewGame(false, true);
  EXPECT_EQ(Form->PlayMode, ModeTwoPlayers);
  EXPECT_EQ(Form->History, Moves({{8, 8}}));
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellBlack);
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_TRUE(Form->Action4->isEnabled()) << "one recorded move is enough in two-player play";
  EXPECT_FALSE(Form->Action5->isEnabled());
  EXPECT_FALSE(Form->N16->isEnabled()) << "Computer first is greyed but keeps its tick";
  EXPECT_TRUE(Form->N16->isChecked());

  Click(3, 3);
  NewGame(false, false);
  EXPECT_TRUE(Form->History.empty());
  EXPECT_EQ(Form->PlyCount, 0);
  EXPECT_EQ(Form->BoardEngine->CellAt(8, 8), CellEmpty);
  EXPECT_EQ(Form->BoardEngine->CellAt(3, 3), CellEmpty);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_FALSE(Form->Action4->isEnabled());
  EXPECT_FALSE(Form->Action5->isEnabled());
  // Without an opening stone the last-move mark stays where it was.
  EXPECT_EQ(Form->LastColumn, 3);
  EXPECT_EQ(Form->LastRow, 3);
}

TEST_F(GameFlow, NewGameInComputerPlay) {
  NewGame(true, true);
  EXPECT_EQ(Form->PlayMode, ModeComputer);
  EXPECT_EQ(Form->History, Moves({{8, 8}}));
  EXPECT_EQ(Form->SideToMove, CellWhite);
  EXPECT_FALSE(Form->Action4->isEnabled()) << "the computer's opening stone cannot be taken back";
  EXPECT_EQ(Form->LastColumn, 8);

  NewGame(true, false);
  EXPECT_TRUE(Form->History.empty());
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_FALSE(Form->Action4->isEnabled());
  EXPECT_FALSE(Form->Action5->isEnabled());
  EXPECT_FALSE(Form->ComputerFirst);
}

TEST_F(GameFlow, NewGameEndsAReplay) {
  NewGame(false, true);
  Form->PlayMode = ModeReplay;
  Form->Action1->trigger();
  EXPECT_EQ(Form->PlayMode, ModeTwoPlayers);
  Form->Action8->trigger();
  Form->PlayMode = ModeReplay;
  Form->N2->trigger();  // the menu entry with F2
  EXPECT_EQ(Form->PlayMode, ModeComputer);
  EXPECT_EQ(Form->N2->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST_F(GameFlow, ModeSwitchingKeepsTheGame) {
  NewGame(true, false);
  Click(8, 8);
  const std::vector<MoveEntry> played = Form->History;
  const uint8_t side = Form->SideToMove;

  Form->ToolButton9->click();
  EXPECT_FALSE(Form->Action8->isChecked());
  EXPECT_FALSE(Form->ToolButton9->isChecked());
  EXPECT_EQ(Form->PlayMode, ModeTwoPlayers);
  EXPECT_TRUE(Form->N12->isChecked());
  EXPECT_FALSE(Form->N11->isChecked());
  EXPECT_FALSE(Form->N16->isEnabled());

  Form->N11->trigger();
  EXPECT_TRUE(Form->Action8->isChecked());
  EXPECT_TRUE(Form->ToolButton9->isChecked());
  EXPECT_EQ(Form->PlayMode, ModeComputer);
  EXPECT_TRUE(Form->N11->isChecked());
  EXPECT_TRUE(Form->N16->isEnabled());
  Form->N11->trigger();  // already selected: stays
  EXPECT_EQ(Form->PlayMode, ModeComputer);

  Form->N12->trigger();
  EXPECT_EQ(Form->PlayMode, ModeTwoPlayers);
  EXPECT_FALSE(Form->Action8->isChecked());

  EXPECT_EQ(Form->History, played);
  EXPECT_EQ(Form->SideToMove, side);

  // Choosing computer play while it is selected leaves a replay in place; the Mode button ends it.
  Form->N11->trigger();
  Form->PlayMode = ModeReplay;
  Form->N11->trigger();
  EXPECT_EQ(Form->PlayMode, ModeReplay);
  Form->Action8->trigger();
  EXPECT_EQ(Form->PlayMode, ModeTwoPlayers);

  Form->N11->trigger();
  EXPECT_FALSE(Form->ComputerFirst);
  Form->N16->trigger();
  EXPECT_TRUE(Form->N16->isChecked());
  EXPECT_TRUE(Form->ComputerFirst);
  Form->N16->trigger();
  EXPECT_FALSE(Form->ComputerFirst);
}

TEST_F(GameFlow, ComputerAnswersAtOnceWhenTheUserMovesFirst) {
  NewGame(true, false);
  Click(8, 8);
  ASSERT_EQ(Form->PlyCount, 2);
  const MoveEntry answer = Form->History[1];
  EXPECT_EQ(Form->BoardEngine->CellAt(answer.Column, answer.Row), CellWhite);
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_EQ(Form->LastColumn, answer.Column);
  EXPECT_EQ(Form->LastRow, answer.Row);
  EXPECT_EQ(Form->PanelText(0), " ") << "a single stone is no threat yet";
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_TRUE(Form->Action4->isEnabled());
}

TEST_F(GameFlow, ComputerPlaysBlackWhenItOpens) {
  NewGame(true, true);
  Click(7, 7);
  ASSERT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->BoardEngine->CellAt(7, 7), CellWhite);
  EXPECT_EQ(Form->BoardEngine->CellAt(Form->History[2].Column, Form->History[2].Row), CellBlack);
  EXPECT_EQ(Form->SideToMove, CellWhite);

  // A refused click gets no answer and the turn stays.
  Click(8, 8);
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!"}));
  EXPECT_EQ(Form->PlyCount, 3);
  EXPECT_EQ(Form->SideToMove, CellWhite);
}

TEST_F(GameFlow, ComputerBlocksAFourAndAnswersAfterAWin) {
  // Black builds three in two-player play, White plays far away; then computer play takes over
  // and Black's fourth stone is answered by White on one end of the four.
  NewGame(false, false);
  const int far[3][2] = {{1, 1}, {15, 1}, {1, 15}};
  for (int i = 0; i < 3; ++i) {
    Click(5 + i, 8);
    Click(far[i][0], far[i][1]);
  }
  Form->N11->trigger();
  Click(8, 8);
  ASSERT_EQ(Form->PlyCount, 8);
  const MoveEntry block = Form->History[7];
  EXPECT_TRUE(block.Row == 8 && (block.Column == 4 || block.Column == 9))
      << int(block.Column) << "," << int(block.Row);
  EXPECT_EQ(Form->SideToMove, CellBlack);

  // Black completes five on the other end: announced, recorded, and still answered.
  Click(block.Column == 9 ? 4 : 9, 8);
  EXPECT_EQ(Dialogs.Messages, Texts({"Black Win!"}));
  EXPECT_EQ(Form->PlyCount, 10);
  EXPECT_EQ(Form->BoardEngine->CellAt(Form->History[9].Column, Form->History[9].Row), CellWhite);
  EXPECT_EQ(Form->SideToMove, CellBlack);
}

}  // namespace
