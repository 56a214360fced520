// SPDX-License-Identifier: GPL-3.0-or-later
#include "BoardAccessible.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "ImageControl.h"

namespace {

// A leaf of the board: a child of the board's interface, in the board's window, with no object
// behind it and no children of its own, valid for as long as the board is there.
class TBoardLeafAccessible : public QAccessibleInterface {
 public:
  explicit TBoardLeafAccessible(TImage* board) : Board(board) {}

  bool isValid() const override { return !Board.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return Board ? Board->window()->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(Board.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* focusChild() const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  QPointer<TImage> Board;
};

// One intersection of the board. It asks the board for its text each time, so that it never
// says what stood there before.
class TIntersectionAccessible final : public TBoardLeafAccessible {
 public:
  TIntersectionAccessible(TImage* board, int column, int row)
      : TBoardLeafAccessible(board), Column(column), Row(row) {
    text(QAccessible::Name);
  }

  // The text a screen reader was last given, to tell it when it changes.
  mutable QString Told;

  QString text(QAccessible::Text kind) const override {
    if (!Board) return QString();
    if (kind == QAccessible::Name) {
      Told = Board->IntersectionText ? Board->IntersectionText(Column, Row) : QString();
      return Told;
    }
    return QString();
  }

  // The square of the picture that a click maps to this intersection, on the screen.
  QRect rect() const override {
    if (!Board) return QRect();
    const int pitch = Board->Picture().width() / 16;
    const QPoint corner =
        Board->PictureOrigin() + QPoint(Column * pitch - pitch / 2, Row * pitch - pitch / 2);
    return QRect(Board->mapToGlobal(corner), QSize(pitch, pitch));
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.invisible = !Board || !Board->isVisible();
    state.focused =
        Board && Board->hasFocus() && Board->Cursor && Board->Cursor() == QPoint(Column, Row);
    return state;
  }

 private:
  const int Column, Row;
};

// The board's last announcement, as a notification.
class TAnnouncementAccessible final : public TBoardLeafAccessible {
 public:
  explicit TAnnouncementAccessible(TImage* board) : TBoardLeafAccessible(board) {}

  QString text(QAccessible::Text kind) const override {
    return Board && kind == QAccessible::Name ? Board->LastAnnouncement() : QString();
  }
  QRect rect() const override {
    return Board ? QRect(Board->mapToGlobal(QPoint(0, 0)), Board->size()) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::Notification; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = !Board || !Board->isVisible() || Board->LastAnnouncement().isEmpty();
    return state;
  }
};

}  // namespace

QAccessible::UpdateHandler TBoardAccessible::Tell = &QAccessible::updateAccessibility;

TBoardAccessible::TBoardAccessible(TImage* board) : QAccessibleWidget(board, QAccessible::Canvas) {}

TBoardAccessible::~TBoardAccessible() {
  for (const QAccessible::Id id : Ids) {
    if (id != 0) QAccessible::deleteAccessibleInterface(id);
  }
}

QAccessibleInterface* TBoardAccessible::Factory(const QString& className, QObject* object) {
  TImage* board = qobject_cast<TImage*>(object);
  if (className != QLatin1String("TImage") || board == nullptr) return nullptr;
  return new TBoardAccessible(board);
}

QAccessibleInterface* TBoardAccessible::child(int index) const {
  if (index < 0 || index > IntersectionCount) return nullptr;
  QAccessible::Id& id = Ids[static_cast<size_t>(index)];
  TImage* board = static_cast<TImage*>(widget());
  if (id == 0 && index == IntersectionCount)
    id = QAccessible::registerAccessibleInterface(new TAnnouncementAccessible(board));
  if (id == 0) {
    id = QAccessible::registerAccessibleInterface(
        new TIntersectionAccessible(board, index % BoardSize + 1, index / BoardSize + 1));
  }
  return QAccessible::accessibleInterface(id);
}

int TBoardAccessible::indexOfChild(const QAccessibleInterface* child) const {
  for (int index = 0; index <= IntersectionCount; ++index) {
    const QAccessible::Id id = Ids[static_cast<size_t>(index)];
    if (id != 0 && QAccessible::accessibleInterface(id) == child) return index;
  }
  return -1;
}

QAccessibleInterface* TBoardAccessible::childAt(int x, int y) const {
  for (int index = 0; index < IntersectionCount; ++index) {
    QAccessibleInterface* intersection = child(index);
    if (intersection->rect().contains(x, y)) return intersection;
  }
  return nullptr;
}

QAccessibleInterface* TBoardAccessible::focusChild() const {
  const TImage* board = static_cast<const TImage*>(widget());
  if (!board->hasFocus() || !board->Cursor) return nullptr;
  const QPoint cursor = board->Cursor();
  return child(IntersectionIndex(cursor.x(), cursor.y()));
}

void TBoardAccessible::Refresh() {
  for (int index = 0; index < IntersectionCount; ++index) {
    const QAccessible::Id id = Ids[static_cast<size_t>(index)];
    if (id == 0) continue;
    auto* intersection =
        static_cast<TIntersectionAccessible*>(QAccessible::accessibleInterface(id));
    const QString before = intersection->Told;
    if (intersection->text(QAccessible::Name) == before) continue;
    QAccessibleEvent changed(widget(), QAccessible::NameChanged);
    changed.setChild(index);
    Tell(&changed);
  }
}
