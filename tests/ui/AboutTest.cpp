// SPDX-License-Identifier: GPL-3.0-or-later
// The About box: its frame and place, the texts and positions of its parts, the two links and
// the Cancel button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <vector>

#include "About.h"

namespace {

// Records the links the box hands to the desktop instead of opening them.
class AboutTest : public ::testing::Test {
 protected:
  std::vector<QUrl> Opened;
  std::function<bool(const QUrl&)> Saved;

  void SetUp() override {
    Saved = TForm2::OpenLink;
    TForm2::OpenLink = [this](const QUrl& url) {
      Opened.push_back(url);
      return true;
    };
  }
  void TearDown() override { TForm2::OpenLink = Saved; }

  static void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? button : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }
  static void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint centre = widget->rect().center();
    Mouse(widget, QEvent::MouseButtonPress, centre, button);
    Mouse(widget, QEvent::MouseButtonRelease, centre, button);
  }
};

TEST_F(AboutTest, FrameCaptionAndPlace) {
  TForm2 box;
  EXPECT_EQ(box.objectName(), "Form2");
  EXPECT_EQ(box.windowTitle(), "About");
  EXPECT_EQ(box.size(), QSize(367, 324));
  EXPECT_EQ(box.minimumSize(), QSize(367, 324));
  EXPECT_EQ(box.maximumSize(), QSize(367, 324));
  EXPECT_EQ(box.pos(), QPoint(2, 1));
  EXPECT_FALSE(box.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(box.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(box.isVisible());
}

TEST_F(AboutTest, PartsSitAtTheirPlacesInsideThePanel) {
  TForm2 box;
  struct TPlace {
    const char* Name;
    QPoint At;
    QWidget* Parent;
  };
  const TPlace places[] = {{"Panel1", {12, 13}, &box},        {"Image1", {23, 32}, box.Panel1},
                           {"Label8", {111, 17}, box.Panel1}, {"RichEdit1", {72, 40}, box.Panel1},
                           {"Label4", {56, 144}, box.Panel1}, {"Label5", {56, 164}, box.Panel1},
                           {"BitBtn1", {256, 288}, &box}};
  for (const TPlace& place : places) {
    QWidget* widget = box.findChild<QWidget*>(place.Name);
    ASSERT_NE(widget, nullptr) << place.Name;
    EXPECT_EQ(widget->pos(), place.At) << place.Name;
    EXPECT_EQ(widget->parentWidget(), place.Parent) << place.Name;
  }
  EXPECT_EQ(box.Panel1->size(), QSize(341, 260));
  EXPECT_EQ(box.Panel1->frameShadow(), QFrame::Sunken);
  EXPECT_EQ(box.Image1->size(), QSize(32, 32));
  EXPECT_EQ(box.RichEdit1->size(), QSize(257, 97));
  EXPECT_EQ(box.BitBtn1->size(), QSize(75, 25));
}

TEST_F(AboutTest, IconTitleAndDescription) {
  TForm2 box;
  ASSERT_FALSE(box.Image1->pixmap().isNull());
  EXPECT_EQ(box.Image1->pixmap().size(), QSize(32, 32));
  EXPECT_TRUE(box.Image1->hasScaledContents());

  EXPECT_EQ(box.Label8->text(), "Lindora  V2.1");
  EXPECT_TRUE(box.Label8->font().bold());
  EXPECT_EQ(box.Label8->font().pointSize(), 9);
  EXPECT_TRUE(box.Label8->font().families().contains("宋体"));

  EXPECT_EQ(box.RichEdit1->toPlainText(),
            "Lindora is a classical Chinese Chess \n"
            "game. You and the opponent will take turn \n"
            "to place one chess at a time to the empty \n"
            "cross point at the board. Whoever first \n"
            "puts 5 chesses in a row, column or \n"
            "diagonal will win.");
  EXPECT_TRUE(box.RichEdit1->isReadOnly());
  EXPECT_EQ(box.RichEdit1->frameShape(), QFrame::NoFrame);
  EXPECT_EQ(box.RichEdit1->font().pointSize(), 9);
  EXPECT_EQ(box.RichEdit1->palette().color(QPalette::Base), box.palette().color(QPalette::Window));
}

// Whatever font stands in for the one asked for, the six lines show whole, one line each.
TEST_F(AboutTest, DescriptionShowsSixUnwrappedLines) {
  TForm2 box;
  box.show();
  QTextDocument* text = box.RichEdit1->document();
  ASSERT_EQ(text->blockCount(), 6);
  for (QTextBlock block = text->begin(); block.isValid(); block = block.next())
    EXPECT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString();
  EXPECT_LE(text->size().height(), box.RichEdit1->viewport()->height());
  EXPECT_EQ(box.RichEdit1->font().pointSize(), 9);
}

TEST_F(AboutTest, LinksLookLikeLinks) {
  TForm2 box;
  EXPECT_EQ(box.Label4->text(), TForm2::WebAddress);
  EXPECT_EQ(box.Label5->text(), "Email: " + TForm2::MailAddress);
  for (QLabel* link : {static_cast<QLabel*>(box.Label4), static_cast<QLabel*>(box.Label5)}) {
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_GT(link->width(), 0);
  }
}

TEST_F(AboutTest, ClickingALinkOpensItsAddress) {
  TForm2 box;
  Click(box.Label4);
  Click(box.Label5);
  ASSERT_EQ(Opened.size(), 2u);
  EXPECT_EQ(Opened[0], QUrl(TForm2::WebAddress));
  EXPECT_EQ(Opened[0].scheme(), "https");
  EXPECT_EQ(Opened[1], QUrl("mailto:" + TForm2::MailAddress));
  EXPECT_EQ(Opened[1].path(), TForm2::MailAddress);
}

TEST_F(AboutTest, OnlyALeftClickLetGoOverTheLinkOpensIt) {
  TForm2 box;
  Click(box.Label4, Qt::RightButton);
  Mouse(box.Label4, QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton);
  Mouse(box.Label4, QEvent::MouseButtonRelease, {box.Label4->width() + 20, 2}, Qt::LeftButton);
  EXPECT_TRUE(Opened.empty());
}

TEST_F(AboutTest, CancelIsTheDefaultAndClosesTheBox) {
  TForm2 box;
  EXPECT_EQ(box.BitBtn1->text(), "Cancel");
  EXPECT_TRUE(box.BitBtn1->isDefault());

  box.show();
  box.BitBtn1->click();
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Rejected);

  // Enter anywhere in the box presses the default button.
  box.show();
  box.RichEdit1->clearFocus();
  box.setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&box, &enter);
  EXPECT_FALSE(box.isVisible());
  EXPECT_TRUE(Opened.empty());

  // So does Escape.
  box.show();
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&box, &escape);
  EXPECT_FALSE(box.isVisible());
  EXPECT_EQ(box.result(), QDialog::Rejected);
}

}  // namespace
