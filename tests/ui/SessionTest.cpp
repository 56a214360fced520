// SPDX-License-Identifier: GPL-3.0-or-later
// A long randomised session over the real window: from fixed seeds, thousands of commands a
// user could give (clicks anywhere on the picture, Backward, Forward, New game, the mode
// switches, "Computer first", "Show steps", saving and opening records, resizes, clock ticks).
// The test keeps its own model of the game and after every command compares the window with it:
// the stones on the board, the history and its position, the enabling of Backward and Forward,
// the square picture, and every message the window showed.
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>
#include <array>
#include <map>
#include <random>
#include <sstream>

#include "GameBoard.h"
#include "WindowFixture.h"

// Messages in failure reports as text.
static void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace {

constexpr int SessionCommands = 1000;  // per seed

// What the window should hold, worked out from the commands alone. The computer's answers are
// the one thing the model cannot know ahead: it reads each answer off the window's history and
// checks that it was a legal move.
struct TSessionModel {
  std::vector<MoveEntry> History;
  int32_t PlyCount = 0;
  uint8_t Mode = ModeComputer;
  bool ComputerTicked = true;  // the Mode action's tick
  bool ComputerFirst = true;
  bool BackwardEnabled = false;
  bool ForwardEnabled = false;
  bool ShowSteps = false;
  int32_t BlackTenths = 0, WhiteTenths = 0;  // the counts last seen; New game resets them
  bool ClocksReset = false;
  std::vector<QString> Messages;  // every message the window should have shown, in order

  int32_t Allowance() const { return Mode == ModeComputer ? 1 : 0; }
  uint8_t ColourOf(int32_t entry) const { return entry % 2 ? CellBlack : CellWhite; }
  uint8_t SideToMove() const { return ColourOf(PlyCount + 1); }

  // The board the first PlyCount entries make.
  std::array<std::array<uint8_t, 16>, 16> Board() const {
    std::array<std::array<uint8_t, 16>, 16> board{};
    for (auto& column : board)
      column.fill(CellEmpty);
    for (int32_t i = 1; i <= PlyCount; ++i)
      board[History[i - 1].Column][History[i - 1].Row] = ColourOf(i);
    return board;
  }

  void LeaveReplay() {
    if (Mode == ModeReplay) Mode = ComputerTicked ? ModeComputer : ModeTwoPlayers;
  }

  // A stone of the side to move at an empty intersection: recorded after the position, with
  // the win announcement when its line reaches five.
  void AppendMove(int32_t column, int32_t row) {
    const uint8_t colour = SideToMove();
    auto board = Board();
    board[column][row] = colour;
    if (CompletesFive(board, column, row, colour))
      Messages.push_back(colour == CellBlack ? "Black Win!" : "White Win!");
    History.resize(static_cast<size_t>(PlyCount));
    History.push_back(MoveEntry{static_cast<int8_t>(column), static_cast<int8_t>(row)});
    ++PlyCount;
    if (PlyCount > Allowance()) BackwardEnabled = true;
    ForwardEnabled = false;
  }

  static bool CompletesFive(const std::array<std::array<uint8_t, 16>, 16>& board, int32_t column,
                            int32_t row, uint8_t colour) {
    static const int steps[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
    for (const auto& step : steps) {
      int run = 1;
      for (int sign : {-1, 1})
        for (int k = 1;; ++k) {
          const int c = column + sign * k * step[0], r = row + sign * k * step[1];
          if (c < 1 || c > 15 || r < 1 || r > 15 || board[c][r] != colour) break;
          ++run;
        }
      if (run >= 5) return true;
    }
    return false;
  }

  void NewGame() {
    BlackTenths = WhiteTenths = 0;
    ClocksReset = true;
    LeaveReplay();
    History.clear();
    PlyCount = 0;
    BackwardEnabled = ForwardEnabled = false;
    if (ComputerFirst) AppendMove(8, 8);
  }

  void StepBack() {
    if (PlyCount < 1) return;
    --PlyCount;
    if (PlyCount <= Allowance()) BackwardEnabled = false;
    ForwardEnabled = true;
  }
  // Stepping onto a stone that completes five announces the win again, as placing it did.
  void StepForward() {
    if (static_cast<int32_t>(History.size()) < PlyCount + 1) return;
    const MoveEntry& entry = History[static_cast<size_t>(PlyCount)];
    auto board = Board();
    board[entry.Column][entry.Row] = SideToMove();
    if (CompletesFive(board, entry.Column, entry.Row, SideToMove()))
      Messages.push_back(SideToMove() == CellBlack ? "Black Win!" : "White Win!");
    ++PlyCount;
    if (PlyCount >= static_cast<int32_t>(History.size()) - Allowance()) ForwardEnabled = false;
    BackwardEnabled = true;
  }

  void Backward() {
    StepBack();
    if (Mode == ModeComputer) StepBack();
  }
  void Forward() {
    StepForward();
    if (Mode == ModeComputer) StepForward();
  }

  void FlipMode() {
    ComputerTicked = !ComputerTicked;
    Mode = ComputerTicked ? ModeComputer : ModeTwoPlayers;
  }

  void Open(const std::vector<MoveEntry>& record) {
    History = record;
    PlyCount = 0;
    Mode = ModeReplay;
    StepForward();
    BackwardEnabled = false;
    ForwardEnabled = true;
    Messages.push_back(QString("Open successful! total steps：%1").arg(History.size()));
  }
};

class Session : public WindowTest {
 protected:
  TSessionModel Model;
  std::mt19937 Random;
  QTemporaryDir Folder;
  std::map<QString, std::vector<MoveEntry>> Saved;  // what each record file holds
  QString DamagedFile;
  int CommandsRun = 0;

  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }

  void Settle() {
    for (int i = 0; i < 5; ++i)
      QApplication::processEvents();
  }

  void StartSession(unsigned seed) {
    Random.seed(seed);
    Form->show();
    Settle();
    // The first showing started a game with the window's starting options.
    Model.NewGame();
    DamagedFile = Folder.filePath("damaged.lnd");
    QFile damaged(DamagedFile);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x06lnd2.0\x01\x00\x00\x00\x08\x08", 13);
    damaged.close();
    CheckWindow("start");
  }

  // A press at a random pixel of the picture, or just past its grid, mapped as the window maps
  // it: column = (X - h) div P + 1 with the division truncating toward zero.
  void ClickSomewhere() {
    const int32_t pitch = Form->CellPitch, half = pitch / 2;
    const int side = Form->Image1->width();
    int x = Pick(0, side - 1), y = Pick(0, side - 1);
    // Often near the stones already placed, so that lines grow and occupied cells get hit; less
    // often in computer play, where crowded threats make every answer slow.
    const bool near = Model.Mode == ModeComputer ? Pick(0, 2) == 0 : Pick(0, 2) != 0;
    if (near && Model.PlyCount > 0) {
      const MoveEntry& stone = Model.History[static_cast<size_t>(Pick(0, Model.PlyCount - 1))];
      x = std::clamp((stone.Column + Pick(-2, 2)) * pitch + Pick(-half, half), 0, side - 1);
      y = std::clamp((stone.Row + Pick(-2, 2)) * pitch + Pick(-half, half), 0, side - 1);
    }
    const int32_t column = (x - half) / pitch + 1, row = (y - half) / pitch + 1;
    PressAt(x, y);
    if (column < 1 || column > 15 || row < 1 || row > 15) return;
    Model.LeaveReplay();
    if (Model.Board()[column][row] != CellEmpty) {
      Model.Messages.push_back(" Set Wrong!");
      return;
    }
    Model.AppendMove(column, row);
    if (Model.Mode != ModeComputer) return;
    // The computer's answer, read off the window: a legal move of the side then to move.
    if (Form->PlyCount != Model.PlyCount + 1 ||
        Form->History.size() != static_cast<size_t>(Model.PlyCount + 1)) {
      Model.Messages.push_back(" Set Wrong!");  // a refused answer shows the board's refusal
      return;
    }
    const MoveEntry answer = Form->History.back();
    ASSERT_TRUE(InRange(answer.Column, 1, 15) && InRange(answer.Row, 1, 15));
    ASSERT_EQ(Model.Board()[answer.Column][answer.Row], CellEmpty)
        << "the computer answered on a stone";
    Model.AppendMove(answer.Column, answer.Row);
  }

  void NewGame() {
    Form->Action1->trigger();
    Model.NewGame();
  }

  void SaveRecord() {
    if (Pick(0, 5) == 0) {  // the user cancels the dialog
      Dialogs.NextFileName.clear();
      Form->Action6->trigger();
      return;
    }
    const QString name = Folder.filePath(QString("game%1.lnd").arg(Pick(1, 3)));
    Dialogs.NextFileName = name;
    Form->Action6->trigger();
    Saved[name] = Model.History;
    Model.Messages.push_back(QString("Save successful！total steps：%1").arg(Model.History.size()));
  }

  void OpenRecord() {
    if (Saved.empty() || Pick(0, 4) == 0) {
      Dialogs.NextFileName = DamagedFile;
      Form->Action7->trigger();
      Model.Messages.push_back("invalid format！");
      return;
    }
    auto file = Saved.begin();
    std::advance(file, Pick(0, static_cast<int>(Saved.size()) - 1));
    Dialogs.NextFileName = file->first;
    Form->Action7->trigger();
    Model.Open(file->second);
  }

  void ToggleShowSteps() {
    Form->N8->trigger();
    Model.ShowSteps = !Model.ShowSteps;
  }

  // A tick of the game clock, delivered the way the running timer delivers it: exactly one
  // tenth of a second on the clock of the side to move. (The running timer also fires on its
  // own while a resize settles, so between ticks the clocks are only known not to go back.)
  void ClockTick() {
    if (!Form->Action9->isChecked() && Pick(0, 1)) Form->Action9->trigger();
    if (!Form->Timer1->isActive()) return;
    const int32_t black = Form->BlackTenths, white = Form->WhiteTenths;
    QTimerEvent tick(Form->Timer1->timerId());
    QApplication::sendEvent(Form->Timer1, &tick);
    const bool whiteToMove = Form->SideToMove == CellWhite;
    EXPECT_EQ(Form->BlackTenths, black + (whiteToMove ? 0 : 1));
    EXPECT_EQ(Form->WhiteTenths, white + (whiteToMove ? 1 : 0));
  }

  void Resize() {
    Form->resize(Pick(200, 900), Pick(200, 900));
    Settle();
  }

  void RunCommand(std::string& name) {
    const int roll = Pick(0, 99);
    if (roll < 43) {
      name = "click";
      ClickSomewhere();
    } else if (roll < 55) {
      name = "backward";
      // A disabled command does nothing, whatever its button is asked.
      Form->Action4->trigger();
      if (Model.BackwardEnabled) Model.Backward();
    } else if (roll < 65) {
      name = "forward";
      Form->Action5->trigger();
      if (Model.ForwardEnabled) Model.Forward();
    } else if (roll < 70) {
      name = "new game";
      NewGame();
    } else if (roll < 74) {
      name = "mode button";
      Form->ToolButton9->click();
      Model.FlipMode();
    } else if (roll < 76) {
      name = "play with computer";
      Form->N11->trigger();
      if (!Model.ComputerTicked) Model.FlipMode();
    } else if (roll < 81) {
      name = "two players";
      Form->N12->trigger();
      if (Model.ComputerTicked) Model.FlipMode();
    } else if (roll < 83) {
      name = "computer first";
      if (Form->N16->isEnabled()) {
        Form->N16->trigger();
        Model.ComputerFirst = !Model.ComputerFirst;
      }
    } else if (roll < 86) {
      name = "show steps";
      ToggleShowSteps();
    } else if (roll < 90) {
      name = "save";
      SaveRecord();
    } else if (roll < 94) {
      name = "open";
      OpenRecord();
    } else if (roll < 96) {
      name = "resize";
      Resize();
    } else {
      name = "clock tick";
      ClockTick();
    }
  }

  void CheckWindow(const std::string& after) {
    SCOPED_TRACE("after command " + std::to_string(CommandsRun) + " (" + after + ")");
    ASSERT_EQ(Form->History.size(), Model.History.size());
    for (size_t i = 0; i < Model.History.size(); ++i)
      ASSERT_TRUE(Form->History[i].Column == Model.History[i].Column &&
                  Form->History[i].Row == Model.History[i].Row)
          << "entry " << i + 1;
    ASSERT_EQ(Form->PlyCount, Model.PlyCount);
    ASSERT_TRUE(Form->PlyCount >= 0 &&
                Form->PlyCount <= static_cast<int32_t>(Form->History.size()));
    const auto board = Model.Board();
    for (int column = 1; column <= 15; ++column)
      for (int row = 1; row <= 15; ++row)
        ASSERT_EQ(Form->BoardEngine->CellAt(column, row), board[column][row])
            << "intersection " << column << "," << row;
    ASSERT_EQ(Form->SideToMove, Model.SideToMove());
    ASSERT_EQ(Form->PlayMode, Model.Mode);
    ASSERT_EQ(Form->ShowSteps, Model.ShowSteps);
    ASSERT_EQ(Form->N8->isChecked(), Model.ShowSteps);
    if (Model.ClocksReset) {
      ASSERT_EQ(Form->BlackTenths, 0);
      ASSERT_EQ(Form->WhiteTenths, 0);
    } else {
      ASSERT_GE(Form->BlackTenths, Model.BlackTenths);
      ASSERT_GE(Form->WhiteTenths, Model.WhiteTenths);
    }
    Model.BlackTenths = Form->BlackTenths, Model.WhiteTenths = Form->WhiteTenths;
    Model.ClocksReset = false;
    ASSERT_EQ(Form->Action4->isEnabled(), Model.BackwardEnabled) << "Backward";
    ASSERT_EQ(Form->Action5->isEnabled(), Model.ForwardEnabled) << "Forward";
    const QSize side = Form->Image1->size();
    ASSERT_EQ(side.width(), side.height());
    ASSERT_EQ(side.width() % 16, 0);
    ASSERT_EQ(Form->Image1->Picture().size(), side);
    ASSERT_EQ(Dialogs.Messages, Model.Messages);
    Dialogs.Messages.clear();
    Model.Messages.clear();
  }

  void RunSession(unsigned seed) {
    StartSession(seed);
    if (HasFatalFailure()) return;
    for (int i = 0; i < SessionCommands; ++i) {
      std::string name;
      RunCommand(name);
      ++CommandsRun;
      if (HasFatalFailure()) return;
      CheckWindow(name);
      if (HasFatalFailure()) return;
    }
  }
};

TEST_F(Session, SeedOne) {
  RunSession(1);
}
TEST_F(Session, SeedTwo) {
  RunSession(2);
}
TEST_F(Session, SeedThree) {
  RunSession(3);
}

}  // namespace
