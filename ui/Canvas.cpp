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
std::vector<QPoint> LinePoints(QPoint a, QPoint b) {
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
  const QPoint start = PenPos, end(x, y);
  PenPos = end;
  if (Picture.isNull()) return;
  const QRgb rgb = RgbOf(Pen.Color);
  if (Pen.Width <= 1) {
    for (const QPoint& p : LinePoints(start, end))
      Plot(p.x(), p.y(), Pen.XorMode, rgb);
    return;
  }
  // A wide pen fills the band of its width along the segment, flat at both ends. A pixel belongs
  // to it when it lies in the band, its first edges counted in and its last edges out, so that
  // bands meeting at a corner share no pixel and every pixel of a band is changed once.
  const double dx = end.x() - start.x(), dy = end.y() - start.y();
  const double length2 = dx * dx + dy * dy;
  if (length2 == 0) return;
  const double half = Pen.Width / 2.0, length = std::sqrt(length2);
  // Which ends of the band lie first on the screen (left, then top): those are counted in.
  const bool forward = dx + dy > 0 || (dx + dy == 0 && dx > 0);
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
      const bool inAlong = forward ? along >= 0 && along < 1 : along > 0 && along <= 1;
      const bool inAcross =
          sideways ? across >= -half && across < half : across > -half && across <= half;
      if (inAlong && inAcross) Plot(px, py, Pen.XorMode, rgb);
    }
  }
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
