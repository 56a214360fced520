// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageControl.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TImage::SetPicture(const QImage& bitmap) {
  PictureImage = bitmap.convertToFormat(QImage::Format_RGB32);
  update();
}

TCanvas& TImage::Canvas() {
  update();
  return PictureCanvas;
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawImage(0, 0, PictureImage);
}

void TImage::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseDown(event->button(), at.x(), at.y());
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  emit MouseMove(at.x(), at.y());
}

void TImage::resizeEvent(QResizeEvent*) {
  emit Resized();
}
