// SPDX-License-Identifier: GPL-3.0-or-later
// The components of the main window: actions, menu, tool bar, the panels around the board
// picture, the status bar, the timer and the file dialogs. Each component carries its name as
// its Qt object name. Menu entries and tool buttons are linked to actions: they show their own
// captions and hints, follow the action's enabled state and tick, and run the action.
#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "ImageControl.h"
#include "MainForm.h"

namespace {

constexpr int ImageListCount = 15;
constexpr int NoImage = -1;

// Image `index` of ImageList1; an index outside the list gives no image.
QIcon ListImage(int index) {
  if (index < 0 || index >= ImageListCount) return QIcon();
  const QString picture = QString(":/toolbar/%1.png").arg(index, 2, 10, QChar('0'));
  return QFile::exists(picture) ? QIcon(picture) : QIcon();
}

QAction* NewAction(QObject* owner, const char* name, const QString& caption, const QString& hint,
                   int image) {
  QAction* action = new QAction(caption, owner);
  action->setObjectName(name);
  action->setToolTip(hint.isEmpty() ? caption : hint);
  action->setIcon(ListImage(image));
  return action;
}

// A menu entry follows its action's enabled state and tick and runs the action when chosen.
QAction* LinkedMenuItem(QMenu* menu, const char* name, const QString& caption, QAction* action) {
  QAction* item = menu->addAction(action->icon(), caption);
  item->setObjectName(name);
  const auto follow = [item, action] {
    item->setEnabled(action->isEnabled());
    item->setCheckable(action->isCheckable());
    item->setChecked(action->isChecked());
  };
  follow();
  QObject::connect(action, &QAction::changed, item, follow);
  QObject::connect(item, &QAction::triggered, action, [action, follow] {
    action->trigger();
    follow();
  });
  return item;
}

QAction* MenuSeparator(QMenu* menu, const char* name) {
  QAction* separator = menu->addSeparator();
  separator->setObjectName(name);
  return separator;
}

// A tool button shows only its own image, with its own hint as tool tip; without the image it
// shows the hint as text.
QToolButton* LinkedToolButton(QToolBar* bar, const char* name, const QString& hint, int image,
                              QAction* action) {
  QToolButton* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setAccessibleName(hint);  // a screen reader has no picture to go by
  button->setFixedSize(42, 40);
  button->setIconSize(QSize(32, 32));
  button->setAutoRaise(true);
  const QIcon picture = ListImage(image);
  if (!picture.isNull()) {
    button->setIcon(picture);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else {
    button->setText(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  }
  button->setEnabled(action->isEnabled());
  QObject::connect(action, &QAction::changed, button,
                   [button, action] { button->setEnabled(action->isEnabled()); });
  QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
  bar->addWidget(button);
  return button;
}

QWidget* ToolSeparator(QToolBar* bar, const char* name) {
  QWidget* gap = new QWidget(bar);
  gap->setObjectName(name);
  gap->setFixedWidth(20);
  bar->addWidget(gap);
  return gap;
}

// Shortcuts reach their entry from anywhere in the window, whichever widget has the focus.
void WindowShortcuts(QWidget* window, QAction* item, const QList<QKeySequence>& keys) {
  item->setShortcuts(keys);
  item->setShortcutContext(Qt::WindowShortcut);
  window->addAction(item);
}

// A menu entry with its own handler and a tick of its own.
QAction* TickedMenuItem(QMenu* menu, const char* name, const QString& caption, bool ticked) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(name);
  item->setCheckable(true);
  item->setChecked(ticked);
  return item;
}

}  // namespace

void TForm1::CreateComponents() {
  setObjectName("Form1");
  setWindowTitle("Lindora V2.1");
  setWindowIcon(QIcon(":/icons/lindora.png"));
  // Where the family is missing, the font system puts its nearest sans in its place.
  setFont(QFont("MS Sans Serif", 8));
  CreateActions();
  CreateMenus();
  CreateToolBar();
  CreateBoardArea();
  CreateStatusBar();
  CreateFileDialogs();
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(100);
  Timer2 = new QTimer(this);
  Timer2->setObjectName("Timer2");
  Timer2->setInterval(100);
  Thinker = new TThinker(this);
  Thinker->setObjectName("Thinker");

  resize(546, 616);
  if (const QScreen* screen = this->screen()) {
    const QRect desktop = screen->availableGeometry();
    move(desktop.center() - QPoint(width() / 2, height() / 2));
  }
}

void TForm1::CreateActions() {
  Action1 = NewAction(this, "Action1", "新游戏", "新建游戏", 3);
  Action7 = NewAction(this, "Action7", "打开", "打开棋局", 5);
  Action6 = NewAction(this, "Action6", "保存", "保存棋局", 8);
  Action2 = NewAction(this, "Action2", "退出游戏", "退出游戏", 0);
  Action3 = NewAction(this, "Action3", "关于", "关于", NoImage);
  Action4 = NewAction(this, "Action4", "向前一步", "前一步", 7);
  Action4->setEnabled(false);
  Action5 = NewAction(this, "Action5", "向后一步", "后一步", 3);
  Action8 = NewAction(this, "Action8", "切换模式", "切换模式", 23);
  Action8->setCheckable(true);
  Action8->setChecked(true);
  Action9 = NewAction(this, "Action9", "启动计时", "", NoImage);
  Action9->setCheckable(true);
  Action10 = NewAction(this, "Action10", "Hint", "", NoImage);
}

// Every title and entry has an access letter of its own within its menu, marked with '&'; the
// menus show the texts without it. Beside the design's F2 the window takes the usual shortcuts.
void TForm1::CreateMenus() {
  MainMenu1 = menuBar();
  MainMenu1->setObjectName("MainMenu1");

  N1 = MainMenu1->addMenu("&Game");
  N1->setObjectName("N1");
  N2 = LinkedMenuItem(N1, "N2", "&New game", Action1);
  WindowShortcuts(this, N2, {Qt::Key_F2, Qt::CTRL | Qt::Key_N});
  N17 = LinkedMenuItem(N1, "N17", "&Open game", Action7);
  WindowShortcuts(this, N17, {Qt::CTRL | Qt::Key_O});
  N18 = LinkedMenuItem(N1, "N18", "&Save game", Action6);
  WindowShortcuts(this, N18, {Qt::CTRL | Qt::Key_S});
  N29 = LinkedMenuItem(N1, "N29", "&Hint", Action10);
  WindowShortcuts(this, N29, {Qt::Key_H});
  N3 = MenuSeparator(N1, "N3");
  N4 = LinkedMenuItem(N1, "N4", "E&xit", Action2);
  WindowShortcuts(this, N4, {Qt::CTRL | Qt::Key_Q});

  N7 = MainMenu1->addMenu("&Option");
  N7->setObjectName("N7");
  N8 = TickedMenuItem(N7, "N8", "&Show steps", false);
  N22 = LinkedMenuItem(N7, "N22", "Show t&ime", Action9);
  N19 = MenuSeparator(N7, "N19");
  N20 = LinkedMenuItem(N7, "N20", "&Backward", Action4);
  WindowShortcuts(this, N20, {Qt::CTRL | Qt::Key_Z});
  N21 = LinkedMenuItem(N7, "N21", "&Forward", Action5);
  WindowShortcuts(this, N21, {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, Qt::CTRL | Qt::Key_Y});
  N9 = MenuSeparator(N7, "N9");
  N10 = N7->addMenu("&Game mode");
  N10->setObjectName("N10");
  GameModeGroup = new QActionGroup(this);
  N11 = N10->addAction("&play with computer");
  N11->setObjectName("N11");
  N12 = N10->addAction("&two players");
  N12->setObjectName("N12");
  for (QAction* item : {N11, N12}) {
    item->setCheckable(true);
    GameModeGroup->addAction(item);
  }
  N11->setChecked(true);
  // The computer's levels, Normal (the design's player) ticked at start.
  N23 = N7->addMenu("&Level");
  N23->setObjectName("N23");
  LevelGroup = new QActionGroup(this);
  QAction** items[LevelCount] = {&N24, &N25, &N26, &N27, &N28};
  static constexpr int AccessLetters[LevelCount] = {0, 0, 0, 0, 1};  // Expert's is its x
  for (int level = 0; level < LevelCount; ++level) {
    const QString name = LevelName(static_cast<TLevel>(level));
    QAction* item = N23->addAction(QString(name).insert(AccessLetters[level], '&'));
    item->setObjectName(QString("N%1").arg(24 + level));
    item->setCheckable(true);
    LevelGroup->addAction(item);
    *items[level] = item;
  }
  N26->setChecked(true);
  N16 = N7->addAction("&Computer first");
  N16->setObjectName("N16");
  N16->setCheckable(true);
  N16->setChecked(true);
  N15 = MenuSeparator(N7, "N15");
  N14 = TickedMenuItem(N7, "N14", "&Toolbar", true);
  N13 = TickedMenuItem(N7, "N13", "Stat&us bar", true);

  N5 = MainMenu1->addMenu("&Help");
  N5->setObjectName("N5");
  N6 = LinkedMenuItem(N5, "N6", "&About...", Action3);
  // The drop-down menus are windows of their own, which do not take on the window's font.
  for (QMenu* menu : {N1, N7, N10, N23, N5})
    menu->setFont(font());
}

void TForm1::CreateToolBar() {
  ToolBar1 = addToolBar("ToolBar1");
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFixedHeight(44);
  ToolBar1->setIconSize(QSize(32, 32));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->toggleViewAction()->setEnabled(false);  // only the Toolbar entry hides it
  ToolButton1 = LinkedToolButton(ToolBar1, "ToolButton1", "New game", 2, Action1);
  ToolButton8 = LinkedToolButton(ToolBar1, "ToolButton8", "Open game", 5, Action7);
  ToolButton2 = LinkedToolButton(ToolBar1, "ToolButton2", "Save game", 8, Action6);
  ToolButton7 = ToolSeparator(ToolBar1, "ToolButton7");
  ToolButton9 = LinkedToolButton(ToolBar1, "ToolButton9", "Mode", 10, Action8);
  ToolButton9->setCheckable(true);
  ToolButton9->setChecked(Action8->isChecked());
  ToolButton10 = ToolSeparator(ToolBar1, "ToolButton10");
  ToolButton5 = LinkedToolButton(ToolBar1, "ToolButton5", "Backward", 13, Action4);
  ToolButton6 = LinkedToolButton(ToolBar1, "ToolButton6", "Forward", 12, Action5);
  ToolButton3 = ToolSeparator(ToolBar1, "ToolButton3");
  ToolButton4 = LinkedToolButton(ToolBar1, "ToolButton4", "Exit", 0, Action2);
}

// Panel1 (raised) holds Panel2 (sunken), which holds the scroll box with the board picture.
void TForm1::CreateBoardArea() {
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel2 = new QFrame(Panel1);
  Panel2->setObjectName("Panel2");
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Panel2->setLineWidth(2);
  ScrollBox1 = new QScrollArea(Panel2);
  ScrollBox1->setObjectName("ScrollBox1");
  ScrollBox1->setFrameShape(QFrame::NoFrame);
  ScrollBox1->setWidgetResizable(true);
  ScrollBox1->setFocusPolicy(Qt::NoFocus);  // the board is never scrolled; it takes the keys
  Image1 = new TImage;
  Image1->setObjectName("Image1");
  Image1->setAccessibleName("Board");
  Image1->setAccessibleDescription(
      "15 by 15 intersections. The arrow keys move the cursor, Home puts it on the centre, "
      "Enter or Space places a stone.");
  ScrollBox1->setWidget(Image1);

  for (QFrame* frame : {Panel1, Panel2}) {
    QVBoxLayout* fill = new QVBoxLayout(frame);
    fill->setContentsMargins(frame->frameWidth(), frame->frameWidth(), frame->frameWidth(),
                             frame->frameWidth());
    fill->setSpacing(0);
  }
  Panel1->layout()->addWidget(Panel2);
  Panel2->layout()->addWidget(ScrollBox1);
  setCentralWidget(Panel1);
}

// The panels stand side by side at fixed places with fixed widths, outside the status bar's own
// layout: a window narrower than the five of them cuts the last ones off at its right edge
// instead of squeezing them over each other, and does not have to grow to hold them all.
void TForm1::CreateStatusBar() {
  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFixedHeight(19);
  StatusBar1->setSizeGripEnabled(false);
  static constexpr int Widths[StatusPanelCount] = {100, 50, 200, 200, 50};
  int left = 0;
  for (int panel = 0; panel < StatusPanelCount; ++panel) {
    QLabel* label = new QLabel(StatusBar1);
    label->setObjectName(QString("StatusPanel%1").arg(panel));
    label->setGeometry(left, 0, Widths[panel], StatusBar1->height());
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanels[panel] = label;
    left += Widths[panel];
  }
}

void TForm1::CreateFileDialogs() {
  SaveDialog1 = new QFileDialog(this);
  SaveDialog1->setObjectName("SaveDialog1");
  OpenDialog1 = new QFileDialog(this);
  OpenDialog1->setObjectName("OpenDialog1");
}

void TForm1::ConnectEvents() {
  connect(Image1, &TImage::MouseDown, this, &TForm1::Image1MouseDown);
  connect(Image1, &TImage::MouseMove, this, &TForm1::Image1MouseMove);
  connect(Image1, &TImage::KeyDown, this, &TForm1::Image1KeyDown);
  Image1->IntersectionText = [this](int column, int row) { return IntersectionText(column, row); };
  Image1->Cursor = [this] { return QPoint(CursorColumn, CursorRow); };
  // Queued: the window resizes itself only after the layout that resized the picture is done.
  connect(Image1, &TImage::Resized, this, &TForm1::FormResize, Qt::QueuedConnection);
  connect(Action1, &QAction::triggered, this, &TForm1::Action1Execute);
  connect(Action2, &QAction::triggered, this, &TForm1::Action2Execute);
  connect(Action3, &QAction::triggered, this, &TForm1::Action3Execute);
  connect(Action4, &QAction::triggered, this, &TForm1::Action4Execute);
  connect(Action5, &QAction::triggered, this, &TForm1::Action5Execute);
  connect(Action6, &QAction::triggered, this, &TForm1::Action6Execute);
  connect(Action7, &QAction::triggered, this, &TForm1::Action7Execute);
  connect(Action8, &QAction::triggered, this, &TForm1::Action8Execute);
  connect(N11, &QAction::triggered, this, &TForm1::N11Click);
  connect(N12, &QAction::triggered, this, &TForm1::N12Click);
  connect(N16, &QAction::triggered, this, &TForm1::N16Click);
  connect(Action9, &QAction::triggered, this, &TForm1::Action9Execute);
  connect(N8, &QAction::triggered, this, &TForm1::N8Click);
  connect(N13, &QAction::triggered, this, &TForm1::N13Click);
  connect(N14, &QAction::triggered, this, &TForm1::N14Click);
  connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
  connect(Timer2, &QTimer::timeout, this, &TForm1::ShowThinking);
  connect(Action10, &QAction::triggered, this, &TForm1::Action10Execute);
  connect(Thinker, &TThinker::Answered, this, &TForm1::ThoughtAnswered);
  QAction* const levels[LevelCount] = {N24, N25, N26, N27, N28};
  for (int level = 0; level < LevelCount; ++level)
    connect(levels[level], &QAction::triggered, this,
            [this, level] { LevelClick(static_cast<TLevel>(level)); });
}
