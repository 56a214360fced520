// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing surface of the board picture: a small canvas over a QImage with the operations the
// board drawing is written in. Colours are 24-bit values with red in the low byte (255 is pure
// red, 0x8000 is green), a line stops one pixel before its end point, and a pen may combine with
// the picture by exclusive-or, so that drawing the same figure twice leaves the picture as it was.
#pragma once

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

// A colour as 0x00BBGGRR.
using TColor = uint32_t;

constexpr TColor ColorBlack = 0x000000;
constexpr TColor ColorWhite = 0xFFFFFF;
// Pixel answers this for a point outside the picture.
constexpr TColor ColorInvalid = 0xFFFFFFFF;

QRgb RgbOf(TColor color);
TColor ColorOf(QRgb rgb);

struct TPen {
  TColor Color = ColorBlack;
  int Width = 1;
  bool XorMode = false;  // pixel := pixel xor pen colour
};

class TCanvas {
 public:
  TPen Pen;
  TColor BrushColor = ColorWhite;  // fills the background of text
  TColor FontColor = ColorBlack;
  QFont Font;

  // Draws on picture, which must outlive the canvas; it is kept as 32-bit RGB.
  explicit TCanvas(QImage& picture);

  void MoveTo(int x, int y);
  // A line from the pen position to (x, y), which becomes the pen position. Whatever its
  // direction, a line takes in its start point and stops one pixel before (x, y). A wider pen
  // fills a band of its width along the same stretch, flat at both ends; across the line it takes
  // in its left and top edges and leaves out its right and bottom ones, so a horizontal line of
  // width 2 covers its own row and the one above. Every pixel of a line is changed once, so an
  // exclusive-or line drawn twice undoes itself, and lines that meet end to end share no pixel.
  void LineTo(int x, int y);
  // Several lines, each from its first point to its second, drawn as one figure: a pixel that
  // more than one of them covers is changed once, so an exclusive-or figure stays whole where its
  // lines overlap and still undoes itself when drawn again. The pen ends at the last end point.
  void DrawLines(const std::vector<std::pair<QPoint, QPoint>>& lines);

  // The whole bitmap stretched into box (right and bottom edges exclusive).
  void StretchDraw(const QRect& box, const QImage& bitmap);
  // The same, leaving out every pixel of the bitmap's transparent colour, which is the colour of
  // its bottom-left pixel. Edges are masked before scaling, so they blend with the picture and
  // never with the transparent colour.
  void StretchDrawTransparent(const QRect& box, const QImage& bitmap);

  // text with its top-left corner at (x, y), on a background filled with BrushColor.
  void TextOut(int x, int y, const QString& text);

  // The colour at (x, y); ColorInvalid outside the picture.
  TColor Pixel(int x, int y) const;

 private:
  QImage& Picture;
  QPoint PenPos;

  // The pixels a line of the current pen from start to end covers.
  std::vector<QPoint> LinePixels(QPoint start, QPoint end) const;
  void Plot(int x, int y, bool exclusive, QRgb rgb);
};
