// SPDX-License-Identifier: GPL-3.0-or-later
// Play without the mouse: the keys on the board move the one cursor that the mouse moves and play
// at it exactly as a click there does; the window's shortcuts run their commands.
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"

namespace {

class Keyboard : public WindowTest {
 protected:
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(Form->Image1, &press);
  }
  void Keys(int key, int times) {
    for (int i = 0; i < times; ++i)
      Key(key);
  }
  // From the centre to an intersection with the arrows, then the key that plays.
  void PlayByKeys(int column, int row, int playKey) {
    Key(Qt::Key_Home);
    Keys(column < 8 ? Qt::Key_Left : Qt::Key_Right, std::abs(column - 8));
    Keys(row < 8 ? Qt::Key_Up : Qt::Key_Down, std::abs(row - 8));
    Key(playKey);
  }
  struct TGame {
    std::vector<MoveEntry> History;
    std::vector<QString> Messages;
    QString Verdict;
    QImage Picture;
  };
  TGame Played() const {
    return TGame{Form->History, Dialogs.Messages, Form->PanelText(0), Form->Image1->Picture()};
  }
};

// The same intersections, one of them occupied, clicked in one game and keyed in the next: the
// same stones, answers, refusals, verdict and picture.
TEST_F(Keyboard, AGameByKeysIsTheGameByClicks) {
  const int cells[][2] = {{8, 8}, {9, 9}, {8, 8}, {13, 3}, {1, 15}, {3, 13}};
  NewGame(true, false);
  for (const auto& cell : cells)
    Click(cell[0], cell[1]);
  MoveTo(3 * 30, 13 * 30);  // the cursor where the keys leave it
  const TGame clicked = Played();
  ASSERT_EQ(clicked.History.size(), 10u);
  ASSERT_EQ(clicked.Messages, Texts({" Set Wrong!"}));

  NewGame(true, false);
  const int playKeys[] = {Qt::Key_Return, Qt::Key_Space, Qt::Key_Enter};
  int next = 0;
  for (const auto& cell : cells)
    PlayByKeys(cell[0], cell[1], playKeys[next++ % 3]);
  const TGame keyed = Played();
  EXPECT_EQ(keyed.History, clicked.History);
  EXPECT_EQ(keyed.Messages, clicked.Messages);
  EXPECT_EQ(keyed.Verdict, clicked.Verdict);
  EXPECT_EQ(keyed.Picture, clicked.Picture);
}

TEST_F(Keyboard, ArrowsMoveTheMouseCursorAndStopAtTheEdge) {
  NewGame(false, false);
  MoveTo(4 * 30, 10 * 30);
  Key(Qt::Key_Right);
  EXPECT_EQ(Form->PanelText(1), "5 : 10");
  EXPECT_EQ(Form->CursorColumn, 5);
  const QImage keyed = Form->Image1->Picture().copy();
  MoveTo(4 * 30, 10 * 30);
  MoveTo(5 * 30, 10 * 30);
  EXPECT_EQ(Form->Image1->Picture(), keyed) << "the key drew the mark the mouse draws";

  Keys(Qt::Key_Left, 20);
  Keys(Qt::Key_Down, 20);
  EXPECT_EQ(Form->PanelText(1), "1 : 15");
  Keys(Qt::Key_Right, 20);
  Keys(Qt::Key_Up, 20);
  EXPECT_EQ(Form->PanelText(1), "15 : 1");
  Key(Qt::Key_Home);
  EXPECT_EQ(Form->PanelText(1), "8 : 8");
  EXPECT_EQ(Form->CursorRow, 8);

  // Keys with Ctrl, Alt or Shift are not the board's; the keypad's Enter is.
  Key(Qt::Key_Right, Qt::ControlModifier);
  Key(Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(Form->CursorColumn, 8);
  EXPECT_TRUE(Form->History.empty());
  Key(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(Form->History, Moves({{8, 8}}));
}

// Shown, the window gives the board the keys, and every shortcut runs its command from there.
TEST_F(Keyboard, ShortcutsRunTheirCommands) {
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  EXPECT_EQ(QApplication::focusWidget(), Form->Image1);
  NewGame(false, false);
  PressAt(8 * Form->CellPitch, 8 * Form->CellPitch);
  PressAt(9 * Form->CellPitch, 9 * Form->CellPitch);  // so that Backward and Forward can run
  const std::pair<const char*, QAction*> shortcuts[] = {
      {"Ctrl+Z", Form->Action4}, {"Ctrl+Shift+Z", Form->Action5}, {"Ctrl+Z", Form->Action4},
      {"Ctrl+Y", Form->Action5}, {"Ctrl+O", Form->Action7},       {"Ctrl+S", Form->Action6},
      {"H", Form->Action10},     {"F2", Form->Action1},           {"Ctrl+N", Form->Action1},
      {"Ctrl+Q", Form->Action2}};
  for (const auto& [keys, action] : shortcuts) {
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::keySequence(Form->Image1, QKeySequence(keys));
    EXPECT_EQ(triggered.count(), 1) << keys;
  }
  EXPECT_TRUE(Dialogs.Messages.empty());
  EXPECT_FALSE(Form->isVisible()) << "Ctrl+Q closed the window";
}

}  // namespace
