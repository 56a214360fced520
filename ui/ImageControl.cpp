// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <iterator>

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
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

void TImage::keyPressEvent(QKeyEvent* event) {
  static constexpr int BoardKeys[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up,    Qt::Key_Down,
                                      Qt::Key_Home, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space};
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  const bool boardKey =
      std::find(std::begin(BoardKeys), std::end(BoardKeys), event->key()) != std::end(BoardKeys);
  if (plain && boardKey) {
    emit KeyDown(event->key());
    return;
  }
  QWidget::keyPressEvent(event);
}

void TImage::resizeEvent(QResizeEvent*) {
  emit Resized();
}
