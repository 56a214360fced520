// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "Painting.h"
#include "Pictures.h"

namespace {

// The icon: a rounded wooden tile showing the upper-left corner of a board with its thick edge
// lines and the first stones of a game. `Stones` of the game are drawn; the small icon has room
// for fewer.
struct TIconLayout {
  int Size;
  double Margin, Corner, Origin, Pitch, Stone, Line, Edge, WoodScale;
  int Stones;
};

QImage WoodTile(int size, double scale) {
  QImage wood(size, size, QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      wood.setPixel(x, y, WoodColour(WoodGrain(x * scale + 40, y * scale + 17)).rgb());
  return wood;
}

QImage PaintIcon(const TIconLayout& l) {
  QImage image(l.Size, l.Size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    const double inner = l.Size - 2 * l.Margin;
    tile.addRoundedRect(QRectF(l.Margin, l.Margin, inner, inner), l.Corner, l.Corner);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(WoodTile(l.Size, l.WoodScale)));
    painter.drawPath(tile);

    painter.setClipPath(tile);
    painter.setPen(QPen(QColor(60, 40, 22), l.Line, Qt::SolidLine, Qt::FlatCap));
    for (int i = 1; i < 6; ++i) {
      const double at = l.Origin + i * l.Pitch;
      painter.drawLine(QPointF(at, l.Origin), QPointF(at, l.Size));
      painter.drawLine(QPointF(l.Origin, at), QPointF(l.Size, at));
    }
    painter.setPen(QPen(QColor(60, 40, 22), l.Edge, Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(QPointF(l.Origin, l.Origin), QPointF(l.Size, l.Origin));
    painter.drawLine(QPointF(l.Origin, l.Origin), QPointF(l.Origin, l.Size));
    painter.setClipping(false);

    painter.setPen(QPen(QColor(110, 70, 34), std::max(1.0, l.Size / 128.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tile);
  }
  // Black plays a diagonal, White blocks at its side: a game anyone recognises.
  const int stones[][3] = {{1, 1, 1}, {2, 1, 0}, {2, 2, 1}, {1, 3, 0}, {3, 3, 1}, {3, 2, 0}};
  for (int i = 0; i < l.Stones; ++i) {
    const auto& s = stones[i];
    DrawStone(image, l.Origin + s[0] * l.Pitch, l.Origin + s[1] * l.Pitch, l.Stone, s[2] == 1);
  }
  return image;
}

double Distance2(QRgb a, QRgb b) {
  const double dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
  return 0.3 * dr * dr + 0.59 * dg * dg + 0.11 * db * db;
}

// Reduces a picture to 15 colours chosen by k-means over its opaque pixels plus one fully
// transparent entry. The start colours are spread over the brightness order, so the result is
// the same every run.
QImage ReduceTo16Colours(const QImage& source) {
  std::vector<QRgb> opaque;
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x)
      if (qAlpha(source.pixel(x, y)) >= 128) opaque.push_back(source.pixel(x, y) | 0xff000000u);
  std::vector<QRgb> sorted = opaque;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](QRgb a, QRgb b) { return qGray(a) < qGray(b); });
  constexpr int Colours = 15;
  std::array<QRgb, Colours> centre;
  for (int k = 0; k < Colours; ++k)
    centre[k] = sorted[(sorted.size() - 1) * k / (Colours - 1)];
  auto nearest = [&](QRgb c) {
    int best = 0;
    for (int k = 1; k < Colours; ++k)
      if (Distance2(c, centre[k]) < Distance2(c, centre[best])) best = k;
    return best;
  };
  for (int round = 0; round < 20; ++round) {
    std::array<double, Colours * 4> sum{};
    for (QRgb c : opaque) {
      const int k = nearest(c);
      sum[k * 4] += qRed(c);
      sum[k * 4 + 1] += qGreen(c);
      sum[k * 4 + 2] += qBlue(c);
      sum[k * 4 + 3] += 1;
    }
    for (int k = 0; k < Colours; ++k) {
      const double n = sum[k * 4 + 3];
      if (n > 0)
        centre[k] = qRgb(static_cast<int>(std::lround(sum[k * 4] / n)),
                         static_cast<int>(std::lround(sum[k * 4 + 1] / n)),
                         static_cast<int>(std::lround(sum[k * 4 + 2] / n)));
    }
  }
  QImage reduced(source.size(), QImage::Format_Indexed8);
  QList<QRgb> table{qRgba(0, 0, 0, 0)};
  for (QRgb c : centre)
    table.append(c);
  reduced.setColorTable(table);
  for (int y = 0; y < source.height(); ++y) {
    for (int x = 0; x < source.width(); ++x) {
      const QRgb c = source.pixel(x, y);
      reduced.setPixel(x, y, qAlpha(c) < 128 ? 0 : 1 + nearest(c));
    }
  }
  return reduced;
}

}  // namespace

QImage ProgramIcon() {
  return PaintIcon({256, 8, 40, 44, 50, 44, 4, 8, 0.8, 6});
}

QImage SmallProgramIcon() {
  return ReduceTo16Colours(PaintIcon({32, 0.5, 5, 5.5, 10, 9.5, 1, 1.5, 1.2, 3}));
}

QImage ProgramIconSized(int size) {
  if (size >= 256) return ProgramIcon();
  if (size <= 16) return PaintIcon({16, 0.5, 3, 2.5, 6.5, 6, 1, 1, 1.5, 2});
  if (size <= 32) return PaintIcon({32, 0.5, 5, 5.5, 10, 9.5, 1, 1.5, 1.2, 3});
  // The large layout scaled down; lines keep at least a pixel and the grain stays visible.
  const double f = size / 256.0;
  return PaintIcon({size, 8 * f, 40 * f, 44 * f, 50 * f, 44 * f, std::max(1.0, 4 * f),
                    std::max(1.5, 8 * f), 0.8 / std::sqrt(f), 6});
}
