// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainForm.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "Dialogs.h"
#include "ImageControl.h"

// The pictures live in the static library; naming their initialiser here keeps the linker from
// dropping them.
static void InitResources() {
#ifdef LINDORA_HAS_RESOURCES
  Q_INIT_RESOURCE(lindora);
#endif
}

QSize SquaredWindowSize(QSize window, QSize picture) {
  int outerWidth = window.width(), outerHeight = window.height();
  int width = picture.width(), height = picture.height();
  if (width / 16 < 5) {
    width += 175 - outerWidth;
    outerWidth = 175;
  }
  if (height / 16 < 5) {
    height += 175 - outerHeight;
    outerHeight = 175;
  }
  outerWidth -= width % 16;
  width -= width % 16;
  outerHeight -= height % 16;
  height -= height % 16;
  if (height < width)
    outerWidth -= width - height;
  else
    outerHeight -= height - width;
  return QSize(outerWidth, outerHeight);
}

TForm1::TForm1(TDialogs& dialogs, QWidget* parent) : QMainWindow(parent), Dialogs(dialogs) {
  InitResources();
  CreateComponents();
  FormCreate();
  ConnectEvents();
}

TForm1::~TForm1() {
  FormDestroy();
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (Shown) return;
  Shown = true;
  FormShow();
}

// Status tips would take the status bar over and hide its panels.
bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) return true;
  return QMainWindow::event(event);
}

