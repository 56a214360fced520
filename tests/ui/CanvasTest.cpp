// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface: colours with red in the low byte, lines without their end point, wide
// exclusive-or pens, transparent stretching and text on a filled background.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Canvas.h"
#include "PixelSets.h"

namespace {

QImage Blank(int width = 20, int height = 20) {
  QImage picture(width, height, QImage::Format_RGB32);
  picture.fill(qRgb(200, 200, 200));
  return picture;
}

int CountChanged(const QImage& a, const QImage& b) {
  int changed = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x)
      changed += a.pixel(x, y) != b.pixel(x, y);
  }
  return changed;
}

TEST(Canvas, ColoursHaveRedInTheLowByte) {
  EXPECT_EQ(RgbOf(255), qRgb(255, 0, 0));
  EXPECT_EQ(RgbOf(0x8000), qRgb(0, 128, 0));
  EXPECT_EQ(ColorOf(qRgb(1, 2, 3)), 0x030201u);
  QImage picture = Blank();
  TCanvas canvas(picture);
  canvas.Pen.Color = 255;
  canvas.MoveTo(2, 2);
  canvas.LineTo(3, 2);
  EXPECT_EQ(picture.pixel(2, 2), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(2, 2), 255u);
  EXPECT_EQ(canvas.Pixel(-1, 2), ColorInvalid);
  EXPECT_EQ(canvas.Pixel(2, 20), ColorInvalid);
}

TEST(Canvas, LinesStopBeforeTheirEndPoint) {
  QImage picture = Blank();
  const QImage blank = picture.copy();
  TCanvas canvas(picture);
  canvas.MoveTo(3, 5);
  canvas.LineTo(10, 5);
  EXPECT_EQ(CountChanged(blank, picture), 7);
  EXPECT_EQ(canvas.Pixel(3, 5), ColorBlack);
  EXPECT_EQ(canvas.Pixel(9, 5), ColorBlack);
  EXPECT_NE(canvas.Pixel(10, 5), ColorBlack);

  // Drawing on from the pen position; backwards and diagonal lines too.
  canvas.LineTo(10, 1);
  EXPECT_EQ(canvas.Pixel(10, 5), ColorBlack);
  EXPECT_EQ(canvas.Pixel(10, 2), ColorBlack);
  EXPECT_NE(canvas.Pixel(10, 1), ColorBlack);
  canvas.MoveTo(15, 15);
  canvas.LineTo(12, 12);
  EXPECT_EQ(canvas.Pixel(14, 14), ColorBlack);
  EXPECT_EQ(canvas.Pixel(13, 13), ColorBlack);
  EXPECT_NE(canvas.Pixel(12, 12), ColorBlack);
  // A line to its own start draws nothing; lines off the picture are clipped.
  const QImage drawn = picture.copy();
  canvas.MoveTo(1, 1);
  canvas.LineTo(1, 1);
  canvas.MoveTo(-5, 19);
  canvas.LineTo(30, 19);
  EXPECT_EQ(CountChanged(drawn, picture), 20);
}

TEST(Canvas, WideExclusiveOrPenChangesEachPixelOnce) {
  QImage picture = Blank();
  const QImage blank = picture.copy();
  TCanvas canvas(picture);
  canvas.Pen = TPen{0x8000, 2, true};
  canvas.MoveTo(5, 5);
  canvas.LineTo(12, 5);
  // Width 2 covers the row above as well: 2 x 7 pixels, each with the green channel flipped.
  EXPECT_EQ(CountChanged(blank, picture), 14);
  EXPECT_EQ(picture.pixel(5, 4), qRgb(200, 200 ^ 128, 200));
  EXPECT_EQ(picture.pixel(11, 5), qRgb(200, 200 ^ 128, 200));
  EXPECT_EQ(picture.pixel(12, 5), qRgb(200, 200, 200));
  EXPECT_EQ(picture.pixel(5, 6), qRgb(200, 200, 200));

  // Overlapping squares of a diagonal line flip every covered pixel once.
  canvas.MoveTo(2, 10);
  canvas.LineTo(9, 17);
  for (int i = 1; i < 7; ++i) {
    EXPECT_NE(picture.pixel(2 + i, 10 + i), blank.pixel(2 + i, 10 + i)) << i;
    EXPECT_NE(picture.pixel(1 + i, 10 + i), blank.pixel(1 + i, 10 + i)) << i;
    EXPECT_NE(picture.pixel(3 + i, 10 + i), blank.pixel(3 + i, 10 + i)) << i;
  }
  EXPECT_EQ(picture.pixel(9, 17), blank.pixel(9, 17)) << "flat end";
  canvas.MoveTo(2, 10);
  canvas.LineTo(9, 17);
  canvas.MoveTo(5, 5);
  canvas.LineTo(12, 5);
  EXPECT_EQ(CountChanged(blank, picture), 0);
}

