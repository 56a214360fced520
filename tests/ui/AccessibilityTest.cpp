// SPDX-License-Identifier: GPL-3.0-or-later
// What the window tells a screen reader, read as one reads it: through Qt's accessibility
// interfaces, and from the events the board hands to the desktop's accessibility bridge, which
// are caught here instead.
#include <QAccessible>
#include <QTest>

#include "BoardAccessible.h"
#include "WindowFixture.h"

namespace {

class Accessibility : public WindowTest {
 protected:
  // What a screen reader would hear: the intersections that took the focus, the ones whose text
  // changed, and the announcements.
  struct THeard {
    std::vector<QString> Focused, Renamed, Announced;
  };
  static inline THeard* Heard = nullptr;
  THeard Log;
  QAccessible::UpdateHandler Bridge = TBoardAccessible::Tell;

  void SetUp() override {
    WindowTest::SetUp();
    Heard = &Log;
    TBoardAccessible::Tell = Record;
  }
  void TearDown() override {
    TBoardAccessible::Tell = Bridge;
    Heard = nullptr;
  }

  static void Record(QAccessibleEvent* event) {
    QAccessibleInterface* target = event->accessibleInterface();
    const QAccessible::Role role = target ? target->role() : QAccessible::NoRole;
    const QString name = target ? target->text(QAccessible::Name) : QString();
    if (role == QAccessible::Cell && event->type() == QAccessible::Focus)
      Heard->Focused.push_back(name);
    if (role == QAccessible::Cell && event->type() == QAccessible::NameChanged)
      Heard->Renamed.push_back(name);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement)
      Heard->Announced.push_back(static_cast<QAccessibleAnnouncementEvent*>(event)->message());
#else
    if (role == QAccessible::Notification && event->type() == QAccessible::ObjectShow)
      Heard->Announced.push_back(name);
#endif
  }

  QAccessibleInterface* Board() const {
    return QAccessible::queryAccessibleInterface(Form->Image1);
  }
  QAccessibleInterface* At(int column, int row) const {
    return Board()->child(IntersectionIndex(column, row));
  }
  void Key(int key) {
    QTest::keyClick(Form->Image1, static_cast<Qt::Key>(key));
    QApplication::processEvents();
  }
};

TEST_F(Accessibility, TheBoardHasANameAndEveryIntersectionSaysWhatStandsOnIt) {
  QAccessibleInterface* board = Board();
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(board->role(), QAccessible::Canvas);
  EXPECT_EQ(board->text(QAccessible::Name), "Board");
  EXPECT_TRUE(board->text(QAccessible::Description).contains("arrow keys"));
  ASSERT_EQ(board->childCount(), 226);

  NewGame(false, false);
  Click(8, 8);
  Click(9, 8);
  EXPECT_EQ(At(8, 8)->text(QAccessible::Name), "8 : 8, Black stone");
  EXPECT_EQ(At(9, 8)->text(QAccessible::Name), "9 : 8, White stone");
  EXPECT_EQ(At(8, 9)->text(QAccessible::Name), "8 : 9, empty");
  EXPECT_EQ(board->indexOfChild(At(9, 8)), IntersectionIndex(9, 8));
  EXPECT_EQ(board->childAt(At(9, 8)->rect().center().x(), At(9, 8)->rect().center().y()), At(9, 8));

  // A stone taken back is told to whoever read the intersection.
  Form->Action4->trigger();
  EXPECT_EQ(Log.Renamed, Texts({"9 : 8, empty"}));
}

// With the keys only: the cursor's intersection has the focus wherever it goes, and every stone,
// answer and message is announced, one text for each key.
TEST_F(Accessibility, TheCursorStonesAndMessagesAreTold) {
  Form->show();
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  NewGame(true, false);
  QApplication::processEvents();
  ASSERT_FALSE(Log.Focused.empty());
  EXPECT_EQ(Log.Focused.back(), "3 : 3, empty") << "the board's focus goes to its cursor";
  EXPECT_EQ(Board()->focusChild(), At(3, 3));

  Key(Qt::Key_Home);
  Key(Qt::Key_Right);
  EXPECT_EQ(Log.Focused.back(), "9 : 8, empty");
  Log.Announced.clear();
  Key(Qt::Key_Return);
  ASSERT_EQ(Form->History.size(), 2u);
  const MoveEntry answer = Form->History[1];
  EXPECT_EQ(Log.Announced,
            Texts({qPrintable(
                QString("Black 9 : 8. White %1 : %2").arg(answer.Column).arg(answer.Row))}));

  Key(Qt::Key_Space);
  EXPECT_EQ(Dialogs.Messages, Texts({" Set Wrong!"}));
  EXPECT_EQ(Log.Announced.back(), "Set Wrong!");
  EXPECT_EQ(Board()->child(225)->text(QAccessible::Name), "Set Wrong!")
      << "the board's last child holds what it last announced";
}

}  // namespace
