// SPDX-License-Identifier: GPL-3.0-or-later
// The board picture at 480 x 480 (cell pitch 30): grid, frame, stone boxes, the exclusive-or
// corner marks, the mouse read-out, and the resize rule that keeps the picture square.
#include <QLabel>

#include "ImageControl.h"
#include "PixelSets.h"
#include "WindowFixture.h"

namespace {

using BoardDrawing = WindowTest;

bool IsBlack(QRgb rgb) {
  return (rgb & 0xFFFFFF) == 0;
}

// The pixels in which two pictures of the same size differ.
std::vector<QPoint> Differences(const QImage& a, const QImage& b) {
  std::vector<QPoint> points;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) points.emplace_back(x, y);
    }
  }
  return points;
}

TEST_F(BoardDrawing, GridAndFrameAtPitchThirty) {
  NewGame(false, false);
  const QImage& picture = Form->Image1->Picture();
  ASSERT_EQ(picture.size(), QSize(480, 480));
  ASSERT_EQ(Form->CellPitch, 30);

  for (int line = 30; line <= 450; line += 30) {
    for (int along : {30, 100, 449}) {
      EXPECT_TRUE(IsBlack(picture.pixel(line, along))) << line << "," << along;
      EXPECT_TRUE(IsBlack(picture.pixel(along, line))) << along << "," << line;
    }
  }
  // Between grid lines, and beyond the ends of the lines, is board.
  EXPECT_FALSE(IsBlack(picture.pixel(45, 100)));
  EXPECT_FALSE(IsBlack(picture.pixel(100, 45)));
  EXPECT_FALSE(IsBlack(picture.pixel(30, 29)));
  EXPECT_FALSE(IsBlack(picture.pixel(29, 30)));

  // Frame lines of width 2 at P - 4 = 26 and 15 P + 4 = 454, each reaching one pixel up/left.
  for (int y : {25, 100, 453}) {
    EXPECT_TRUE(IsBlack(picture.pixel(25, y))) << y;
    EXPECT_TRUE(IsBlack(picture.pixel(26, y))) << y;
    EXPECT_FALSE(IsBlack(picture.pixel(24, y))) << y;
  }
  EXPECT_FALSE(IsBlack(picture.pixel(27, 100)));
  EXPECT_FALSE(IsBlack(picture.pixel(26, 23))) << "the left line starts at y 25";
  EXPECT_FALSE(IsBlack(picture.pixel(26, 24)));
  for (int x : {100, 452}) {
    EXPECT_TRUE(IsBlack(picture.pixel(x, 25)));
    EXPECT_TRUE(IsBlack(picture.pixel(x, 26)));
    EXPECT_TRUE(IsBlack(picture.pixel(x, 453)));
    EXPECT_TRUE(IsBlack(picture.pixel(x, 454)));
    EXPECT_TRUE(IsBlack(picture.pixel(453, x)));
    EXPECT_TRUE(IsBlack(picture.pixel(454, x)));
    EXPECT_FALSE(IsBlack(picture.pixel(x, 455)));
    EXPECT_FALSE(IsBlack(picture.pixel(455, x)));
  }
}

TEST_F(BoardDrawing, StoneGoesIntoItsBoxOnly) {
  NewGame(false, false);
  EXPECT_EQ(Form->StoneBox(8, 8), QRect(QPoint(227, 227), QPoint(254, 254)));
  // With the last-move mark already on (8, 8), PlayAt moves it onto itself: no trace of it.
  Form->DrawCornerMark(Form->LastColumn, Form->LastRow, LastMoveMarkColor);
  Form->LastColumn = Form->LastRow = 8;
  Form->DrawCornerMark(8, 8, LastMoveMarkColor);
  const QImage before = Form->Image1->Picture().copy();
  ASSERT_TRUE(Form->PlayAt(8, 8, CellBlack));
  const QImage after = Form->Image1->Picture();
  const std::vector<QPoint> changed = Differences(before, after);
  ASSERT_FALSE(changed.empty());
  for (const QPoint& p : changed)
    EXPECT_TRUE(QRect(227, 227, 28, 28).contains(p)) << p.x() << "," << p.y();
  int gray = 0;
  for (int y = 236; y < 246; ++y) {
    for (int x = 236; x < 246; ++x)
      gray += qGray(after.pixel(x, y));
  }
  EXPECT_LT(gray / 100, 100) << "a black stone";
}

