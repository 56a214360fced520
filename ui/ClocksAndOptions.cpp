// SPDX-License-Identifier: GPL-3.0-or-later
// The two game clocks and the view options: "Show time", "Show steps", "Toolbar" and
// "Status bar".
#include <QAction>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "MainForm.h"

QString ClockSeconds(int32_t tenths) {
  QLocale locale;
  // General format never groups digits.
  locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
  return locale.toString(tenths / 10.0, 'g', 15);
}

// The clocks count ticks, not elapsed time: ticks missed while the computer thinks are lost.
void TForm1::Timer1Timer() {
  if (SideToMove == CellWhite)
    ++WhiteTenths;
  else
    ++BlackTenths;
  StatusPanels[2]->setText("Black time: " + ClockSeconds(BlackTenths) + " s");
  StatusPanels[3]->setText("White time: " + ClockSeconds(WhiteTenths) + " s");
}

// Stopping leaves the panels as they are; starting again continues from the counts reached.
void TForm1::Action9Execute() {
  if (Action9->isChecked())
    Timer1->start();
  else
    Timer1->stop();
}

// ShowSteps is the one record of the option; the tick follows it whether the entry was chosen
// (Qt has flipped the tick already) or the handler was called on its own.
void TForm1::N8Click() {
  ShowSteps = !ShowSteps;
  N8->setChecked(ShowSteps);
  RedrawBoard();
}

void TForm1::N14Click() {
  ToggleBar(N14, ToolBar1);
}

void TForm1::N13Click() {
  ToggleBar(N13, StatusBar1);
}

// A bar that comes back makes the window 50 pixels taller, and the picture's resize then squares
// it; a bar that goes leaves the picture taller than wide, so the window squares it at once.
void TForm1::ToggleBar(QAction* item, QWidget* bar) {
  const bool show = bar->isHidden();
  item->setChecked(show);
  bar->setVisible(show);
  if (show) {
    resize(width(), height() + ToggleGrowth);
  } else {
    FormResize();
  }
}
