// SPDX-License-Identifier: GPL-3.0-or-later
#include "Painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

double Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xffffff) / double(0xffffff);
}

double Smooth(double t) {
  return t * t * (3 - 2 * t);
}

double Mix(double a, double b, double t) {
  return a + (b - a) * t;
}

int Channel(double v) {
  return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

}  // namespace

double ValueNoise(double x, double y, int seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double top = Mix(Hash(ix, iy, seed), Hash(ix + 1, iy, seed), tx);
  const double bottom = Mix(Hash(ix, iy + 1, seed), Hash(ix + 1, iy + 1, seed), tx);
  return Mix(top, bottom, ty);
}

double FractalNoise(double x, double y, int seed, int octaves) {
  double sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x, y, seed + i * 101);
    total += weight;
    weight *= 0.5;
    x *= 2;
    y *= 2;
  }
  return sum / total;
}

// The fibres run from top to bottom. Growth rings are bands across x that wander slowly with y;
// the fine fibre noise is stretched along the fibres; a faint blotch keeps large areas alive.
double WoodGrain(double x, double y) {
  const double wander = 9.0 * FractalNoise(x * 0.012, y * 0.006, 7, 3);
  const double ring = 0.5 + 0.5 * std::sin((x + 22.0 * wander) * 0.21);
  const double band = std::pow(ring, 6.0);
  const double fibre = FractalNoise(x * 0.9, y * 0.035, 31, 3);
  const double blotch = FractalNoise(x * 0.02, y * 0.02, 53, 2);
  const double grain = 0.3 * band + 0.48 * fibre + 0.22 * blotch;
  return std::clamp((grain - 0.15) / 0.6, 0.0, 1.0);
}

QColor WoodColour(double grain) {
  // From pale honey wood to the amber of the grain lines.
  const double light[3] = {240, 206, 146};
  const double dark[3] = {206, 154, 88};
  return QColor(Channel(Mix(light[0], dark[0], grain)), Channel(Mix(light[1], dark[1], grain)),
                Channel(Mix(light[2], dark[2], grain)));
}

QColor MeanColour(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  double r = 0, g = 0, b = 0;
  for (int y = 0; y < rgb.height(); ++y) {
    for (int x = 0; x < rgb.width(); ++x) {
      const QRgb c = rgb.pixel(x, y);
      r += qRed(c);
      g += qGreen(c);
      b += qBlue(c);
    }
  }
  const double n = static_cast<double>(rgb.width()) * rgb.height();
  return QColor(Channel(r / n), Channel(g / n), Channel(b / n));
}

QColor StoneShade(bool black, double dx, double dy) {
  const double r2 = std::min(1.0, dx * dx + dy * dy);
  // A lens is flatter than a ball: scale the height down so the shading spreads wider.
  const double nz = 0.55 * std::sqrt(1.0 - r2);
  const double length = std::sqrt(dx * dx + dy * dy + nz * nz);
  const double nx = dx / length, ny = dy / length, hz = nz / length;
  const double lx = -0.45, ly = -0.55, lz = 0.70;  // normalised light from the upper left
  const double diffuse = std::max(0.0, nx * lx + ny * ly + hz * lz);
  // Blinn highlight with the viewer straight above.
  const double hx = lx, hy = ly, hzz = lz + 1.0;
  const double hl = std::sqrt(hx * hx + hy * hy + hzz * hzz);
  const double specular = std::max(0.0, (nx * hx + ny * hy + hz * hzz) / hl);
  if (black) {
    const double soft = std::pow(specular, 12.0);
    const double base = 14 + 52 * diffuse * diffuse;
    const double v = base + 120 * soft;
    return QColor(Channel(v), Channel(v + 2), Channel(v + 6));
  }
  const double soft = std::pow(specular, 30.0);
  const double base = 176 + 66 * diffuse;
  const double v = base + 30 * soft;
  return QColor(Channel(v + 2), Channel(v + 1), Channel(v - 6 + 10 * soft));
}

void DrawStone(QImage& image, double cx, double cy, double diameter, bool black) {
  const double radius = diameter / 2;
  const int x0 = static_cast<int>(std::floor(cx - radius - 2));
  const int x1 = static_cast<int>(std::ceil(cx + radius + 3));
  const int y0 = static_cast<int>(std::floor(cy - radius - 2));
  const int y1 = static_cast<int>(std::ceil(cy + radius + 3));
  const double shadowShift = std::max(1.0, diameter * 0.06);
  for (int y = std::max(0, y0); y < std::min(image.height(), y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(image.width(), x1); ++x) {
      double r = 0, g = 0, b = 0, cover = 0, shadow = 0;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
          const double dx = (px - cx) / radius, dy = (py - cy) / radius;
          if (dx * dx + dy * dy <= 1.0) {
            const QColor c = StoneShade(black, dx, dy);
            r += c.red();
            g += c.green();
            b += c.blue();
            cover += 1;
          } else {
            const double sdx = (px - cx - shadowShift) / radius;
            const double sdy = (py - cy - shadowShift) / radius;
            const double d = std::sqrt(sdx * sdx + sdy * sdy);
            shadow += std::clamp((1.12 - d) / 0.2, 0.0, 1.0) * 0.35;
          }
        }
      }
      if (cover == 0 && shadow == 0) continue;
      const double alpha = (cover + shadow) / 16.0;
      const QColor under = QColor::fromRgba(image.pixel(x, y));
      const double a0 = under.alphaF();
      // Colour of this pixel's share: the stone's samples and black shadow samples.
      const double sr = r / (cover + shadow), sg = g / (cover + shadow), sb = b / (cover + shadow);
      const double outA = alpha + a0 * (1 - alpha);
      auto blend = [&](double top, double bottom) {
        return (top * alpha + bottom * a0 * (1 - alpha)) / std::max(outA, 1e-9);
      };
      image.setPixel(x, y,
                     qRgba(Channel(blend(sr, under.red())), Channel(blend(sg, under.green())),
                           Channel(blend(sb, under.blue())), Channel(outA * 255)));
    }
  }
}

void FillShape(QPainter& painter, const QPainterPath& shape, const QColor& top,
               const QColor& bottom, const QColor& outline) {
  const QRectF box = shape.boundingRect();
  QLinearGradient gradient(box.topLeft(), box.bottomLeft());
  gradient.setColorAt(0, top);
  gradient.setColorAt(1, bottom);
  painter.setBrush(gradient);
  QPen pen(outline, 1.0);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  painter.setPen(pen);
  painter.drawPath(shape);
}

void FillShape(QPainter& painter, const QPainterPath& shape, const TShades& shades) {
  FillShape(painter, shape, shades.Light, shades.Dark, shades.Outline);
}

const TShades Blue{QColor(120, 178, 245), QColor(38, 104, 205), QColor(22, 62, 130)};
const TShades Green{QColor(128, 214, 120), QColor(40, 150, 58), QColor(22, 96, 34)};
const TShades Red{QColor(246, 122, 106), QColor(200, 44, 36), QColor(124, 24, 20)};
const TShades Yellow{QColor(255, 224, 128), QColor(232, 168, 46), QColor(150, 100, 20)};
const TShades Grey{QColor(226, 230, 236), QColor(150, 158, 170), QColor(72, 80, 92)};
const TShades Brown{QColor(214, 150, 88), QColor(150, 90, 42), QColor(92, 52, 22)};
const TShades Ink{QColor(96, 100, 110), QColor(30, 32, 38), QColor(10, 10, 14)};
const TShades Paper{QColor(255, 255, 255), QColor(222, 226, 232), QColor(96, 104, 116)};
