// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout and options: the menu tree, the tool bar, the actions, the status-bar
// panels, the clocks, F2, the Toolbar and Status bar toggles, Show steps, Exit and About.
#include <QAccessible>
#include <QActionGroup>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "WindowFixture.h"

namespace {

class Layout : public WindowTest {
 protected:
  // One line per entry: name, title as shown, shortcuts, then "ticked"/"" and "off" when
  // disabled; a separator reads as its name and a dash.
  std::vector<QString> Entries(QMenu* menu) const {
    std::vector<QString> lines;
    for (QAction* item : menu->actions()) {
      if (item->isSeparator()) {
        lines.push_back(item->objectName() + " -");
        continue;
      }
      QString line = (item->menu() ? item->menu()->objectName() : item->objectName()) + " " +
                     Shown(item->text());
      if (!item->shortcuts().isEmpty())
        line += " [" + QKeySequence::listToString(item->shortcuts()) + "]";
      if (item->isChecked()) line += " ticked";
      if (!item->isEnabled()) line += " off";
      lines.push_back(line);
    }
    return lines;
  }

  void Settle() {
    for (int i = 0; i < 20; ++i)
      QApplication::processEvents();
  }
  void ShowWindow() {
    Form->show();
    Settle();
  }
  void ExpectSquarePicture(const char* after) {
    const QSize picture = Form->Image1->size();
    EXPECT_EQ(picture.width(), picture.height()) << after;
    EXPECT_EQ(picture.width() % 16, 0) << after;
    EXPECT_EQ(Form->CellPitch, picture.width() / 16) << after << ": redrawn at the new size";
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i)
      Form->Timer1Timer();
  }
};

TEST_F(Layout, WindowAtCreation) {
  EXPECT_EQ(Form->windowTitle(), "Lindora V2.1");
  EXPECT_EQ(Form->objectName(), "Form1");
  EXPECT_EQ(Form->size(), QSize(546, 616));
  EXPECT_EQ(Form->Timer1->interval(), 100);
  EXPECT_FALSE(Form->Timer1->isActive());
  EXPECT_EQ(Form->StatusBar1->height(), 19);
  const int widths[StatusPanelCount] = {100, 50, 200, 200, 50};
  for (int panel = 0; panel < StatusPanelCount; ++panel) {
    EXPECT_EQ(Form->StatusPanels[panel]->width(), widths[panel]) << "panel " << panel;
    EXPECT_TRUE(Form->PanelText(panel).isEmpty()) << "panel " << panel;
  }
}

TEST_F(Layout, MenuTree) {
  const QList<QAction*> top = Form->MainMenu1->actions();
  ASSERT_EQ(top.size(), 3);
  EXPECT_EQ(top[0]->menu(), Form->N1);
  EXPECT_EQ(top[1]->menu(), Form->N7);
  EXPECT_EQ(top[2]->menu(), Form->N5);
  EXPECT_EQ(Shown(Form->N1->title()), "Game");
  EXPECT_EQ(Shown(Form->N7->title()), "Option");
  EXPECT_EQ(Shown(Form->N5->title()), "Help");

  EXPECT_EQ(Entries(Form->N1),
            Texts({"N2 New game [F2; Ctrl+N]", "N17 Open game [Ctrl+O]", "N18 Save game [Ctrl+S]",
                   "N29 Hint [H]", "N3 -", "N4 Exit [Ctrl+Q]"}));
  EXPECT_EQ(
      Entries(Form->N7),
      Texts({"N8 Show steps", "N22 Show time", "N19 -", "N20 Backward [Ctrl+Z] off",
             "N21 Forward [Ctrl+Shift+Z; Ctrl+Y]", "N9 -", "N10 Game mode", "N23 Level",
             "N16 Computer first ticked", "N15 -", "N14 Toolbar ticked", "N13 Status bar ticked"}));
  EXPECT_EQ(Entries(Form->N10), Texts({"N11 play with computer ticked", "N12 two players"}));
  EXPECT_EQ(Entries(Form->N5), Texts({"N6 About..."}));
  EXPECT_EQ(Form->N2->shortcut(), QKeySequence(Qt::Key_F2));

  // Every title and entry has an access letter, none taken twice within its menu or the bar.
  const std::vector<const QWidget*> menus = {Form->MainMenu1, Form->N1,  Form->N7,
                                             Form->N10,       Form->N23, Form->N5};
  for (const QWidget* menu : menus) {
    QStringList letters;
    for (const QAction* item : menu->actions()) {
      if (item->isSeparator()) continue;
      const QKeySequence letter = QKeySequence::mnemonic(item->text());
      EXPECT_FALSE(letter.isEmpty()) << Shown(item->text()).toStdString();
      EXPECT_FALSE(letters.contains(letter.toString())) << Shown(item->text()).toStdString();
      letters << letter.toString();
    }
  }
  ASSERT_NE(Form->N11->actionGroup(), nullptr);
  EXPECT_EQ(Form->N11->actionGroup(), Form->N12->actionGroup());
  EXPECT_TRUE(Form->N11->actionGroup()->isExclusive());
}