TEST_F(BoardDrawing, CornerMarksAreSevenPixelStrokesThatUndoThemselves) {
  NewGame(false, false);
  const QImage before = Form->Image1->Picture().copy();
  // Stone box of (8, 8): x0 = y0 = 227, e = 28, L = 7. Each stroke takes in its start point and
  // stops before its end point, whichever way it runs, and each bracket is whole: where the two
  // strokes of a bottom bracket overlap, the pixel is flipped once, not back.
  Form->DrawCornerMark(8, 8, LastMoveMarkColor);
  const QImage marked = Form->Image1->Picture().copy();
  TPixelSet expected;
  for (const auto& block :
       {Block(227, 226, 234, 228), Block(226, 228, 228, 234), Block(249, 226, 256, 228),
        Block(254, 228, 256, 234), Block(227, 254, 234, 256), Block(226, 249, 228, 255),
        Block(249, 254, 256, 256), Block(254, 249, 256, 255)})
    expected.insert(block.begin(), block.end());
  for (const QPoint& p : Differences(before, marked))
    EXPECT_EQ(marked.pixel(p), before.pixel(p) ^ 0x008000) << p.x() << "," << p.y();
  EXPECT_EQ(ChangedPixels(before, marked), expected);

  Form->DrawCornerMark(8, 8, LastMoveMarkColor);
  EXPECT_TRUE(Differences(before, Form->Image1->Picture()).empty());

  // The redraw puts the red cursor mark on (3, 3); drawing it again takes it off, and a redraw
  // with the cursor elsewhere differs from that only by the mark there.
  Form->DrawCornerMark(3, 3, CursorMarkColor);
  const QImage unmarked = Form->Image1->Picture().copy();
  EXPECT_EQ(unmarked.pixel(77, 77), before.pixel(77, 77) ^ 0xFF0000);
  Form->CursorColumn = Form->CursorRow = 9;
  Form->RedrawBoard();
  Form->DrawCornerMark(9, 9, CursorMarkColor);
  EXPECT_TRUE(Differences(unmarked, Form->Image1->Picture()).empty());
}

TEST_F(BoardDrawing, MouseMoveMovesTheCursorMarkAndReportsTheIntersection) {
  NewGame(false, false);
  const QImage start = Form->Image1->Picture().copy();
  MoveTo(240, 250);
  EXPECT_EQ(Form->PanelText(1), "8 : 8");
  EXPECT_EQ(Form->CursorColumn, 8);
  EXPECT_EQ(Form->CursorRow, 8);
  const QImage moved = Form->Image1->Picture().copy();
  EXPECT_NE(moved.pixel(227, 227), start.pixel(227, 227)) << "new mark on (8, 8)";
  EXPECT_EQ(moved.pixel(77, 77), start.pixel(77, 77) ^ 0xFF0000) << "old mark on (3, 3) erased";

  // Within the same cell the picture stays and the panel is written again.
  Form->SetPanelText(1, "x");
  MoveTo(226, 226);
  EXPECT_EQ(Form->PanelText(1), "8 : 8");
  EXPECT_TRUE(Differences(moved, Form->Image1->Picture()).empty());

  // Off the grid nothing happens.
  MoveTo(470, 100);
  EXPECT_EQ(Form->PanelText(1), "8 : 8");
  EXPECT_EQ(Form->CursorColumn, 8);
}

// Off the diagonal a column and row taken the wrong way round show: the read-out, the cursor and
// its mark all name column 4, row 10, and a click there puts the stone on the same intersection.
TEST_F(BoardDrawing, MouseReadOutNamesColumnThenRow) {
  NewGame(false, false);
  const QImage start = Form->Image1->Picture().copy();
  MoveTo(122, 297);
  EXPECT_EQ(Form->PanelText(1), "4 : 10");
  EXPECT_EQ(Form->CursorColumn, 4);
  EXPECT_EQ(Form->CursorRow, 10);
  const QImage moved = Form->Image1->Picture().copy();
  EXPECT_NE(moved.pixel(4 * 30 - 13, 10 * 30 - 13), start.pixel(4 * 30 - 13, 10 * 30 - 13));
  EXPECT_EQ(moved.pixel(10 * 30 - 13, 4 * 30 - 13), start.pixel(10 * 30 - 13, 4 * 30 - 13));
  PressAt(122, 297);
  EXPECT_EQ(Form->BoardEngine->CellAt(4, 10), CellBlack);
  EXPECT_EQ(Form->BoardEngine->CellAt(10, 4), CellEmpty);
}

TEST_F(BoardDrawing, MoveNumbersOnlyForStonesOnTheBoard) {
  NewGame(false, false);
  Click(8, 8);
  Click(9, 9);
  const QImage plain = Form->Image1->Picture().copy();
  Form->ShowSteps = true;
  Form->RedrawBoard();
  const std::vector<QPoint> numbered = Differences(plain, Form->Image1->Picture());
  ASSERT_FALSE(numbered.empty());
  // The numbers start at (column P - 5, row P - 5).
  for (const QPoint& p : numbered)
    EXPECT_TRUE(p.x() >= 235 && p.y() >= 235) << p.x() << "," << p.y();
  EXPECT_EQ(Form->Image1->Picture().pixel(235, 235), qRgb(255, 255, 255)) << "filled background";

  Form->PlyCount = 1;  // as after a step back: the forward tail gets no number
  Form->RedrawBoard();
  for (const QPoint& p : Differences(plain, Form->Image1->Picture()))
    EXPECT_TRUE(p.x() < 265 && p.y() < 265) << p.x() << "," << p.y();
}

