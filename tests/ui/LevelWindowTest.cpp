// SPDX-License-Identifier: GPL-3.0-or-later
// The levels in the window: the Level menu, Hard and Expert thinking off the interface thread
// (clicks meanwhile place nothing; New game, Backward and Exit stop the thought and nothing of
// it lands), and the hint's mark and its removal.
#include <QKeyEvent>
#include <QMenu>
#include <QThread>
#include <chrono>
#include <functional>

#include "WindowFixture.h"

namespace {

class LevelWindow : public WindowTest {
 protected:
  // Runs the event loop until done or ten seconds have passed.
  bool WaitFor(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < end) {
      QApplication::processEvents();
      QThread::msleep(5);
    }
    return done();
  }
  // A moment of the event loop, in which a thought that was not stopped could land.
  void Linger() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
    while (std::chrono::steady_clock::now() < end)
      QApplication::processEvents();
  }
};

TEST_F(LevelWindow, TheLevelMenuHoldsFiveRadioItemsWithNormalTicked) {
  QAction* const items[] = {Form->N24, Form->N25, Form->N26, Form->N27, Form->N28};
  const char* names[] = {"Beginner", "Easy", "Normal", "Hard", "Expert"};
  ASSERT_EQ(Form->N23->actions().size(), 5);
  for (int level = 0; level < 5; ++level) {
    EXPECT_EQ(Form->N23->actions()[level], items[level]);
    EXPECT_EQ(Shown(items[level]->text()), names[level]);
    EXPECT_EQ(items[level]->isChecked(), level == 2);
  }
  EXPECT_EQ(Form->Level, TLevel::Normal);
  Form->N24->trigger();
  EXPECT_EQ(Form->Level, TLevel::Beginner);
  EXPECT_FALSE(Form->N26->isChecked());
  // Beginner answers inside the click, like Normal.
  NewGame(true, false);
  Click(8, 8);
  EXPECT_EQ(Form->History.size(), 2u);
}

TEST_F(LevelWindow, ExpertThinksOffTheThreadAndClicksMeanwhilePlaceNothing) {
  Form->N28->trigger();
  NewGame(true, false);
  Click(8, 8);
  EXPECT_TRUE(Form->ComputerThinking());
  EXPECT_EQ(Form->PanelText(1), "0.0 s");
  Click(3, 3);
  EXPECT_EQ(Form->History.size(), 1u) << "a click while the computer thinks places nothing";
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(Form->Image1, &enter);
  EXPECT_EQ(Form->History.size(), 1u) << "nor does Enter on the cursor's intersection";
  ASSERT_TRUE(WaitFor([&] { return Form->History.size() == 2; }));
  EXPECT_FALSE(Form->ComputerThinking());
  EXPECT_EQ(Form->SideToMove, CellBlack);
  EXPECT_EQ(Form->PanelText(1), "3 : 3") << "the thinking time gives way to the cursor's cell";
}

TEST_F(LevelWindow, NewGameBackwardAndExitStopTheThoughtAndNothingLands) {
  const std::function<void()> stops[] = {[&] { Form->Action1->trigger(); },
                                         [&] { Form->Action4->trigger(); },
                                         [&] { Form->Action2->trigger(); }};
  for (const auto& stop : stops) {
    // A move at Normal first, so that Backward can step; then Expert thinks about the next.
    Form->N26->trigger();
    NewGame(true, false);
    Click(8, 8);
    Form->N28->trigger();
    Click(6, 6);
    Click(1, 15);  // ignored while thinking
    ASSERT_TRUE(Form->ComputerThinking());
    const int32_t before = Form->PlyCount;
    stop();
    EXPECT_FALSE(Form->Thinker->Busy());
    Linger();
    EXPECT_LE(Form->PlyCount, before) << "nothing of the thought lands";
    EXPECT_EQ(Form->BoardEngine->CellAt(1, 15), CellEmpty);
  }
  // Backward over a thought steps over the user's stone alone.
  Form->N26->trigger();
  NewGame(true, false);
  Click(8, 8);
  Form->N28->trigger();
  Click(6, 6);
  Form->Action4->trigger();
  EXPECT_EQ(Form->PlyCount, 2);
  EXPECT_EQ(Form->SideToMove, CellBlack);
}

TEST_F(LevelWindow, TheHintShowsARingAndGoesAtTheNextStone) {
  NewGame(false, false);
  Click(8, 8);
  Click(9, 9);
  Click(8, 9);
  const QString verdict = Form->PanelText(0);
  Form->Action10->trigger();
  ASSERT_TRUE(WaitFor([&] { return Form->HintColumn > 0; }));
  const int32_t column = Form->HintColumn, row = Form->HintRow;
  EXPECT_EQ(Form->BoardEngine->CellAt(column, row), CellEmpty);
  EXPECT_EQ(Form->History.size(), 3u) << "the hint plays nothing";
  EXPECT_EQ(Form->PanelText(0), verdict);
  // The ring's rightmost point, a quarter pitch right of the intersection, shows the mark
  // until the next stone, played far from it.
  const QImage marked = Form->Image1->Picture();
  Click(column < 8 ? 15 : 1, 1);
  EXPECT_EQ(Form->HintColumn, 0) << "gone at the next stone";
  const QImage plain = Form->Image1->Picture();
  EXPECT_NE(marked.pixel(column * 30 + 7, row * 30), plain.pixel(column * 30 + 7, row * 30));
}

}  // namespace
