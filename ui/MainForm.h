// SPDX-License-Identifier: GPL-3.0-or-later
// The main window (Form1): it owns the board engine and all game state, turns mouse clicks and
// keys on the board picture into moves, answers them in play against the computer, keeps the
// move history and draws the board.
#pragma once

#include <QFileDialog>
#include <QImage>
#include <QMainWindow>
#include <QSize>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "Canvas.h"
#include "GameBoard.h"
#include "GameRecord.h"
#include "Levels.h"
#include "Thinker.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class TDialogs;
class TImage;

// Play modes.
constexpr uint8_t ModeComputer = 0;    // every accepted user stone is answered by the computer
constexpr uint8_t ModeTwoPlayers = 1;  // both colours come from clicks
constexpr uint8_t ModeReplay = 2;      // an opened record is being stepped through

constexpr TColor CursorMarkColor = 255;       // red brackets under the mouse
constexpr TColor LastMoveMarkColor = 0x8000;  // green brackets on the last stone
constexpr TColor HintMarkColor = 0xFFFFFF;    // a ring that inverts the picture under it
// How long the levels that think may think in the window, and the hint (Expert's move).
constexpr int HardMilliseconds = 500;
constexpr int ExpertMilliseconds = 3000;
constexpr int HintMilliseconds = 1000;
constexpr int32_t BoardCentre = 8;     // where Home puts the cursor
constexpr int32_t ComputerDepth = 16;  // search budget of the computer's answer
constexpr int StatusPanelCount = 5;
constexpr int ToggleGrowth = 50;  // pixels the window grows when the tool bar or status bar returns

// A clock count of tenths of a second as the clock panels show it: general format with up to 15
// significant digits, no trailing zeros, the user locale's decimal separator (123 gives "12.3").
QString ClockSeconds(int32_t tenths);

// The outer size at which the board picture becomes square with a side that is a multiple of 16,
// given the window's and the picture's size now, on the assumption that the picture grows and
// shrinks with the window pixel for pixel. A picture side below 80 first sets that side of the
// window to 175.
QSize SquaredWindowSize(QSize window, QSize picture);

class TForm1 : public QMainWindow, public TReporter {
  Q_OBJECT

 public:
  // The window shows every box through dialogs, which must outlive it.
  explicit TForm1(TDialogs& dialogs, QWidget* parent = nullptr);
  ~TForm1() override;

  // The About box that Action3 shows; it stays owned by the caller.
  void SetAboutBox(QDialog* about) { AboutBox = about; }

  // The engine's report channel: message boxes and status-bar panels.
  void ShowMessage(std::string_view text) override;
  void SetPanelText(int panel, std::string_view text) override;
  QString PanelText(int panel) const;

  // Components, named as their Qt object names.
  QMenuBar* MainMenu1 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QFrame* Panel1 = nullptr;
  QFrame* Panel2 = nullptr;
  QScrollArea* ScrollBox1 = nullptr;
  TImage* Image1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* StatusPanels[StatusPanelCount] = {};
  QTimer* Timer1 = nullptr;
  QFileDialog* SaveDialog1 = nullptr;
  QFileDialog* OpenDialog1 = nullptr;
  QAction *Action1 = nullptr, *Action2 = nullptr, *Action3 = nullptr, *Action4 = nullptr,
          *Action5 = nullptr, *Action6 = nullptr, *Action7 = nullptr, *Action8 = nullptr,
          *Action9 = nullptr;
  QMenu *N1 = nullptr, *N5 = nullptr, *N7 = nullptr, *N10 = nullptr;
  QAction *N2 = nullptr, *N3 = nullptr, *N4 = nullptr, *N6 = nullptr, *N9 = nullptr, *N11 = nullptr,
          *N12 = nullptr, *N15 = nullptr, *N16 = nullptr, *N17 = nullptr, *N18 = nullptr,
          *N19 = nullptr, *N20 = nullptr, *N21 = nullptr;
  QAction *N8 = nullptr, *N13 = nullptr, *N14 = nullptr, *N22 = nullptr;
  QMenu* N23 = nullptr;  // Level
  QAction *N24 = nullptr, *N25 = nullptr, *N26 = nullptr, *N27 = nullptr, *N28 = nullptr;
  QAction* Action10 = nullptr;  // Hint
  QAction* N29 = nullptr;       // its entry in the Game menu
  QToolButton *ToolButton1 = nullptr, *ToolButton2 = nullptr, *ToolButton4 = nullptr,
              *ToolButton5 = nullptr, *ToolButton6 = nullptr, *ToolButton8 = nullptr,
              *ToolButton9 = nullptr;
  QWidget *ToolButton3 = nullptr, *ToolButton7 = nullptr, *ToolButton10 = nullptr;  // separators