TEST_F(Layout, MenuTicksFollowTheirCommands) {
  Form->N12->trigger();
  EXPECT_EQ(Entries(Form->N10), Texts({"N11 play with computer", "N12 two players ticked"}));
  EXPECT_FALSE(Form->ToolButton9->isChecked()) << "Mode shows released in two-player play";
  Form->N11->trigger();
  EXPECT_TRUE(Form->N11->isChecked());
  EXPECT_TRUE(Form->ToolButton9->isChecked());

  Form->N16->trigger();
  EXPECT_FALSE(Form->N16->isChecked());
  EXPECT_FALSE(Form->ComputerFirst);
  Form->N16->trigger();
  EXPECT_TRUE(Form->ComputerFirst);

  Form->N22->trigger();
  EXPECT_TRUE(Form->Action9->isChecked());
  EXPECT_TRUE(Form->N22->isChecked());
  EXPECT_TRUE(Form->Timer1->isActive());
  Form->N22->trigger();
  EXPECT_FALSE(Form->N22->isChecked());
  EXPECT_FALSE(Form->Timer1->isActive());
}

TEST_F(Layout, ActionsKeepTheirOwnTextsAndImages) {
  struct Expected {
    QAction* action;
    const char* caption;
    const char* hint;
    bool image;
  };
  const Expected actions[] = {
      {Form->Action1, "新游戏", "新建游戏", true},
      {Form->Action7, "打开", "打开棋局", true},
      {Form->Action6, "保存", "保存棋局", true},
      {Form->Action2, "退出游戏", "退出游戏", true},
      {Form->Action3, "关于", "关于", false},
      {Form->Action4, "向前一步", "前一步", true},
      {Form->Action5, "向后一步", "后一步", true},
      {Form->Action8, "切换模式", "切换模式", false},
      {Form->Action9, "启动计时", "启动计时", false},
  };
  for (const Expected& e : actions) {
    EXPECT_EQ(e.action->text(), QString(e.caption)) << e.caption;
    EXPECT_EQ(e.action->toolTip(), QString(e.hint)) << e.caption;
    EXPECT_EQ(!e.action->icon().isNull(), e.image) << e.caption;
  }
  EXPECT_TRUE(Form->Action8->isChecked());
  EXPECT_FALSE(Form->Action9->isChecked());
  EXPECT_FALSE(Form->Action4->isEnabled());
  EXPECT_TRUE(Form->Action5->isEnabled());
  EXPECT_EQ(Shown(Form->N2->text()), "New game") << "the entry shows its own caption";
}

TEST_F(Layout, ToolBarOrderHintsAndSeparators) {
  std::vector<QString> order;
  for (QAction* slot : Form->ToolBar1->actions()) {
    QWidget* widget = Form->ToolBar1->widgetForAction(slot);
    ASSERT_NE(widget, nullptr);
    order.push_back(widget->objectName());
    if (auto* button = qobject_cast<QToolButton*>(widget)) {
      EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
      EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
      EXPECT_EQ(button->iconSize(), QSize(32, 32));
    } else {
      EXPECT_EQ(widget->width(), 20) << widget->objectName().toStdString();
    }
  }
  EXPECT_EQ(order,
            Texts({"ToolButton1", "ToolButton8", "ToolButton2", "ToolButton7", "ToolButton9",
                   "ToolButton10", "ToolButton5", "ToolButton6", "ToolButton3", "ToolButton4"}));
  const std::pair<QToolButton*, const char*> hints[] = {
      {Form->ToolButton1, "New game"},  {Form->ToolButton8, "Open game"},
      {Form->ToolButton2, "Save game"}, {Form->ToolButton9, "Mode"},
      {Form->ToolButton5, "Backward"},  {Form->ToolButton6, "Forward"},
      {Form->ToolButton4, "Exit"}};
  for (const auto& [button, hint] : hints) {
    EXPECT_EQ(button->toolTip(), QString(hint));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), hint)
        << "a screen reader has the hint for a name";
  }
  EXPECT_TRUE(Form->ToolButton9->isChecked());
  EXPECT_FALSE(Form->ToolButton5->isEnabled()) << "Backward follows its action";

  Form->ToolButton9->click();
  EXPECT_FALSE(Form->Action8->isChecked());
  EXPECT_FALSE(Form->ToolButton9->isChecked());
  EXPECT_TRUE(Form->N12->isChecked());
  Form->ToolButton9->click();
  EXPECT_TRUE(Form->ToolButton9->isChecked());
  EXPECT_TRUE(Form->N11->isChecked());
}