void TForm1::ShowMessage(std::string_view text) {
  ShowMessageBox(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// A screen reader hears the message as well as the box.
void TForm1::ShowMessageBox(const QString& text) {
  Image1->Announce(text.trimmed());
  Dialogs.ShowMessage(this, text);
}

void TForm1::SetPanelText(int panel, std::string_view text) {
  if (panel < 0 || panel >= StatusPanelCount) return;
  StatusPanels[panel]->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  if (panel == 0) Image1->Announce(StatusPanels[0]->text().trimmed());  // the computer's verdict
}

QString TForm1::PanelText(int panel) const {
  if (panel < 0 || panel >= StatusPanelCount) return QString();
  return StatusPanels[panel]->text();
}

// The bitmaps are looked up by name without regard to case.
QImage TForm1::LoadBitmap(const QString& name) const {
  const QDir folder(":/bitmaps");
  for (const QString& entry : folder.entryList(QDir::Files)) {
    if (QFileInfo(entry).completeBaseName().compare(name, Qt::CaseInsensitive) == 0)
      return QImage(folder.filePath(entry));
  }
  return QImage();
}

// A plain board and plain stones stand in for a picture that is missing from the resources,
// so that the game stays playable.
static QImage StandInBitmap(const QString& name) {
  if (name.compare("qipan", Qt::CaseInsensitive) == 0) {
    QImage board(200, 199, QImage::Format_RGB32);
    board.fill(QColor(222, 184, 135));
    return board;
  }
  QImage stone(41, 41, QImage::Format_RGB32);
  stone.fill(Qt::black);
  QPainter painter(&stone);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  const bool black = name.compare("blackchess", Qt::CaseInsensitive) == 0;
  painter.setBrush(black ? QColor(40, 40, 40) : QColor(245, 245, 245));
  painter.drawEllipse(QRectF(1.5, 1.5, 38, 38));
  return stone;
}

void TForm1::FormCreate() {
  ShowSteps = false;
  ComputerFirst = true;
  const auto load = [this](const QString& name) {
    const QImage bitmap = LoadBitmap(name);
    return bitmap.isNull() ? StandInBitmap(name) : bitmap;
  };
  BoardPicture = load("qipan");
  WhiteStone = load("whitechess");
  BlackStone = load("Blackchess");
  BoardEngine = std::make_unique<TGameBoard>();
  BoardEngine->SetReporter(this);
  WeakPlayer = std::make_unique<TLevelPlayer>(WeakTableBytes);
  CursorColumn = CursorRow = 3;
  LastColumn = LastRow = 1;
}

// The board takes the keys from the start, so that a game can be played without the mouse.
void TForm1::FormShow() {
  Action1Execute();
  Image1->setFocus();
}

// The picture's events stop reaching the window first: the components outlive this call and
// must not redraw without an engine.
void TForm1::FormDestroy() {
  StopThinking();
  Image1->disconnect(this);
  Image1->IntersectionText = nullptr;
  Image1->Cursor = nullptr;
  History.clear();
  WhiteStone = BlackStone = BoardPicture = QImage();
  BoardEngine.reset();
}

void TForm1::Action1Execute() {
  StopThinking();
  SideToMove = CellBlack;
  BlackTenths = WhiteTenths = 0;
  if (PlayMode == ModeReplay) LeaveReplay();
  History.clear();
  PlyCount = 0;
  EnableStepCommands(TStepEvent::NewGame);
  BoardEngine->Clear();
  if (ComputerFirst) {
    PlayAt(8, 8, CellBlack);
    SideToMove = CellWhite;
  }
  RedrawBoard();
  if (Action9->isChecked())
    Timer1->start();
  else
    Timer1->stop();
}

void TForm1::Action2Execute() {
  StopThinking();
  close();
}

void TForm1::Action3Execute() {
  if (AboutBox != nullptr) AboutBox->exec();
}

bool TForm1::CellUnder(int x, int y, int32_t& column, int32_t& row) const {
  const int32_t pitch = CellPitch;
  if (pitch < 1) return false;  // nothing drawn yet
  const int32_t half = pitch / 2;
  column = (x - half) / pitch + 1;
  row = (y - half) / pitch + 1;
  return InRange(column, 1, BoardSize) && InRange(row, 1, BoardSize);
}

void TForm1::Image1MouseDown(Qt::MouseButton, int x, int y) {
  int32_t column = 0, row = 0;
  if (CellUnder(x, y, column, row)) UserMoveAt(column, row);
}

// Like the mouse, the keys do nothing until the board has been drawn.
void TForm1::Image1KeyDown(int key) {
  if (CellPitch < 1) return;
  const auto step = [this](int32_t columns, int32_t rows) {
    MoveCursor(std::clamp(CursorColumn + columns, 1, BoardSize),
               std::clamp(CursorRow + rows, 1, BoardSize));
  };
  switch (key) {
    case Qt::Key_Left:
      return step(-1, 0);
    case Qt::Key_Right:
      return step(1, 0);
    case Qt::Key_Up:
      return step(0, -1);
    case Qt::Key_Down:
      return step(0, 1);
    case Qt::Key_Home:
      return MoveCursor(BoardCentre, BoardCentre);
    default:
      return UserMoveAt(CursorColumn, CursorRow);
  }
}

void TForm1::UserMoveAt(int32_t column, int32_t row) {
  if (ComputerThinking()) return;
  StopThinking();  // a hint still being thought of is no longer wanted
  if (PlayMode == ModeReplay) LeaveReplay();
  if (!PlayAt(column, row, SideToMove)) return;
  PassTurn();
  if (PlayMode == ModeComputer) AnswerMove(column, row);
}

// The computer plays whichever colour is to move after the user's stone. The turn passes back
// even when the board refuses its stone, so the user keeps the colour they played. Normal is
// the design's ChooseMove; Beginner and Easy answer inside the click as it does; Hard and Expert
// think off this thread and answer when they are done.
void TForm1::AnswerMove(int32_t column, int32_t row) {
  if (Level == TLevel::Hard || Level == TLevel::Expert) {
    Thinker->Start(*BoardEngine, Level, SideToMove,
                   Level == TLevel::Hard ? HardMilliseconds : ExpertMilliseconds,
                   TThinker::TPurpose::Move);
    ShowThinking();
    Timer2->start();
    return;
  }
  if (Level == TLevel::Normal)
    BoardEngine->ChooseMove(SideToMove, column, row, ComputerDepth);
  else
    WeakPlayer->Choose(*BoardEngine, Level, SideToMove, column, row);
  PlayAt(column, row, SideToMove);
  PassTurn();
}

bool TForm1::ComputerThinking() const {
  return Thinker->Busy() && Thinker->Purpose() == TThinker::TPurpose::Move;
}

void TForm1::ThoughtAnswered(TThinker::TPurpose purpose, int column, int row,
                             const QString& verdict) {
  EndThinkingTime();
  if (purpose == TThinker::TPurpose::Hint) {
    if (column < 1 || BoardEngine->CellAt(column, row) != CellEmpty) return;
    HintColumn = column;
    HintRow = row;
    DrawHintMark(column, row);
    Image1->repaint();
    Image1->Announce(QString("Hint %1 : %2").arg(column).arg(row));
    return;
  }
  StatusPanels[0]->setText(verdict);
  Image1->Announce(verdict.trimmed());
  PlayAt(column, row, SideToMove);
  PassTurn();
}

void TForm1::StopThinking() {
  if (Thinker != nullptr && Thinker->Busy()) {
    Thinker->Stop();
    EndThinkingTime();
  }
  ClearHint();
}

// The thought's time stands in the panel of the intersection under the mouse while it lasts:
// the one narrow panel that a window of its first size shows, and one that says nothing new
// while the board takes no stone.
void TForm1::ShowThinking() {
  StatusPanels[1]->setText(QString("%1 s").arg(Thinker->Seconds(), 0, 'f', 1));
}

void TForm1::EndThinkingTime() {
  Timer2->stop();
  StatusPanels[1]->setText(QString("%1 : %2").arg(CursorColumn).arg(CursorRow));
}

// Expert's move for the side to move, thought of for a second off this thread and shown as a
// ring; it changes neither the game nor the verdict.
void TForm1::Action10Execute() {
  if (ComputerThinking()) return;
  StopThinking();
  Thinker->Start(*BoardEngine, TLevel::Expert, SideToMove, HintMilliseconds,
                 TThinker::TPurpose::Hint);
  ShowThinking();
  Timer2->start();
}

// A change of level applies from the computer's next move; a move it was thinking of is thought
// of again at the new level.
void TForm1::LevelClick(TLevel level) {
  const bool answering = ComputerThinking();
  StopThinking();
  Level = level;
  if (answering) AnswerMove(0, 0);
}

void TForm1::PassTurn() {
  SideToMove = SideToMove == CellWhite ? CellBlack : CellWhite;
}

void TForm1::LeaveReplay() {
  PlayMode = Action8->isChecked() ? ModeComputer : ModeTwoPlayers;
}

bool TForm1::PlayAt(int32_t column, int32_t row, uint8_t colour) {
  if (!BoardEngine->PlaceStone(column, row, colour)) return false;
  ClearHint();
  DrawCornerMark(LastColumn, LastRow, LastMoveMarkColor);
  DrawCornerMark(column, row, LastMoveMarkColor);
  LastColumn = column;
  LastRow = row;
  AppendMove(column, row);
  DrawStone(column, row, colour);
  if (ShowSteps) DrawMoveNumber(column, row, PlyCount);
  Image1->Announce(
      QString("%1 %2 : %3").arg(colour == CellBlack ? "Black" : "White").arg(column).arg(row));
  Image1->IntersectionsChanged();
  return true;
}

QString TForm1::IntersectionText(int32_t column, int32_t row) const {
  const uint8_t cell = BoardEngine ? BoardEngine->CellAt(column, row) : CellEmpty;
  const char* stands = cell == CellBlack   ? "Black stone"
                       : cell == CellWhite ? "White stone"
                                           : "empty";
  return QString("%1 : %2, %3").arg(column).arg(row).arg(stands);
}

// A move played after stepping back replaces the moves that followed.
void TForm1::AppendMove(int32_t column, int32_t row) {
  History.resize(static_cast<size_t>(PlyCount) + 1);
  History[static_cast<size_t>(PlyCount)] =
      MoveEntry{static_cast<int8_t>(column), static_cast<int8_t>(row)};
  ++PlyCount;
  EnableStepCommands(TStepEvent::MoveAppended);
}

// The enabling of Backward and Forward, all in one place. In computer play the step allowance
// keeps the position from being stepped to one where the computer would be to move.
void TForm1::EnableStepCommands(TStepEvent event) {
  const int32_t allowance = StepAllowance();
  const int32_t recorded = static_cast<int32_t>(History.size());
  switch (event) {
    case TStepEvent::NewGame:
      Action4->setEnabled(false);
      Action5->setEnabled(false);
      break;
    case TStepEvent::MoveAppended:
      if (PlyCount > allowance) Action4->setEnabled(true);
      Action5->setEnabled(false);
      break;
    case TStepEvent::SteppedBack:
      if (PlyCount <= allowance) Action4->setEnabled(false);
      Action5->setEnabled(true);
      break;
    case TStepEvent::SteppedForward:
      Action4->setEnabled(true);
      if (PlyCount >= recorded - allowance) Action5->setEnabled(false);
      break;
    case TStepEvent::RecordOpened:
      Action4->setEnabled(false);
      Action5->setEnabled(true);
      break;
  }
}

void TForm1::StepBack(int32_t n) {
  if (n < 1 || PlyCount - n < 0) return;
  for (int32_t i = 0; i < n; ++i) {
    const MoveEntry& move = History[static_cast<size_t>(PlyCount - i) - 1];
    BoardEngine->PlaceStone(move.Column, move.Row, CellEmpty);
  }
  if (n % 2 == 1) PassTurn();
  PlyCount -= n;
  EnableStepCommands(TStepEvent::SteppedBack);
  if (PlyCount >= 1) {
    LastColumn = History[static_cast<size_t>(PlyCount) - 1].Column;
    LastRow = History[static_cast<size_t>(PlyCount) - 1].Row;
  } else {
    LastColumn = LastRow = 1;
  }
}

// A recorded move the board refuses (only a damaged record holds one) is reported by the board;
// it still counts as a step and still passes the turn.
void TForm1::StepForward(int32_t n) {
  if (n < 1 || static_cast<int64_t>(History.size()) < static_cast<int64_t>(PlyCount) + n) return;
  for (int32_t i = 0; i < n; ++i) {
    const MoveEntry& move = History[static_cast<size_t>(PlyCount + i)];
    BoardEngine->PlaceStone(move.Column, move.Row, SideToMove);
    PassTurn();
  }
  PlyCount += n;
  EnableStepCommands(TStepEvent::SteppedForward);
  LastColumn = History[static_cast<size_t>(PlyCount) - 1].Column;
  LastRow = History[static_cast<size_t>(PlyCount) - 1].Row;
}

// In computer play a step takes the user's move and the computer's answer together; the second
// step does nothing when not enough moves remain.
// While the computer thinks about its answer only the user's stone is stepped over.
void TForm1::Action4Execute() {
  const bool answering = ComputerThinking();
  StopThinking();
  StepBack(1);
  if (PlayMode == ModeComputer && !answering) StepBack(1);
  RedrawBoard();
}

void TForm1::Action5Execute() {
  StopThinking();
  StepForward(1);
  if (PlayMode == ModeComputer) StepForward(1);
  RedrawBoard();
}

// Switching never touches the board, the history or the turn: the computer simply answers the
// next user stone with whichever colour is then to move.
void TForm1::Action8Execute() {
  StopThinking();
  const bool computer = Action8->isChecked();
  ToolButton9->setChecked(computer);
  PlayMode = computer ? ModeComputer : ModeTwoPlayers;
  N16->setEnabled(computer);
  (computer ? N11 : N12)->setChecked(true);
}

void TForm1::N11Click() {
  if (!Action8->isChecked()) Action8->trigger();
  N11->setChecked(true);
}

void TForm1::N12Click() {
  if (Action8->isChecked()) Action8->trigger();
  N12->setChecked(true);
}

void TForm1::N16Click() {
  ComputerFirst = N16->isChecked();
}
