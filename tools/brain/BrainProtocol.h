// SPDX-License-Identifier: GPL-3.0-or-later
// The engine protocol of pbrain-lindora: the line commands that Gomoku tournament managers and
// analysis boards send to an engine, answered with Lindora's board engine and computer player.
// Kept apart from main() so tests drive it in-process as well as through the real program.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "GameBoard.h"
#include "Levels.h"
#include "LineReader.h"

// Turns what the engine shows into protocol lines, in the order it shows them: message boxes as
// MESSAGE lines, status texts as DEBUG lines. Control characters become blanks and the blanks
// that frame texts like " Set Wrong!" are dropped; a text that is blank gives no line.
class TProtocolReporter : public TReporter {
 public:
  std::vector<std::string> Lines;

  void ShowMessage(std::string_view text) override { Add("MESSAGE ", text); }
  void SetPanelText(int panel, std::string_view text) override;

 private:
  void Add(std::string_view kind, std::string_view text);
};

// One engine session. Coordinates on the wire are x,y from 0 at the top-left corner; Lindora's
// column is x + 1 and its row y + 1.
//
// Colours: the engine always moves next after BEGIN, BOARD and TURN, so its colour follows from
// the stones: Black when it has as many stones as the opponent (Black moved first), White when
// it has fewer. BEGIN makes it Black, a TURN on an empty board White, and BOARD decides by the
// counts of its own and the opponent's stones. The colour holds until the board is emptied by
// START, RECTSTART, RESTART or another BOARD.
class TBrainProtocol {
 public:
  static constexpr int32_t SearchDepth = 16;

  TBrainProtocol();

  // The answer lines (without line ends) to one input line; none for INFO, for the lines of a
  // BOARD listing and for blank lines. Texts the engine shows as message boxes come first as
  // MESSAGE lines and its status texts as DEBUG lines, ahead of the answer itself.
  std::vector<std::string> Execute(std::string_view line);
  // The same for a line as read; one that ran too long answers ERROR and, inside a BOARD
  // listing, spoils the listing like any other bad line.
  std::vector<std::string> Execute(const TInputLine& line, size_t maxLineBytes);

  // true once END has been read: the program stops at once.
  bool Ended() const { return EndRead; }
  // true between BOARD and DONE.
  bool ReadingBoard() const { return InBoard; }

  const TGameBoard& Engine() const { return Board; }
  // The depth of the move choice, SearchDepth unless changed; the fuzz target lowers it, since
  // a full-depth search under the sanitizers takes seconds.
  void SetSearchDepth(int32_t depth) { Depth = depth; }
  // CellBlack or CellWhite once known, else CellEmpty.
  uint8_t OwnColour() const { return Own; }
  // The level its moves are chosen at: Normal unless set (the program sets Expert). Above
  // Normal the player and its table are made here, and again when INFO max_memory changes its
  // size, never while a move is chosen.
  void SetLevel(TLevel level);
  TLevel GetLevel() const { return Level; }
  // What a move at Hard or Expert may take, from the manager's times: the turn time, or a share
  // of the time left when that is less, less the margin for answering; Hard takes a quarter.
  TThinkLimits ThinkBudget() const;
  // Milliseconds kept back from every budget for answering, and the share of it.
  static constexpr int64_t MarginMs = 60;
  static constexpr int64_t MarginShare = 10;  // a tenth of the budget as well
  // The time left is spread over this many moves to come.
  static constexpr int64_t MovesToCome = 15;

 private:
  // One x,y,f line of a BOARD listing, already checked.
  struct TBoardStone {
    int32_t Column;
    int32_t Row;
    int Field;
  };

  TGameBoard Board;
  TProtocolReporter Reporter;
  uint8_t Own = CellEmpty;
  int32_t Depth = SearchDepth;
  TLevel Level = TLevel::Normal;
  std::unique_ptr<TLevelPlayer> Player;
  size_t PlayerTableBytes = 0;
  // The manager's times and memory, as INFO last gave them; what it sends when it gives none.
  int64_t TurnMs = 30000;
  int64_t MatchMs = 0;  // 0: no match clock
  int64_t LeftMs = 2147483647;
  int64_t MaxMemoryBytes = 0;  // 0: no limit
  bool EndRead = false;
  // A listing (BOARD or SWAP2BOARD up to DONE) is answered once, at DONE: with a move, or with
  // one refusal that names its first bad line.
  bool InBoard = false;
  bool Swap2 = false;
  std::string BoardRefusal;
  std::vector<TBoardStone> Listing;

  // command is the upper-cased first word of the line, word the same as it came.
  std::vector<std::string> Dispatch(const std::string& command, std::string_view word,
                                    std::string_view rest);
  std::vector<std::string> Start(std::string_view rest);
  std::vector<std::string> RectStart(std::string_view rest);
  std::vector<std::string> Begin(std::string_view rest);
  std::vector<std::string> Turn(std::string_view rest);
  std::vector<std::string> TakeBack(std::string_view rest);
  std::vector<std::string> Info(std::string_view rest);
  std::vector<std::string> BoardLine(std::string_view line);
  std::vector<std::string> Done();

  void NewGame();
  // Makes the player for the level when there is none of the right size.
  void MakePlayer();
  // Chooses, places and answers the engine's move; MESSAGE and DEBUG lines first.
  std::vector<std::string> PlayOwnMove();
  // The empty intersection nearest the centre; false on a full board.
  bool NearestEmptyToCentre(int32_t& column, int32_t& row) const;
  bool BoardIsEmpty() const;
  // Moves the engine's texts shown since the last call to out.
  void FlushReports(std::vector<std::string>& out);
};
