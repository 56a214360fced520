// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageControl.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <iterator>
#include <utility>

#include "BoardAccessible.h"

TImage::TImage(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  static const bool accessible = [] {
    QAccessible::installFactory(TBoardAccessible::Factory);
    return true;
  }();
  Q_UNUSED(accessible);
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

// Qt tells of the board's own focus after this; the cursor's intersection takes it over then.
void TImage::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  QMetaObject::invokeMethod(this, &TImage::CursorMoved, Qt::QueuedConnection);
}

void TImage::CursorMoved() {
  if (!hasFocus() || !Cursor) return;
  const QPoint cursor = Cursor();
  QAccessibleEvent focus(this, QAccessible::Focus);
  focus.setChild(IntersectionIndex(cursor.x(), cursor.y()));
  TBoardAccessible::Tell(&focus);
}

void TImage::IntersectionsChanged() {
  if (auto* board = dynamic_cast<TBoardAccessible*>(QAccessible::queryAccessibleInterface(this)))
    board->Refresh();
}

void TImage::Announce(const QString& text) {
  if (text.isEmpty()) return;
  if (PendingAnnouncement.isEmpty())
    QMetaObject::invokeMethod(this, &TImage::SayAnnouncement, Qt::QueuedConnection);
  else
    PendingAnnouncement += PendingAnnouncement.back().isLetterOrNumber() ? ". " : " ";
  PendingAnnouncement += text;
}

// Qt's announcements came with 6.8. Before, the board's notification child, which holds the
// text, is shown anew: a screen reader says a notification that shows.
void TImage::SayAnnouncement() {
  Announcement = std::exchange(PendingAnnouncement, QString());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
  QAccessibleAnnouncementEvent announcement(this, Announcement);
  TBoardAccessible::Tell(&announcement);
#else
  for (const QAccessible::Event type : {QAccessible::NameChanged, QAccessible::ObjectShow}) {
    QAccessibleEvent event(this, type);
    event.setChild(IntersectionCount);
    TBoardAccessible::Tell(&event);
  }
#endif
}

void TImage::resizeEvent(QResizeEvent*) {
  emit Resized();
}
