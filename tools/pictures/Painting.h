// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers shared by the picture painters: deterministic noise, the wood colour ramp, the
// shading of a stone, and the filled-and-outlined shapes of the tool-bar style.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>

class QPainter;

// Value noise in 0..1 from a fixed hash, so that every run paints the same pixels.
double ValueNoise(double x, double y, int seed);
// Several octaves of value noise, each half as strong and twice as fine, in 0..1.
double FractalNoise(double x, double y, int seed, int octaves);

// The grain of the board wood at (x, y) in 0..1: 0 the lightest wood, 1 the darkest grain.
double WoodGrain(double x, double y);
// The wood colour of a grain value.
QColor WoodColour(double grain);

// The average colour of a picture: the tone a textured picture shows from a little way off.
QColor MeanColour(const QImage& picture);

// The lit colour of a stone at (dx, dy), the offset from its centre in radii (inside the unit
// disc). The light comes from the upper left, the stone is a flattened lens like a real one.
QColor StoneShade(bool black, double dx, double dy);

// A stone of `diameter` pixels centred at (cx, cy) onto a transparent image, with smooth edges
// from 4 x 4 samples per pixel and a soft shadow below and to the right.
void DrawStone(QImage& image, double cx, double cy, double diameter, bool black);

// The tool-bar style: a shape filled with a top-to-bottom gradient and a 1-pixel outline of
// a darker shade.
void FillShape(QPainter& painter, const QPainterPath& shape, const QColor& top,
               const QColor& bottom, const QColor& outline);

// Named colours of the tool-bar style: a light and a dark shade for the fill, and the outline.
struct TShades {
  QColor Light, Dark, Outline;
};
extern const TShades Blue, Green, Red, Yellow, Grey, Brown, Ink, Paper;
void FillShape(QPainter& painter, const QPainterPath& shape, const TShades& shades);
