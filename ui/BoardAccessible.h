// SPDX-License-Identifier: GPL-3.0-or-later
// The board picture as a screen reader sees it: a canvas with a name and a description whose
// children are the 225 intersections, left to right and top to bottom, each named by its column,
// its row and what stands on it ("8 : 8, empty", "9 : 8, White stone"), and last a notification
// that holds the board's last announcement. While the board has the keyboard focus, the cursor's
// intersection is the focused child, so a screen reader names every intersection the cursor
// moves to.
#pragma once

#include <QAccessibleWidget>
#include <array>

#include "GameBoard.h"

class TImage;

constexpr int IntersectionCount = BoardSize * BoardSize;
// The child index of an intersection: reading order, from 0 at (1, 1).
constexpr int IntersectionIndex(int column, int row) {
  return (row - 1) * BoardSize + column - 1;
}

class TBoardAccessible : public QAccessibleWidget {
 public:
  explicit TBoardAccessible(TImage* board);
  ~TBoardAccessible() override;

  // Makes this the interface of every TImage; installed once, by the first one made.
  static QAccessibleInterface* Factory(const QString& className, QObject* object);
  // Hands the board's events to the desktop's accessibility bridge: QAccessible's
  // updateAccessibility, which passes them on only while a bridge listens. The headless tests,
  // which never have one, put a recorder in its place.
  static QAccessible::UpdateHandler Tell;

  int childCount() const override { return IntersectionCount + 1; }
  QAccessibleInterface* child(int index) const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QAccessibleInterface* childAt(int x, int y) const override;
  QAccessibleInterface* focusChild() const override;

  // Tells of every intersection whose text has changed since a screen reader last read it.
  void Refresh();

 private:
  // The intersections are made when first asked for and registered, so that each keeps one
  // identity for the screen reader; they go with the board.
  mutable std::array<QAccessible::Id, IntersectionCount + 1> Ids{};
};
