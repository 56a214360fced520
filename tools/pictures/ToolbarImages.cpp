// SPDX-License-Identifier: GPL-3.0-or-later
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPolygonF>
#include <functional>

#include "Painting.h"
#include "Pictures.h"

// Every image is drawn on a 32-pixel square in one style: gradient-filled shapes with a darker
// 1-pixel outline, blue for moving through a game, green for starting, red for leaving,
// wood and stones for the board itself.
namespace {

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

QPainterPath Circle(double cx, double cy, double r) {
  QPainterPath path;
  path.addEllipse(QPointF(cx, cy), r, r);
  return path;
}

QPainterPath RoundedBox(double x0, double y0, double x1, double y1, double r) {
  QPainterPath path;
  path.addRoundedRect(QRectF(x0, y0, x1 - x0, y1 - y0), r, r);
  return path;
}

// A person seen from the front: head and shoulders, standing on (cx, bottom).
QPainterPath Person(double cx, double bottom, double scale) {
  QPainterPath body;
  const double w = 7.5 * scale, shoulder = bottom - 8 * scale;
  body.moveTo(cx - w, bottom);
  body.lineTo(cx - w, shoulder + 3 * scale);
  body.cubicTo(cx - w, shoulder - 2.5 * scale, cx + w, shoulder - 2.5 * scale, cx + w,
               shoulder + 3 * scale);
  body.lineTo(cx + w, bottom);
  body.closeSubpath();
  return body;
}

void DrawPerson(QPainter& p, double cx, double bottom, double scale, const TShades& shirt) {
  FillShape(p, Person(cx, bottom, scale), shirt);
  const TShades skin{QColor(255, 222, 190), QColor(232, 176, 130), QColor(120, 78, 44)};
  FillShape(p, Circle(cx, bottom - 12.5 * scale, 4.2 * scale), skin);
}

void DrawMonitor(QPainter& p, double x0, double y0, double x1, double y1) {
  const double cx = (x0 + x1) / 2;
  FillShape(p,
            Polygon({{cx - 2.5, y1 - 1}, {cx + 2.5, y1 - 1}, {cx + 3, y1 + 3}, {cx - 3, y1 + 3}}),
            Grey);
  FillShape(p, RoundedBox(cx - 7, y1 + 2.5, cx + 7, y1 + 5.5, 1.2), Grey);
  FillShape(p, RoundedBox(x0, y0, x1, y1, 2), Grey);
  FillShape(p, QPainterPath(RoundedBox(x0 + 2.5, y0 + 2.5, x1 - 2.5, y1 - 2.5, 0.8)),
            QColor(90, 150, 230), QColor(30, 70, 150), QColor(20, 40, 90));
}

void DrawStoneAt(QImage& image, double cx, double cy, double d, bool black) {
  DrawStone(image, cx, cy, d, black);
}

void DrawBoardTile(QPainter& p, double x0, double y0, double x1, double y1) {
  FillShape(p, RoundedBox(x0, y0, x1, y1, 2.5), QColor(246, 214, 156), QColor(214, 162, 96),
            QColor(120, 76, 36));
  p.setPen(QPen(QColor(96, 62, 30), 1.0));
  const double step = (x1 - x0) / 4;
  for (int i = 1; i < 4; ++i) {
    const double at = x0 + i * step;
    p.drawLine(QPointF(at, y0 + 2), QPointF(at, y1 - 2));
    p.drawLine(QPointF(x0 + 2, y0 + i * (y1 - y0) / 4), QPointF(x1 - 2, y0 + i * (y1 - y0) / 4));
  }
}

QPainterPath Star(double cx, double cy, double outer, double inner) {
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = i % 2 ? inner : outer;
    const double a = -M_PI / 2 + i * M_PI / 5;
    const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (i == 0)
      star.moveTo(pt);
    else
      star.lineTo(pt);
  }
  star.closeSubpath();
  return star;
}

