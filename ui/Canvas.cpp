// SPDX-License-Identifier: GPL-3.0-or-later
#include "Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

QRgb RgbOf(TColor color) {
  return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor ColorOf(QRgb rgb) {
  return static_cast<TColor>(qRed(rgb)) | static_cast<TColor>(qGreen(rgb)) << 8 |
         static_cast<TColor>(qBlue(rgb)) << 16;
}

TCanvas::TCanvas(QImage& picture) : Picture(picture) {
  if (!Picture.isNull() && Picture.format() != QImage::Format_RGB32)
    Picture = Picture.convertToFormat(QImage::Format_RGB32);
}

void TCanvas::MoveTo(int x, int y) {
  PenPos = QPoint(x, y);
}

namespace {
// The points of a line from a to b, b itself left out (Bresenham).
std::vector<QPoint> ThinLinePoints(QPoint a, QPoint b) {
  std::vector<QPoint> points;
  const int dx = std::abs(b.x() - a.x()), dy = -std::abs(b.y() - a.y());
  const int sx = a.x() < b.x() ? 1 : -1, sy = a.y() < b.y() ? 1 : -1;
  int error = dx + dy;
  QPoint p = a;
  while (p != b) {
    points.push_back(p);
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      p.rx() += sx;
    }
    if (twice <= dx) {
      error += dx;
      p.ry() += sy;
    }
  }
  return points;
}
}  // namespace

void TCanvas::LineTo(int x, int y) {
  const QPoint start = PenPos;
  PenPos = QPoint(x, y);
  const QRgb rgb = RgbOf(Pen.Color);
  for (const QPoint& p : LinePixels(start, PenPos))
    Plot(p.x(), p.y(), Pen.XorMode, rgb);
}

void TCanvas::DrawLines(const std::vector<std::pair<QPoint, QPoint>>& lines) {
  std::vector<QPoint> pixels;
  for (const auto& [start, end] : lines) {
    const std::vector<QPoint> line = LinePixels(start, end);
    pixels.insert(pixels.end(), line.begin(), line.end());
    PenPos = end;
  }
  const auto before = [](QPoint a, QPoint b) {
    return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x();
  };
  std::sort(pixels.begin(), pixels.end(), before);
  pixels.erase(std::unique(pixels.begin(), pixels.end()), pixels.end());
  const QRgb rgb = RgbOf(Pen.Color);
  for (const QPoint& p : pixels)
    Plot(p.x(), p.y(), Pen.XorMode, rgb);
}

std::vector<QPoint> TCanvas::LinePixels(QPoint start, QPoint end) const {
  if (Picture.isNull()) return {};
  if (Pen.Width <= 1) return ThinLinePoints(start, end);
  // A wide pen fills the band of its width along the segment, flat at both ends. Along the
  // segment the band takes in its start and leaves out its end, whichever way it runs, just as a
  // thin line does. Across it, a pixel on the band's first edge (left, then top) is counted in
  // and one on its last edge out, so a horizontal band of width 2 covers its own row and the one
  // above whatever its direction.
  std::vector<QPoint> points;
  const double dx = end.x() - start.x(), dy = end.y() - start.y();
  const double length2 = dx * dx + dy * dy;
  if (length2 == 0) return points;
  const double half = Pen.Width / 2.0, length = std::sqrt(length2);
  const bool sideways = dy - dx > 0 || (dy - dx == 0 && dy > 0);
  const int reach = Pen.Width;
  const int left = std::min(start.x(), end.x()) - reach,
            right = std::max(start.x(), end.x()) + reach;
  const int top = std::min(start.y(), end.y()) - reach,
            bottom = std::max(start.y(), end.y()) + reach;
  for (int py = std::max(top, 0); py <= std::min(bottom, Picture.height() - 1); ++py) {
    for (int px = std::max(left, 0); px <= std::min(right, Picture.width() - 1); ++px) {
      const double rx = px - start.x(), ry = py - start.y();
      const double along = (rx * dx + ry * dy) / length2;  // 0 at start, 1 at end
      const double across = (rx * dy - ry * dx) / length;  // signed distance from the segment
      const bool inAcross =
          sideways ? across >= -half && across < half : across > -half && across <= half;
      if (along >= 0 && along < 1 && inAcross) points.emplace_back(px, py);
    }
  }
  return points;
}

void TCanvas::Plot(int x, int y, bool exclusive, QRgb rgb) {
  if (!Picture.valid(x, y)) return;
  QRgb& pixel = reinterpret_cast<QRgb*>(Picture.scanLine(y))[x];
  pixel = exclusive ? (pixel ^ (rgb & 0x00FFFFFF)) | 0xFF000000 : rgb;
}

void TCanvas::StretchDraw(const QRect& box, const QImage& bitmap) {
  if (Picture.isNull() || bitmap.isNull() || box.isEmpty()) return;
  QPainter painter(&Picture);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(box, bitmap);
}

void TCanvas::StretchDrawTransparent(const QRect& box, const QImage& bitmap) {
  if (Picture.isNull() || bitmap.isNull() || box.isEmpty()) return;
  const QRgb transparent = bitmap.pixel(0, bitmap.height() - 1) | 0xFF000000;
  QImage masked = bitmap.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  for (int row = 0; row < masked.height(); ++row) {
    QRgb* line = reinterpret_cast<QRgb*>(masked.scanLine(row));
    for (int column = 0; column < masked.width(); ++column) {
      if ((line[column] | 0xFF000000) == transparent && qAlpha(line[column]) == 0xFF)
        line[column] = 0;
    }
  }
  QPainter painter(&Picture);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(box, masked);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  if (Picture.isNull() || text.isEmpty()) return;
  QPainter painter(&Picture);
  painter.setFont(Font);
  const QFontMetrics metrics(Font);
  const QRect area(x, y, metrics.horizontalAdvance(text), metrics.height());
  painter.fillRect(area, QColor(RgbOf(BrushColor)));
  painter.setPen(QColor(RgbOf(FontColor)));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, text);
}

TColor TCanvas::Pixel(int x, int y) const {
  if (!Picture.valid(x, y)) return ColorInvalid;
  return ColorOf(Picture.pixel(x, y));
}
