// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the application and its title, the main window, the hidden About box, the event
// loop. The main window's first showing starts the first game; closing it ends the program.
#include <QApplication>

#include "About.h"
#include "Dialogs.h"
#include "MainForm.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lindora");
  TModalDialogs dialogs;
  TForm1 Form1(dialogs);
  QApplication::setWindowIcon(Form1.windowIcon());
  TForm2 Form2(&Form1);
  Form2.hide();
  Form1.SetAboutBox(&Form2);
  Form1.show();
  return application.exec();
}