QPainterPath ArrowRight() {
  return Polygon({{3.5, 12.5},
                  {16.5, 12.5},
                  {16.5, 5.5},
                  {28.5, 16},
                  {16.5, 26.5},
                  {16.5, 19.5},
                  {3.5, 19.5}});
}

QPainterPath Mirrored(const QPainterPath& path) {
  QTransform flip(-1, 0, 0, 1, 32, 0);
  return flip.map(path);
}

void Exit(QPainter& p, QImage&) {
  FillShape(p, QPainterPath(RoundedBox(4.5, 3.5, 19.5, 28.5, 1)), QColor(70, 60, 52),
            QColor(30, 26, 22), QColor(20, 16, 12));
  FillShape(p, Polygon({{4.5, 3.5}, {12.5, 6.5}, {12.5, 30.5}, {4.5, 28.5}}), Brown);
  FillShape(p, Circle(10.5, 17.5, 0.9), Yellow);
  FillShape(p,
            Polygon({{13.5, 13.5},
                     {21.5, 13.5},
                     {21.5, 8},
                     {30, 16.5},
                     {21.5, 25},
                     {21.5, 19.5},
                     {13.5, 19.5}}),
            Red);
}

void About(QPainter& p, QImage&) {
  FillShape(p, Circle(16, 16, 13.5), Blue);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(16, 9.5), 2.3, 2.3);
  p.drawRoundedRect(QRectF(13.8, 13.5, 4.4, 11.5), 1.2, 1.2);
}

void NewGameButton(QPainter& p, QImage& image) {
  DrawBoardTile(p, 2.5, 6.5, 25.5, 29.5);
  p.end();
  DrawStoneAt(image, 8.25, 18, 7, true);
  DrawStoneAt(image, 14, 23.75, 7, false);
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing);
  FillShape(p, Star(24.5, 7.5, 7, 3), Yellow);
}

void StartForward(QPainter& p, QImage&) {
  FillShape(p, Circle(16, 16, 13.5), Green);
  FillShape(p, Polygon({{12.5, 8.5}, {23.5, 16}, {12.5, 23.5}}), QColor(255, 255, 255),
            QColor(226, 240, 226), QColor(22, 96, 34));
}