// The eight strokes of a corner mark in the stone box (227, 227)..(255, 255) of a 480 x 480
// picture, each drawn alone: a two-pixel line starts at its start point and stops before its end
// point whichever way it runs, and lies on its own row and the one above (its own column and the
// one to the left).
TEST(Canvas, WideLinesTakeInTheirStartInEveryDirection) {
  const int x0 = 227, y0 = 227, e = 28, l = 7;
  const struct {
    QPoint from, to;
    TPixelSet pixels;
  } strokes[] = {
      {{x0, y0}, {x0 + l, y0}, Block(227, 226, 234, 228)},
      {{x0, y0 + 1}, {x0, y0 + l}, Block(226, 228, 228, 234)},
      {{x0 + e, y0}, {x0 + e - l, y0}, Block(249, 226, 256, 228)},
      {{x0 + e, y0 + 1}, {x0 + e, y0 + l}, Block(254, 228, 256, 234)},
      {{x0, y0 + e}, {x0 + l, y0 + e}, Block(227, 254, 234, 256)},
      {{x0, y0 + e - 1}, {x0, y0 + e - l}, Block(226, 249, 228, 255)},
      {{x0 + e, y0 + e}, {x0 + e - l, y0 + e}, Block(249, 254, 256, 256)},
      {{x0 + e, y0 + e - 1}, {x0 + e, y0 + e - l}, Block(254, 249, 256, 255)},
  };
  const QImage blank = Blank(480, 480);
  int number = 0;
  for (const auto& stroke : strokes) {
    ++number;
    QImage picture = blank.copy();
    TCanvas canvas(picture);
    canvas.Pen = TPen{255, 2, true};
    canvas.MoveTo(stroke.from.x(), stroke.from.y());
    canvas.LineTo(stroke.to.x(), stroke.to.y());
    EXPECT_EQ(ChangedPixels(blank, picture), stroke.pixels) << "stroke " << number;
  }
}

// Lines drawn as one figure flip a pixel they share once, so the figure has no holes and a
// second drawing of it restores the picture.
TEST(Canvas, FigureOfOverlappingLinesChangesEachPixelOnce) {
  QImage picture = Blank();
  const QImage blank = picture.copy();
  TCanvas canvas(picture);
  canvas.Pen = TPen{255, 2, true};
  const std::vector<std::pair<QPoint, QPoint>> bracket = {{{5, 12}, {12, 12}}, {{5, 11}, {5, 4}}};
  canvas.DrawLines(bracket);
  TPixelSet expected = Block(5, 11, 12, 13);
  const TPixelSet upright = Block(4, 5, 6, 12);
  expected.insert(upright.begin(), upright.end());
  EXPECT_EQ(ChangedPixels(blank, picture), expected);
  EXPECT_EQ(picture.pixel(5, 11), qRgb(200 ^ 255, 200, 200)) << "the shared pixel is flipped once";
  canvas.LineTo(5, 6);
  EXPECT_EQ(picture.pixel(5, 5), qRgb(200, 200, 200)) << "the pen went on from the last end point";
  canvas.MoveTo(5, 4);
  canvas.LineTo(5, 6);
  canvas.DrawLines(bracket);
  EXPECT_TRUE(ChangedPixels(blank, picture).empty());
}

TEST(Canvas, TransparentColourIsTheBottomLeftPixel) {
  QImage bitmap(4, 4, QImage::Format_RGB32);
  bitmap.fill(qRgb(255, 0, 255));
  bitmap.setPixel(1, 1, qRgb(10, 20, 30));
  bitmap.setPixel(2, 2, qRgb(0, 0, 0));
  QImage picture = Blank(8, 8);
  TCanvas canvas(picture);
  canvas.StretchDrawTransparent(QRect(2, 2, 4, 4), bitmap);
  EXPECT_EQ(picture.pixel(3, 3), qRgb(10, 20, 30));
  EXPECT_EQ(picture.pixel(4, 4), qRgb(0, 0, 0)) << "black is not transparent here";
  EXPECT_EQ(picture.pixel(2, 2), qRgb(200, 200, 200));
  EXPECT_EQ(picture.pixel(5, 5), qRgb(200, 200, 200));

  // The plain stretch copies every pixel, scaled to the box.
  canvas.StretchDraw(QRect(0, 0, 8, 8), bitmap);
  EXPECT_EQ(picture.pixel(0, 0), qRgb(255, 0, 255));
  EXPECT_EQ(picture.pixel(7, 7), qRgb(255, 0, 255));
}

TEST(Canvas, TextOnAFilledBackground) {
  QImage picture = Blank(60, 30);
  TCanvas canvas(picture);
  canvas.TextOut(5, 5, "88");
  EXPECT_EQ(picture.pixel(5, 5), qRgb(255, 255, 255));
  EXPECT_EQ(picture.pixel(4, 5), qRgb(200, 200, 200));
  bool inked = false;
  for (int y = 5; y < 30; ++y) {
    for (int x = 5; x < 30; ++x)
      inked = inked || qGray(picture.pixel(x, y)) < 100;
  }
  EXPECT_TRUE(inked);
}

}  // namespace
