// The drawing surface: colours with red in the low byte, lines without their end point, wide
// exclusive-or pens, transparent stretching and text on a filled background.
#include <gtest/gtest.h>

#include "Canvas.h"

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