void Clock(QPainter& p, QImage&) {
  FillShape(p, Circle(16, 16, 13.5), Blue);
  FillShape(p, Circle(16, 16, 10.5), Paper);
  p.setPen(QPen(QColor(40, 44, 52), 1.4, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 12; i += 3) {
    const double a = i * M_PI / 6;
    p.drawLine(QPointF(16 + 8.5 * std::sin(a), 16 - 8.5 * std::cos(a)),
               QPointF(16 + 7 * std::sin(a), 16 - 7 * std::cos(a)));
  }
  p.setPen(QPen(QColor(30, 32, 38), 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 16), QPointF(16, 8.5));
  p.drawLine(QPointF(16, 16), QPointF(21, 18.5));
  p.setPen(QPen(QColor(200, 44, 36), 1.0, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(16, 16), QPointF(11.5, 22));
  FillShape(p, Circle(16, 16, 1.4), Red);
}

void Open(QPainter& p, QImage&) {
  FillShape(p,
            Polygon({{3.5, 7.5}, {11.5, 7.5}, {13.5, 9.5}, {25.5, 9.5}, {25.5, 26.5}, {3.5, 26.5}}),
            QColor(240, 190, 80), QColor(196, 136, 34), QColor(150, 100, 20));
  FillShape(p, QPainterPath(RoundedBox(6.5, 11.5, 23.5, 22.5, 0.5)), Paper);
  FillShape(p, Polygon({{7.5, 15.5}, {30.5, 15.5}, {25.5, 27.5}, {2.5, 27.5}}), Yellow);
}

void ShowSteps(QPainter& p, QImage& image) {
  p.end();
  DrawStoneAt(image, 15.5, 15.5, 27, true);
  p.begin(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(Polygon({{15, 8},
                      {18, 8},
                      {18, 21},
                      {20.5, 21},
                      {20.5, 23.5},
                      {12, 23.5},
                      {12, 21},
                      {15, 21},
                      {15, 12},
                      {12.5, 13.3},
                      {12.5, 10.6}}));
}

// The curved "one step back" arrow: an arc bending to the left with its head at the top.
void BackwardAction(QPainter& p, QImage&) {
  QPainterPath arc;
  const QRectF ring(8.5, 9.5, 18, 17);
  arc.arcMoveTo(ring, -70);
  arc.arcTo(ring, -70, 160);
  arc.lineTo(13, ring.top());
  QPainterPathStroker stroker;
  stroker.setWidth(5);
  stroker.setCapStyle(Qt::FlatCap);
  QPainterPath shape = stroker.createStroke(arc);
  shape = shape.united(Polygon({{3.5, 11}, {14.5, 3.5}, {14.5, 18.5}}));
  FillShape(p, shape.simplified(), Blue);
}

void Save(QPainter& p, QImage&) {
  FillShape(p, Polygon({{3.5, 3.5}, {25.5, 3.5}, {28.5, 6.5}, {28.5, 28.5}, {3.5, 28.5}}), Blue);
  FillShape(p, QPainterPath(RoundedBox(9.5, 3.5, 22.5, 12.5, 0.5)), Grey);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 70, 86));
  p.drawRect(QRectF(17, 5, 3, 6));
  FillShape(p, QPainterPath(RoundedBox(7.5, 16.5, 24.5, 28.5, 0.8)), Paper);
  p.setPen(QPen(QColor(150, 160, 176), 1.0));
  p.drawLine(QPointF(10, 20.5), QPointF(22, 20.5));
  p.drawLine(QPointF(10, 24.5), QPointF(22, 24.5));
}

void ComputerPlay(QPainter& p, QImage& image) {
  DrawMonitor(p, 2.5, 4.5, 29.5, 23.5);
  p.end();
  DrawStoneAt(image, 12, 14, 8, true);
  DrawStoneAt(image, 20, 14, 8, false);
  p.begin(&image);
}

// Computer or two players: the screen and a person facing each other across a swap arrow.
void Mode(QPainter& p, QImage&) {
  DrawMonitor(p, 1.5, 3.5, 17.5, 16.5);
  DrawPerson(p, 24, 30.5, 0.85, Green);
  FillShape(
      p,
      Polygon(
          {{6, 22}, {10.5, 18}, {10.5, 20.5}, {14, 20.5}, {14, 23.5}, {10.5, 23.5}, {10.5, 26}}),
      Yellow);
  FillShape(
      p,
      Polygon({{24, 9}, {19.5, 5}, {19.5, 7.5}, {16, 7.5}, {16, 10.5}, {19.5, 10.5}, {19.5, 13}}),
      Yellow);
}

void TwoPlayers(QPainter& p, QImage&) {
  DrawPerson(p, 11, 27.5, 1.0, Ink);
  DrawPerson(p, 21, 30.5, 1.0, Paper);
}

void Forward(QPainter& p, QImage&) {
  FillShape(p, ArrowRight(), Blue);
}

void Backward(QPainter& p, QImage&) {
  FillShape(p, Mirrored(ArrowRight()), Blue);
}

void ToStart(QPainter& p, QImage&) {
  FillShape(p, QPainterPath(RoundedBox(4.5, 6.5, 9.5, 25.5, 1)), Blue);
  FillShape(p, Polygon({{27.5, 6.5}, {11.5, 16}, {27.5, 25.5}}), Blue);
}

}  // namespace

QImage ToolbarImage(int index) {
  using TPainter = void (*)(QPainter&, QImage&);
  static const TPainter painters[ToolbarImageCount] = {
      Exit, About,        NewGameButton, StartForward, Clock,   Open,     ShowSteps, BackwardAction,
      Save, ComputerPlay, Mode,          TwoPlayers,   Forward, Backward, ToStart};
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  if (index < 0 || index >= ToolbarImageCount) return image;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painters[index](painter, image);
  if (painter.isActive()) painter.end();
  return image;
}