  // Game state. The stones on the board are exactly those of the first PlyCount entries of
  // History that the board accepted; Black plays entry 1 and colours alternate.
  std::unique_ptr<TGameBoard> BoardEngine;
  int32_t CellPitch = 0;  // pixels between neighbouring grid lines, set by every full redraw
  QImage WhiteStone, BlackStone, BoardPicture;
  uint8_t SideToMove = 0;
  bool ComputerFirst = true;
  int32_t BlackTenths = 0, WhiteTenths = 0;
  uint8_t PlayMode = ModeComputer;
  bool ShowSteps = false;
  int32_t CursorColumn = 3, CursorRow = 3;
  int32_t LastColumn = 1, LastRow = 1;
  std::vector<MoveEntry> History;
  int32_t PlyCount = 0;
  // The computer's level, Normal at start; a change applies from its next move.
  TLevel Level = TLevel::Normal;
  // The hint's intersection while its mark is shown, else 0.
  int32_t HintColumn = 0, HintRow = 0;
  // The thought of Hard and Expert, and of the hint, off the interface thread.
  TThinker* Thinker = nullptr;
  QTimer* Timer2 = nullptr;  // shows the thought's time
  // Beginner and Easy, which answer inside the click; they need next to no table.
  static constexpr size_t WeakTableBytes = 1 << 12;
  std::unique_ptr<TLevelPlayer> WeakPlayer;

  // Window events.
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void FormResize();
  void Image1MouseDown(Qt::MouseButton button, int x, int y);
  void Image1MouseMove(int x, int y);
  // The arrows move the cursor one intersection, Home puts it on the centre, Enter and Space
  // play at it as a click there does.
  void Image1KeyDown(int key);

  // Commands.
  void Action1Execute();          // New game
  void Action2Execute();          // Exit
  void Action3Execute();          // About
  void Action4Execute();          // Backward
  void Action5Execute();          // Forward
  void Action6Execute();          // Save game
  void Action7Execute();          // Open game
  void Action8Execute();          // Mode, after the action's tick has flipped
  void N11Click();                // play with computer
  void N12Click();                // two players
  void N16Click();                // Computer first
  void Action9Execute();          // Show time, after the action's tick has flipped
  void N8Click();                 // Show steps
  void N13Click();                // Status bar
  void N14Click();                // Toolbar
  void Timer1Timer();             // one tenth of a second on the clock of the side to move
  void LevelClick(TLevel level);  // N24 .. N28
  void Action10Execute();         // Hint
  // true while the computer thinks about its move: a click on the board places nothing.
  bool ComputerThinking() const;

  // The user's stone at an intersection, by a click or a key: the rest of a click once it is
  // mapped, with its refusals and the computer's answer.
  void UserMoveAt(int32_t column, int32_t row);
  // The cursor mark to an intersection, named in status panel 1; the mouse and the keys move it.
  void MoveCursor(int32_t column, int32_t row);
  // What a screen reader is told of an intersection: "8 : 8, empty", "9 : 8, White stone".
  QString IntersectionText(int32_t column, int32_t row) const;

  // The one path by which a stone of either side reaches the board: true when the board took it.
  bool PlayAt(int32_t column, int32_t row, uint8_t colour);
  void AppendMove(int32_t column, int32_t row);

  // Take the last n moves on the board off it, or put the next n recorded ones back. Neither
  // draws nor changes History; past either end they do nothing.
  void StepBack(int32_t n);
  void StepForward(int32_t n);

  // The game record file. A failed save or open is reported and changes nothing.
  void SaveRecord(const QString& fileName);
  void OpenRecord(const QString& fileName);

  // What changes whether Backward (Action4) and Forward (Action5) can run.
  enum class TStepEvent { NewGame, MoveAppended, SteppedBack, SteppedForward, RecordOpened };
  void EnableStepCommands(TStepEvent event);
  void RedrawBoard();
  void DrawCornerMark(int32_t column, int32_t row, TColor colour);

  // The intersection under pixel (x, y) of the picture; false off the 15 x 15 grid.
  bool CellUnder(int x, int y, int32_t& column, int32_t& row) const;
  // Where the stone picture of an intersection goes (right and bottom edges exclusive).
  QRect StoneBox(int32_t column, int32_t row) const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool event(QEvent* event) override;

 private:
  TDialogs& Dialogs;
  QDialog* AboutBox = nullptr;
  QActionGroup* GameModeGroup = nullptr;
  QActionGroup* LevelGroup = nullptr;
  bool Shown = false;
  QSize LastResizeRequest;

  // The components and their links; all of the window's layout is built here.
  void CreateComponents();
  void CreateActions();
  void CreateMenus();
  void CreateToolBar();
  void CreateBoardArea();
  void CreateStatusBar();
  void CreateFileDialogs();
  void ToggleBar(QAction* item, QWidget* bar);
  void ConnectEvents();

  void ShowMessageBox(const QString& text);
  bool AskFileName(QFileDialog& dialog, QFileDialog::AcceptMode mode, QString& fileName);
  QImage LoadBitmap(const QString& name) const;
  void PassTurn();
  void LeaveReplay();
  void AnswerMove(int32_t column, int32_t row);
  // The end of a thought: the computer's stone, or the hint's mark.
  void ThoughtAnswered(TThinker::TPurpose purpose, int column, int row, const QString& verdict);
  // Stops any thought, so that nothing of it lands, and takes the hint's mark away.
  void StopThinking();
  void ClearHint();
  void DrawHintMark(int32_t column, int32_t row);
  void ShowThinking();
  void EndThinkingTime();
  int32_t StepAllowance() const { return PlayMode == ModeComputer ? 1 : 0; }
  void DrawStone(int32_t column, int32_t row, uint8_t colour);
  void DrawMoveNumber(int32_t column, int32_t row, int32_t number);
  void DrawGrid();
  void DrawFrame();
  void DrawStones();
  void DrawMoveNumbers();
};
