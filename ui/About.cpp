// SPDX-License-Identifier: GPL-3.0-or-later
#include "About.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QFrame>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QTextEdit>
#include <algorithm>

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, Qt::blue);
  setPalette(colours);
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  adjustSize();
}

// Like a button, the link fires when the left button is let go over it, so a press that is
// dragged away cancels it.
void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

const QString TForm2::WebAddress = "https://lindora.example.org";
const QString TForm2::MailAddress = "lindora@example.org";

std::function<bool(const QUrl&)> TForm2::OpenLink = [](const QUrl& url) {
  return QDesktopServices::openUrl(url);
};

namespace {

// The box asks for the font it was laid out with; where it is missing Qt picks its nearest
// substitute.
QFont BoxFont(bool bold) {
  QFont font("宋体", 9);
  font.setBold(bold);
  return font;
}

// The description was laid out for the narrow glyphs of "宋体". A wider substitute would wrap
// every line and push the last ones out of sight, so the font is condensed until the widest
// line fits; its family and point size stay as asked.
void FitLinesToWidth(QTextEdit* edit) {
  QFont font = edit->font();
  const int room = edit->width() - 2 * static_cast<int>(edit->document()->documentMargin()) - 2;
  int widest = 0;
  for (const QString& line : edit->toPlainText().split('\n'))
    widest = std::max(widest, QFontMetrics(font).horizontalAdvance(line.trimmed()));
  if (widest <= room) return;
  font.setStretch(std::max(50, 100 * room / widest));
  edit->setFont(font);
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
#ifdef LINDORA_HAS_RESOURCES
  // The box may be made before the main window has registered the pictures.
  Q_INIT_RESOURCE(lindora);
#endif
  setObjectName("Form2");
  setWindowTitle("About");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(367, 324);
  move(2, 1);

  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel1->setGeometry(12, 13, 341, 260);

  Image1 = new QLabel(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(23, 32, 32, 32);
  Image1->setPixmap(QPixmap(":/icons/lindora32.png"));
  Image1->setScaledContents(true);

  Label8 = new QLabel("Lindora  V2.1", Panel1);
  Label8->setObjectName("Label8");
  Label8->setFont(BoxFont(true));
  Label8->move(111, 17);
  Label8->adjustSize();

  RichEdit1 = new QTextEdit(Panel1);
  RichEdit1->setObjectName("RichEdit1");
  RichEdit1->setGeometry(72, 40, 257, 97);
  RichEdit1->setReadOnly(true);
  RichEdit1->setFrameShape(QFrame::NoFrame);
  RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  RichEdit1->setFont(BoxFont(false));
  QPalette menuColours = RichEdit1->palette();
  menuColours.setColor(QPalette::Base, palette().color(QPalette::Window));
  RichEdit1->setPalette(menuColours);
  RichEdit1->setPlainText(
      "Lindora is a classical Chinese Chess \n"
      "game. You and the opponent will take turn \n"
      "to place one chess at a time to the empty \n"
      "cross point at the board. Whoever first \n"
      "puts 5 chesses in a row, column or \n"
      "diagonal will win.");
  FitLinesToWidth(RichEdit1);

  Label4 = new TLinkLabel(WebAddress, Panel1);
  Label4->setObjectName("Label4");
  Label4->move(56, 144);
  Label4->OnClick = [this] { Label4Click(); };

  Label5 = new TLinkLabel("Email: " + MailAddress, Panel1);
  Label5->setObjectName("Label5");
  Label5->move(56, 164);
  Label5->OnClick = [this] { Label5Click(); };

  BitBtn1 = new QPushButton("Cancel", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(256, 288, 75, 25);
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm2::Label4Click() {
  OpenLink(QUrl(WebAddress));
}

void TForm2::Label5Click() {
  OpenLink(QUrl("mailto:" + MailAddress));
}
