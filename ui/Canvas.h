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
  // A line from the pen position to (x, y), which becomes the pen position. A pen of width 1
  // stops one pixel before (x, y). A wider pen fills a band of its width centred on the segment,
  // flat at both ends, taking in its left and top edges and leaving out its right and bottom
  // ones: a horizontal line of width 2 covers its own row and the one above, from the smaller x
  // up to, not including, the larger. Every pixel of a line is changed once, so an exclusive-or
  // line drawn twice undoes itself, and bands that meet end to end share no pixel.
  void LineTo(int x, int y);

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

  void Plot(int x, int y, bool exclusive, QRgb rgb);
};
