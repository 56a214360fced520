// SPDX-License-Identifier: GPL-3.0-or-later
// Every modal box the window shows goes through TDialogs, so that the headless tests can record
// the texts and choose file names instead of blocking on a box nobody closes.
#pragma once

#include <QString>

class QFileDialog;
class QWidget;

class TDialogs {
 public:
  virtual ~TDialogs() = default;

  // A modal message box with the text and one OK button; returns when it has been closed.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;

  // Shows a prepared file dialog modally. true, with the chosen file, when the user confirmed.
  virtual bool ExecuteFileDialog(QFileDialog& dialog, QString& fileName) = 0;
};

// The boxes a user sees.
class TModalDialogs : public TDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  bool ExecuteFileDialog(QFileDialog& dialog, QString& fileName) override;
};