TEST(ClockText, GeneralFormatInTheUserLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_EQ(ClockSeconds(123), "12.3");
  EXPECT_EQ(ClockSeconds(600), "60");
  EXPECT_EQ(ClockSeconds(5), "0.5");
  EXPECT_EQ(ClockSeconds(0), "0");
  EXPECT_EQ(ClockSeconds(123456789), "12345678.9") << "no digit grouping";
  EXPECT_EQ(ClockSeconds(-15), "-1.5");
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(ClockSeconds(123), "12,3");
  EXPECT_EQ(ClockSeconds(123456789), "12345678,9");
  QLocale::setDefault(saved);
}

TEST_F(Layout, ClocksTickForTheSideToMoveAndKeepTheirTexts) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  NewGame(false, true);  // two players, Black's first stone played: White to move
  ASSERT_EQ(Form->SideToMove, CellWhite);
  Form->N22->trigger();
  ASSERT_TRUE(Form->Timer1->isActive());
  Ticks(25);
  EXPECT_EQ(Form->PanelText(3), "White time: 2.5 s");
  EXPECT_EQ(Form->PanelText(2), "Black time: 0 s");

  Click(1, 1);  // White plays: Black's clock runs
  Ticks(3);
  EXPECT_EQ(Form->PanelText(2), "Black time: 0.3 s");
  EXPECT_EQ(Form->PanelText(3), "White time: 2.5 s");

  Form->N22->trigger();  // Show time off: stopped, texts kept
  EXPECT_FALSE(Form->Timer1->isActive());
  EXPECT_EQ(Form->PanelText(2), "Black time: 0.3 s");
  Form->N22->trigger();  // on again: continues from the counts reached
  Ticks(7);
  EXPECT_EQ(Form->PanelText(2), "Black time: 1 s");
  EXPECT_EQ(Form->PanelText(3), "White time: 2.5 s");

  Form->Action1->trigger();  // New game zeroes the counts; the texts wait for the next tick
  EXPECT_TRUE(Form->Timer1->isActive());
  EXPECT_EQ(Form->PanelText(2), "Black time: 1 s");
  Ticks(1);
  EXPECT_EQ(Form->PanelText(2), "Black time: 0 s");
  EXPECT_EQ(Form->PanelText(3), "White time: 0.1 s");
  QLocale::setDefault(saved);
}

TEST_F(Layout, TimerEventsDriveTheClock) {
  NewGame(true, true);
  Form->Action9->trigger();
  for (int i = 0; i < 4; ++i) {
    QTimerEvent tick(Form->Timer1->timerId());
    QApplication::sendEvent(Form->Timer1, &tick);
  }
  EXPECT_EQ(Form->WhiteTenths, 4);
  EXPECT_EQ(Form->BlackTenths, 0);
}

TEST_F(Layout, ShowStepsTicksItselfAndRedraws) {
  NewGame(false, true);
  const QImage plain = Form->Image1->Picture().copy();
  Form->N8->trigger();
  EXPECT_TRUE(Form->ShowSteps);
  EXPECT_TRUE(Form->N8->isChecked());
  EXPECT_NE(Form->Image1->Picture(), plain) << "the number of the first stone shows";
  Form->N8Click();  // the handler on its own flips as well
  EXPECT_FALSE(Form->ShowSteps);
  EXPECT_FALSE(Form->N8->isChecked());
  EXPECT_EQ(Form->Image1->Picture(), plain);
}

