// The About box (Form2): the program's icon, title, a short description and two links.
#pragma once

#include <QDialog>

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
};
