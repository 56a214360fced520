// SPDX-License-Identifier: GPL-3.0-or-later
// The board picture of the main window: the full redraw, single stones and move numbers, the two
// exclusive-or corner marks, the mouse read-out and the resize rule that keeps the picture
// square. Everything scales with the cell pitch, a sixteenth of the square picture.
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "ImageControl.h"
#include "MainForm.h"

QRect TForm1::StoneBox(int32_t column, int32_t row) const {
  const int32_t pitch = CellPitch, half = pitch / 2;
  return QRect(column * pitch - half + 2, row * pitch - half + 2, pitch - 2, pitch - 2);
}

// The picture is the largest square the image control holds; where the window manager will not
// give the window its square size, the control shows it in its middle.
void TForm1::RedrawBoard() {
  const int side = std::min(Image1->width(), Image1->height());
  CellPitch = side / 16;
  QImage picture(side, side, QImage::Format_RGB32);
  TCanvas(picture).StretchDraw(picture.rect(), BoardPicture);
  Image1->SetPicture(picture);
  DrawCornerMark(CursorColumn, CursorRow, CursorMarkColor);
  DrawCornerMark(LastColumn, LastRow, LastMoveMarkColor);
  DrawGrid();
  DrawFrame();
  DrawStones();
  if (ShowSteps) DrawMoveNumbers();
  if (HintColumn > 0) DrawHintMark(HintColumn, HintRow);
  Image1->repaint();
  Image1->IntersectionsChanged();  // after New game, a step or an open
}

// A ring of sixteen strokes a quarter pitch from the intersection, exclusive-or like the corner
// marks, so that the same call again removes it.
void TForm1::DrawHintMark(int32_t column, int32_t row) {
  TCanvas& canvas = Image1->Canvas();
  canvas.Pen = TPen{HintMarkColor, 2, true};
  const double radius = CellPitch / 4.0, step = 3.14159265358979 / 8;
  const QPoint centre(column * CellPitch, row * CellPitch);
  std::vector<std::pair<QPoint, QPoint>> strokes;
  for (int k = 0; k < 16; ++k) {
    auto point = [&](int at) {
      return centre + QPoint(static_cast<int>(std::lround(radius * std::cos(at * step))),
                             static_cast<int>(std::lround(radius * std::sin(at * step))));
    };
    strokes.push_back({point(k), point(k + 1)});
  }
  canvas.DrawLines(strokes);
}

void TForm1::ClearHint() {
  if (HintColumn == 0) return;
  DrawHintMark(HintColumn, HintRow);
  HintColumn = HintRow = 0;
  Image1->repaint();
}

void TForm1::DrawGrid() {
  TCanvas& canvas = Image1->Canvas();
  canvas.Pen = TPen{ColorBlack, 1, false};
  const int32_t pitch = CellPitch, last = BoardSize * pitch;
  for (int32_t i = 1; i <= BoardSize; ++i) {
    canvas.MoveTo(i * pitch, pitch);
    canvas.LineTo(i * pitch, last);
  }
  for (int32_t j = 1; j <= BoardSize; ++j) {
    canvas.MoveTo(pitch, j * pitch);
    canvas.LineTo(last, j * pitch);
  }
}

// The left line starts one pixel higher than the top one, which closes the top-left corner.
void TForm1::DrawFrame() {
  TCanvas& canvas = Image1->Canvas();
  canvas.Pen = TPen{ColorBlack, 2, false};
  const int32_t near = CellPitch - 4, far = BoardSize * CellPitch + 4;
  canvas.MoveTo(near, near - 1);
  canvas.LineTo(near, far);
  canvas.MoveTo(far, near);
  canvas.LineTo(far, far);
  canvas.MoveTo(near, near);
  canvas.LineTo(far, near);
  canvas.MoveTo(near, far);
  canvas.LineTo(far, far);
}

void TForm1::DrawStone(int32_t column, int32_t row, uint8_t colour) {
  if (colour == CellBlack)
    Image1->Canvas().StretchDrawTransparent(StoneBox(column, row), BlackStone);
  else if (colour == CellWhite)
    Image1->Canvas().StretchDrawTransparent(StoneBox(column, row), WhiteStone);
}

void TForm1::DrawStones() {
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row)
      DrawStone(column, row, BoardEngine->CellAt(column, row));
  }
}

void TForm1::DrawMoveNumber(int32_t column, int32_t row, int32_t number) {
  Image1->Canvas().TextOut(column * CellPitch - 5, row * CellPitch - 5, QString::number(number));
}

// Only the moves on the board are numbered, not the forward tail.
void TForm1::DrawMoveNumbers() {
  for (int32_t k = 1; k <= PlyCount; ++k) {
    const MoveEntry& move = History[static_cast<size_t>(k) - 1];
    DrawMoveNumber(move.Column, move.Row, k);
  }
}

// A bracket of two strokes a quarter pitch long in each corner of the stone box. The pen is
// exclusive-or, so the same call again removes the mark. The two-pixel strokes of a bottom bracket
// overlap where they meet; drawn as one figure, the shared pixels are flipped once, not back.
void TForm1::DrawCornerMark(int32_t column, int32_t row, TColor colour) {
  TCanvas& canvas = Image1->Canvas();
  canvas.Pen = TPen{colour, 2, true};
  const QRect box = StoneBox(column, row);
  const int32_t x0 = box.left(), y0 = box.top(), e = CellPitch - 2, l = CellPitch / 4;
  canvas.DrawLines({{{x0, y0}, {x0 + l, y0}},
                    {{x0, y0 + 1}, {x0, y0 + l}},
                    {{x0 + e, y0}, {x0 + e - l, y0}},
                    {{x0 + e, y0 + 1}, {x0 + e, y0 + l}},
                    {{x0, y0 + e}, {x0 + l, y0 + e}},
                    {{x0, y0 + e - 1}, {x0, y0 + e - l}},
                    {{x0 + e, y0 + e}, {x0 + e - l, y0 + e}},
                    {{x0 + e, y0 + e - 1}, {x0 + e, y0 + e - l}}});
}

void TForm1::Image1MouseMove(int x, int y) {
  int32_t column = 0, row = 0;
  if (CellUnder(x, y, column, row)) MoveCursor(column, row);
}

// The panel is written on every move inside the grid, also when the cell stays the same.
void TForm1::MoveCursor(int32_t column, int32_t row) {
  if (column != CursorColumn || row != CursorRow) {
    DrawCornerMark(CursorColumn, CursorRow, CursorMarkColor);
    DrawCornerMark(column, row, CursorMarkColor);
    CursorColumn = column;
    CursorRow = row;
    Image1->CursorMoved();
  }
  StatusPanels[1]->setText(QString("%1 : %2").arg(column).arg(row));
}

// The window manager answers a resize request in its own time, and may answer it with another
// size or not at all. So the window asks once for the size at which the picture is square and
// redraws with whatever it has; a request it has already made is not repeated, which keeps a
// refusing window manager from starting a resize loop.
// A maximised or full-screen window keeps the size its screen gives it: a request for another
// would be ignored, or would take the window out of that state and past the screen's edge. The
// board is then shown in the middle of the space it has.
void TForm1::FormResize() {
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
    LastResizeRequest = QSize();
    RedrawBoard();
    return;
  }
  const QSize target = SquaredWindowSize(size(), Image1->size());
  if (target == size()) {
    LastResizeRequest = QSize();
  } else if (target != LastResizeRequest) {
    LastResizeRequest = target;
    resize(target);
    if (Image1->width() == Image1->height() && Image1->width() % 16 == 0) return;
  }
  RedrawBoard();
}