TEST_F(Layout, F2StartsANewGameFromAnywhereInTheWindow) {
  ShowWindow();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  NewGame(false, false);
  const int pitch = Form->CellPitch;
  PressAt(8 * pitch, 8 * pitch);
  PressAt(9 * pitch, 9 * pitch);
  ASSERT_EQ(Form->PlyCount, 2);
  Form->Image1->setFocus();
  QTest::keyClick(Form->Image1, Qt::Key_F2);
  EXPECT_EQ(Form->PlyCount, 0);
  PressAt(8 * pitch, 8 * pitch);
  ASSERT_EQ(Form->PlyCount, 1);
  QTest::keyClick(Form->ScrollBox1, Qt::Key_F2);
  EXPECT_EQ(Form->PlyCount, 0);
}

TEST_F(Layout, BarTogglesKeepThePictureSquare) {
  ShowWindow();
  ExpectSquarePicture("shown");
  const struct {
    QAction* item;
    QWidget* bar;
  } toggles[] = {{Form->N14, Form->ToolBar1}, {Form->N13, Form->StatusBar1}};
  for (const auto& toggle : toggles) {
    const std::string name = toggle.item->text().toStdString();
    const int height = Form->height();
    toggle.item->trigger();
    Settle();
    EXPECT_FALSE(toggle.item->isChecked()) << name;
    EXPECT_TRUE(toggle.bar->isHidden()) << name;
    ExpectSquarePicture((name + " hidden").c_str());
    EXPECT_LE(Form->height(), height) << name;

    const int hiddenHeight = Form->height();
    toggle.item->trigger();
    Settle();
    EXPECT_TRUE(toggle.item->isChecked()) << name;
    EXPECT_FALSE(toggle.bar->isHidden()) << name;
    ExpectSquarePicture((name + " shown").c_str());
    EXPECT_GT(Form->height(), hiddenHeight) << name << ": the window grows for the bar";
  }
  // Both hidden together, then both back.
  Form->N14->trigger();
  Form->N13->trigger();
  Settle();
  ExpectSquarePicture("both hidden");
  Form->N13->trigger();
  Form->N14->trigger();
  Settle();
  ExpectSquarePicture("both shown");
}

// Maximised, the window keeps the screen's size instead of asking for a square one, and the board
// is the largest square that fits, in the middle; restored, it is square again.
TEST_F(Layout, MaximisedWindowKeepsItsSizeWithTheBoardInTheMiddle) {
  ShowWindow();
  const QSize normal = Form->size();
  Form->showMaximized();
  Settle();
  ASSERT_TRUE(Form->isMaximized());
  const QSize space = Form->Image1->size();
  ASSERT_NE(space.width(), space.height()) << "the offscreen screen is not square";
  const int side = std::min(space.width(), space.height());
  EXPECT_EQ(Form->Image1->Picture().size(), QSize(side, side));
  EXPECT_EQ(Form->CellPitch, side / 16);
  EXPECT_EQ(Form->Image1->PictureOrigin(),
            QPoint((space.width() - side) / 2, (space.height() - side) / 2));

  Form->showNormal();
  Settle();
  EXPECT_EQ(Form->size(), normal);
  ExpectSquarePicture("restored");
}

// Counts the resize events of a widget.
class TResizeCounter : public QObject {
 public:
  int Count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    Count += event->type() == QEvent::Resize;
    return false;
  }
};

// A window made narrower than the smallest board is set back to 175 pixels wide and then squared;
// shrunk as far as it goes, it comes back in the same way. Each time it settles after one request
// of its own, with no resize going back and forth.
TEST_F(Layout, TooSmallAPictureSetsTheWindowBackTo175) {
  ShowWindow();
  const QSize chrome = Form->size() - Form->Image1->size();
  // At 175 pixels the picture gets 175 less the chrome, trimmed to a multiple of 16.
  const auto smallest = [](int outer, int chromeSide) {
    const int side = outer - chromeSide;
    return side - side % 16;
  };
  TResizeCounter window, picture;
  Form->installEventFilter(&window);
  Form->Image1->installEventFilter(&picture);

  Form->resize(Form->width() - (Form->Image1->width() - 70), Form->height());
  Settle();
  ExpectSquarePicture("70 wide");
  EXPECT_EQ(Form->Image1->width(), smallest(175, chrome.width()));
  EXPECT_LE(window.Count, 2) << "the user's resize and the window's one answer";
  EXPECT_LE(picture.Count, 2);

  window.Count = picture.Count = 0;
  Form->resize(1, 1);
  Settle();
  ExpectSquarePicture("shrunk as far as it goes");
  EXPECT_EQ(Form->Image1->width(),
            std::min(smallest(175, chrome.width()), smallest(175, chrome.height())));
  EXPECT_GE(Form->CellPitch, 5);
  EXPECT_LE(window.Count, 2);
  EXPECT_LE(picture.Count, 2);

  window.Count = picture.Count = 0;
  Settle();
  EXPECT_EQ(window.Count, 0) << "settled";
  EXPECT_EQ(picture.Count, 0) << "settled";
  Form->removeEventFilter(&window);
  Form->Image1->removeEventFilter(&picture);
}

