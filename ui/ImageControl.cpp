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

QPoint TImage::PictureOrigin() const {
  return QPoint((width() - PictureImage.width()) / 2, (height() - PictureImage.height()) / 2);
}

void TImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.drawImage(PictureOrigin(), PictureImage);
}

void TImage::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint() - PictureOrigin();
  if (PictureImage.rect().contains(at)) emit MouseDown(event->button(), at.x(), at.y());
}

void TImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint() - PictureOrigin();
  if (PictureImage.rect().contains(at)) emit MouseMove(at.x(), at.y());
}

void TImage::resizeEvent(QResizeEvent*) {
  emit Resized();
}
