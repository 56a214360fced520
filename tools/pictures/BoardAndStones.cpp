// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>

#include "Painting.h"
#include "Pictures.h"

QImage BoardBackground() {
  // A scalar grain field through a 256-entry ramp of wood colours: the 8-bit picture loses
  // nothing against a true-colour one.
  QImage image(200, 199, QImage::Format_Indexed8);
  QList<QRgb> table;
  for (int i = 0; i < 256; ++i)
    table.append(WoodColour(i / 255.0).rgb());
  image.setColorTable(table);
  for (int y = 0; y < image.height(); ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x)
      line[x] = static_cast<uchar>(std::lround(WoodGrain(x, y) * 255));
  }
  return image;
}

QImage StoneBitmap(bool black) {
  constexpr int Size = 41;
  constexpr double Radius = 19.75;
  constexpr double Centre = Size / 2.0;
  // Edge pixels only partly covered by the stone are mixed with the wood they will be drawn on,
  // not with the black background, which would leave a dark rim around a light stone on the
  // board. Pixels covered less than a quarter stay background.
  const QColor rim = MeanColour(BoardBackground());
  QImage image(Size, Size, QImage::Format_RGB32);
  image.fill(Qt::black);
  for (int y = 0; y < Size; ++y) {
    for (int x = 0; x < Size; ++x) {
      double r = 0, g = 0, b = 0;
      int cover = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const double dx = (x + (sx + 0.5) / 4 - Centre) / Radius;
          const double dy = (y + (sy + 0.5) / 4 - Centre) / Radius;
          if (dx * dx + dy * dy > 1.0) continue;
          const QColor c = StoneShade(black, dx, dy);
          r += c.red();
          g += c.green();
          b += c.blue();
          ++cover;
        }
      }
      if (cover < 4) continue;
      const double share = cover / 16.0;
      auto channel = [&](double sum, int rimValue) {
        // Never 0 on all three: black is the transparent colour.
        return std::clamp(static_cast<int>(std::lround(sum / 16.0 + rimValue * (1 - share))), 1,
                          255);
      };
      image.setPixel(x, y,
                     qRgb(channel(r, rim.red()), channel(g, rim.green()), channel(b, rim.blue())));
    }
  }
  return image;
}