// The five panels keep their widths and their places side by side at the window's own settled
// size; what does not fit is cut off at the window's right edge.
TEST_F(Layout, StatusPanelsKeepTheirPlacesAndAreCutOffAtTheRightEdge) {
  ShowWindow();
  ASSERT_LT(Form->width(), 600) << "the settled window is narrower than the five panels";
  const int widths[StatusPanelCount] = {100, 50, 200, 200, 50};
  int left = 0;
  for (int panel = 0; panel < StatusPanelCount; ++panel) {
    const QRect place = Form->StatusPanels[panel]->geometry();
    EXPECT_EQ(place, QRect(left, 0, widths[panel], 19)) << "panel " << panel;
    left += widths[panel];
  }
  EXPECT_EQ(Form->StatusBar1->mapTo(Form.get(), QPoint(0, 0)).x(), 0);
  EXPECT_EQ(Form->StatusBar1->width(), Form->width());
}

// The window's font is an 8-point "MS Sans Serif" (or the system's stand-in for it), in the menu
// bar, the drop-down menus, the tool bar and the status panels; the clock texts fit their panels
// and the menu titles one row of the bar.
TEST_F(Layout, WindowFontIsAnEightPointSansAndTheTextsFit) {
  ShowWindow();
  EXPECT_EQ(Form->font().family().toStdString(), "MS Sans Serif");
  EXPECT_EQ(Form->font().pointSize(), 8);
  const QWidget* parts[] = {Form->MainMenu1,
                            Form->N1,
                            Form->N7,
                            Form->N10,
                            Form->N5,
                            Form->ToolBar1,
                            Form->StatusPanels[0],
                            Form->StatusPanels[2]};
  for (const QWidget* part : parts)
    EXPECT_EQ(part->font(), Form->font()) << part->objectName().toStdString();

  const QFontMetrics metrics(Form->StatusPanels[2]->font());
  const int frame = 2 * Form->StatusPanels[2]->frameWidth();
  EXPECT_LT(metrics.horizontalAdvance("Black time: 99999.9 s") + frame, 200);
  EXPECT_LT(metrics.horizontalAdvance("White time: 99999.9 s") + frame, 200);
  EXPECT_LT(metrics.horizontalAdvance("15 : 15") + frame, 50);
  EXPECT_LT(metrics.horizontalAdvance("you will win! ") + frame, 100);
  EXPECT_LE(metrics.height(), 19 - frame);
  for (QAction* title : Form->MainMenu1->actions()) {
    const QRect place = Form->MainMenu1->actionGeometry(title);
    EXPECT_TRUE(Form->MainMenu1->rect().contains(place)) << title->text().toStdString();
    EXPECT_EQ(place.top(), Form->MainMenu1->actionGeometry(Form->MainMenu1->actions()[0]).top());
  }
  for (QMenu* menu : {Form->N1, Form->N7, Form->N10, Form->N5}) {
    for (QAction* item : menu->actions()) {
      if (item->isSeparator()) continue;
      EXPECT_GE(menu->actionGeometry(item).width(),
                QFontMetrics(menu->font()).horizontalAdvance(Shown(item->text())))
          << item->text().toStdString();
    }
  }
}

TEST_F(Layout, ExitClosesAndAboutShowsTheBoxModally) {
  QDialog about;
  bool shown = false;
  Form->SetAboutBox(&about);
  QTimer::singleShot(0, &about, [&] {
    shown = about.isVisible() && about.isModal();
    about.reject();
  });
  Form->N6->trigger();
  EXPECT_TRUE(shown);

  ShowWindow();
  ASSERT_TRUE(Form->isVisible());
  Form->ToolButton4->click();
  EXPECT_FALSE(Form->isVisible());
}

}  // namespace
