// SPDX-License-Identifier: GPL-3.0-or-later
// A real main window for the tests: not shown, its board picture 480 x 480 (cell pitch 30), and
// every message box and file dialog answered by a recorder instead of a user.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QToolButton>
#include <memory>
#include <vector>

#include "Dialogs.h"
#include "ImageControl.h"
#include "MainForm.h"

class TRecordingDialogs : public TDialogs {
 public:
  std::vector<QString> Messages;
  // What the next file dialog answers: a file name, or an empty name for Cancel.
  QString NextFileName;
  // The filter, default extension and mode of the last file dialog shown.
  QStringList LastFilters;
  QString LastDefaultSuffix;
  QFileDialog::AcceptMode LastAcceptMode = QFileDialog::AcceptOpen;

  void ShowMessage(QWidget*, const QString& text) override { Messages.push_back(text); }
  bool ExecuteFileDialog(QFileDialog& dialog, QString& fileName) override {
    LastFilters = dialog.nameFilters();
    LastDefaultSuffix = dialog.defaultSuffix();
    LastAcceptMode = dialog.acceptMode();
    if (NextFileName.isEmpty()) return false;
    fileName = NextFileName;
    return true;
  }
};

class WindowTest : public ::testing::Test {
 protected:
  TRecordingDialogs Dialogs;
  std::unique_ptr<TForm1> Form;

  void SetUp() override {
    Form = std::make_unique<TForm1>(Dialogs);
    Form->Image1->resize(480, 480);
  }

  // Chooses the options through the menu and the Mode button, then runs New game.
  void NewGame(bool computerPlay, bool computerFirst) {
    if (!Form->Action8->isChecked()) Form->Action8->trigger();
    if (Form->N16->isChecked() != computerFirst) Form->N16->trigger();
    if (!computerPlay) Form->Action8->trigger();
    Form->Action1->trigger();
    Dialogs.Messages.clear();
  }

  // A press of the left button at pixel (x, y) of the board picture, the way a user makes it.
  void PressAt(int x, int y) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Form->Image1, &press);
  }
  void MoveTo(int x, int y) {
    QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(Form->Image1, &move);
  }
  // A click on the middle of an intersection.
  void Click(int column, int row) { PressAt(column * 30, row * 30); }

  // A menu text as the menu shows it: without the '&' before its access letter ("&&" is one '&').
  static QString Shown(QString text) { return text.remove(QRegularExpression("&(?!&)")); }

  std::vector<MoveEntry> Moves(std::initializer_list<std::pair<int, int>> moves) const {
    std::vector<MoveEntry> list;
    for (const auto& [column, row] : moves)
      list.push_back(MoveEntry{static_cast<int8_t>(column), static_cast<int8_t>(row)});
    return list;
  }
  std::vector<QString> Texts(std::initializer_list<const char*> texts) const {
    return std::vector<QString>(texts.begin(), texts.end());
  }
};
