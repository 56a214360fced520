// SPDX-License-Identifier: GPL-3.0-or-later
// The image control that shows the board picture (Image1): it owns the picture, offers its
// drawing surface, and passes mouse presses, mouse moves, the board's keys and its own size
// changes on. A picture smaller than the control sits in its middle; mouse positions are passed
// on in the picture's own coordinates, and only where they fall on it.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "Canvas.h"

class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  // Keeps its own copy of bitmap as the picture.
  void SetPicture(const QImage& bitmap);
  const QImage& Picture() const { return PictureImage; }
  // The drawing surface of the picture; what is drawn shows at the next paint.
  TCanvas& Canvas();
  // Where the picture's top-left corner shows in the control.
  QPoint PictureOrigin() const;

  // What a screen reader is told of the board (BoardAccessible), answered by the window that
  // plays on it: the text of an intersection and where the cursor stands.
  std::function<QString(int column, int row)> IntersectionText;
  std::function<QPoint()> Cursor;
  // Tells a screen reader that the cursor has moved, that what stands on the intersections may
  // have changed, or what has just happened (a stone played, a message shown). What is announced
  // during one command is said as one text once the command is done, so that no part of it cuts
  // another short.
  void CursorMoved();
  void IntersectionsChanged();
  void Announce(const QString& text);
  // The text last announced.
  const QString& LastAnnouncement() const { return Announcement; }

 signals:
  void MouseDown(Qt::MouseButton button, int x, int y);
  void MouseMove(int x, int y);
  // One of the keys that play on the board: an arrow, Home, Enter, Return or Space, pressed
  // without Ctrl, Alt or Shift. Other keys go on to the window (its shortcuts among them).
  void KeyDown(int key);
  void Resized();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QImage PictureImage;
  TCanvas PictureCanvas{PictureImage};
  QString PendingAnnouncement, Announcement;

  void SayAnnouncement();
};