// On its way back to the smallest board the picture may be briefly too small for a pitch of even
// one pixel: it is drawn without fault and the mouse finds no intersection on it. At a pitch of
// two pixels the board works as at any other size.
TEST_F(BoardDrawing, PictureTooSmallForTheGridIgnoresTheMouse) {
  NewGame(false, false);
  Form->Image1->resize(10, 10);
  Form->RedrawBoard();
  EXPECT_EQ(Form->CellPitch, 0);
  MoveTo(5, 5);
  PressAt(5, 5);
  EXPECT_EQ(Form->PlyCount, 0);

  Form->Image1->resize(40, 40);
  Form->RedrawBoard();
  EXPECT_EQ(Form->CellPitch, 2);
  PressAt(20, 20);
  EXPECT_EQ(Form->History, Moves({{10, 10}}));
}

// Where the window manager keeps the window from its square size (maximised, say), the square
// board sits in the middle of the space it has, and the mouse and the drawing follow it: a click
// on an intersection as shown places its stone there, a click on the band beside it does nothing.
TEST_F(BoardDrawing, BoardCentredInAnUnsquareSpace) {
  NewGame(false, false);
  const struct {
    QSize space;
    QPoint origin;
    int column, row;
  } cases[] = {{{640, 480}, {80, 0}, 8, 8}, {{480, 600}, {0, 60}, 4, 10}};
  for (const auto& c : cases) {
    Form->Image1->resize(c.space);
    Form->RedrawBoard();
    ASSERT_EQ(Form->Image1->Picture().size(), QSize(480, 480));
    ASSERT_EQ(Form->Image1->PictureOrigin(), c.origin);
    PressAt(c.origin.x() / 2 + 1, c.origin.y() / 2 + 1);
    PressAt(c.origin.x() + c.column * 30 + 5, c.origin.y() + c.row * 30 - 5);
    EXPECT_EQ(Form->History.back(), Moves({{c.column, c.row}}).front());
    EXPECT_EQ(Form->PlyCount, &c - cases + 1) << "one stone per case";

    // Shown by a control of its own, out of the window's layout, which would size it anew.
    TImage control;
    control.resize(c.space);
    control.SetPicture(Form->Image1->Picture());
    const QImage shown = control.grab().toImage();
    EXPECT_TRUE(IsBlack(shown.pixel(c.origin + QPoint(30, 100)))) << "the first grid line";
    EXPECT_EQ(shown.pixel(c.origin / 2 + QPoint(1, 1)), control.palette().window().color().rgb())
        << "the band beside the board";
  }
}

TEST(ResizeRule, SquaresToAMultipleOfSixteen) {
  // The picture follows the window pixel for pixel; 503 x 487 ends at 480 x 480.
  const QSize window(600, 700), picture(503, 487);
  const QSize target = SquaredWindowSize(window, picture);
  EXPECT_EQ(picture + (target - window), QSize(480, 480));
  EXPECT_EQ(SquaredWindowSize(QSize(500, 500), QSize(480, 480)), QSize(500, 500));
  EXPECT_EQ(SquaredWindowSize(QSize(500, 500), QSize(481, 496)), QSize(499, 484));

  // A picture below 80 first sets that side of the window to 175.
  const QSize narrow = SquaredWindowSize(QSize(90, 600), QSize(70, 500));
  EXPECT_LE(narrow.width(), 175);
  EXPECT_EQ(70 + narrow.width() - 90, 144);
  EXPECT_EQ(500 + narrow.height() - 600, 144);
}

TEST_F(BoardDrawing, ShownWindowSettlesOnASquarePicture) {
  const auto settle = [] {
    for (int i = 0; i < 20; ++i)
      QApplication::processEvents();
  };
  Form->show();
  settle();
  const auto pictureSize = [this] { return Form->Image1->size(); };
  EXPECT_EQ(pictureSize().width(), pictureSize().height());
  EXPECT_EQ(pictureSize().width() % 16, 0);
  EXPECT_EQ(Form->History, Moves({{8, 8}})) << "the first showing starts a game";

  Form->resize(Form->size() + QSize(503, 487) - pictureSize());
  settle();
  EXPECT_EQ(pictureSize(), QSize(480, 480));
  EXPECT_EQ(Form->CellPitch, 30);
  EXPECT_EQ(Form->Image1->Picture().size(), QSize(480, 480));

  Form->resize(Form->size() - QSize(100, 40));
  settle();
  EXPECT_EQ(pictureSize(), QSize(368, 368));
  EXPECT_EQ(Form->CellPitch, 23);
}

}  // namespace
