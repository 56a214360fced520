// SPDX-License-Identifier: GPL-3.0-or-later
// The About box (Form2): the program's icon, title, a short description and two links.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QUrl>
#include <functional>

class QFrame;
class QPushButton;
class QTextEdit;

// A label that acts as a link: blue, underlined, a hand cursor, and a click that runs OnClick.
class TLinkLabel : public QLabel {
 public:
  TLinkLabel(const QString& text, QWidget* parent);
  std::function<void()> OnClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The addresses behind the two links.
  static const QString WebAddress;
  static const QString MailAddress;

  // Hands a link to the desktop (QDesktopServices::openUrl). Tests replace it to record the
  // address instead of starting a browser or a mail program.
  static std::function<bool(const QUrl&)> OpenLink;

  QFrame* Panel1;
  QLabel* Image1;
  QLabel* Label8;
  QTextEdit* RichEdit1;
  TLinkLabel* Label4;
  TLinkLabel* Label5;
  QPushButton* BitBtn1;

 private:
  void Label4Click();
  void Label5Click();
};
