// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrainProtocol.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <utility>

#ifndef LINDORA_VERSION
#define LINDORA_VERSION "2.1"
#endif

namespace {

constexpr int32_t Centre = (BoardSize + 1) / 2;  // column and row 8, x and y 7 on the wire

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& ch : upper)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return upper;
}

// A whole decimal number, optionally signed, that fits a signed 64-bit integer (memory sizes
// and times may pass 2^31).
bool ParseInt64(std::string_view text, int64_t& value) {
  text = Trim(text);
  if (text.empty() || text.size() > 20) return false;
  const std::string token(text);
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(token.c_str(), &end, 10);
  if (errno != 0 || end != token.c_str() + token.size()) return false;
  value = parsed;
  return true;
}

// The same for a signed 32-bit integer.
bool ParseInt32(std::string_view text, int32_t& value) {
  int64_t parsed = 0;
  if (!ParseInt64(text, parsed) || parsed < std::numeric_limits<int32_t>::min() ||
      parsed > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

// Exactly count comma-separated whole numbers, blanks around each allowed.
bool ParseNumbers(std::string_view text, size_t count, int32_t* values) {
  for (size_t index = 0; index < count; ++index) {
    const size_t comma = text.find(',');
    const bool last = index + 1 == count;
    if (last != (comma == std::string_view::npos)) return false;
    if (!ParseInt32(text.substr(0, comma), values[index])) return false;
    if (!last) text.remove_prefix(comma + 1);
  }
  return true;
}

bool OnBoard(int32_t x, int32_t y) {
  return InRange(x, 0, BoardSize - 1) && InRange(y, 0, BoardSize - 1);
}

std::string Wire(int32_t column, int32_t row) {
  return std::to_string(column - 1) + "," + std::to_string(row - 1);
}

// Input as an answer may show it: printable ASCII alone, since a control character could end
// the line early for a manager and a stray high byte break its decoding; long input cut short.
std::string Echo(std::string_view text) {
  constexpr size_t MaxEchoBytes = 40;
  std::string shown;
  for (const char ch : text.substr(0, MaxEchoBytes))
    shown += ch >= 0x20 && ch < 0x7f ? ch : '?';
  if (text.size() > MaxEchoBytes) shown += "...";
  return shown;
}

std::vector<std::string> Answer(std::string line) {
  return {std::move(line)};
}

std::vector<std::string> Error(std::string_view reason) {
  return Answer("ERROR " + std::string(reason));
}

}  // namespace

void TProtocolReporter::SetPanelText(int panel, std::string_view text) {
  // Panel 0 carries the move choice's verdict; the board's line-scan report names its panel.
  if (panel == 0)
    Add("DEBUG ", text);
  else
    Add("DEBUG panel " + std::to_string(panel) + ": ", text);
}

void TProtocolReporter::Add(std::string_view kind, std::string_view text) {
  std::string line(Trim(text));
  if (line.empty()) return;
  for (char& ch : line)
    if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) ch = ' ';
  Lines.push_back(std::string(kind) + line);
}

TBrainProtocol::TBrainProtocol() {
  Board.SetReporter(&Reporter);
}

std::vector<std::string> TBrainProtocol::Execute(std::string_view line) {
  if (EndRead) return {};
  line = Trim(line);
  if (line.empty()) return {};
  Reporter.Lines.clear();
  if (InBoard) return BoardLine(line);
  const size_t blank = line.find_first_of(" \t");
  const std::string command = Upper(line.substr(0, blank));
  const std::string_view rest =
      blank == std::string_view::npos ? std::string_view() : Trim(line.substr(blank));
  return Dispatch(command, line.substr(0, blank), rest);
}

std::vector<std::string> TBrainProtocol::Execute(const TInputLine& line, size_t maxLineBytes) {
  if (!line.TooLong) return Execute(line.Text);
  if (EndRead) return {};
  Reporter.Lines.clear();
  const std::string reason = "line longer than " + std::to_string(maxLineBytes) + " bytes";
  if (InBoard) {
    if (BoardRefusal.empty()) BoardRefusal = "a " + reason;
    return {};
  }
  return Error(reason + "; skipped");
}

std::vector<std::string> TBrainProtocol::Dispatch(const std::string& command, std::string_view word,
                                                  std::string_view rest) {
  if (command == "START") return Start(rest);
  if (command == "RECTSTART") return RectStart(rest);
  if (command == "BEGIN") return Begin(rest);
  if (command == "TURN") return Turn(rest);
  if (command == "TAKEBACK") return TakeBack(rest);
  if (command == "INFO") return Info(rest);
  if (command == "BOARD" || command == "SWAP2BOARD") {
    if (!rest.empty()) return Error(command + " takes no arguments; its lines follow on their own");
    InBoard = true;
    Swap2 = command == "SWAP2BOARD";
    BoardRefusal.clear();
    Listing.clear();
    return {};
  }
  if (command == "RESTART") {
    NewGame();
    return Answer("OK");
  }
  if (command == "ABOUT") {
    return Answer("name=\"Lindora\", version=\"" LINDORA_VERSION
                  "\", author=\"The Lindora developers\", country=\"International\"");
  }
  if (command == "END") {
    EndRead = true;
    return {};
  }
  return Answer("UNKNOWN command " + Echo(word));
}

void TBrainProtocol::NewGame() {
  Board.Clear();
  Own = CellEmpty;
  InBoard = false;
  BoardRefusal.clear();
  Listing.clear();
}

std::vector<std::string> TBrainProtocol::Start(std::string_view rest) {
  int32_t size = 0;
  if (!ParseInt32(rest, size)) return Error("START needs the board size, for example START 15");
  if (size != BoardSize)
    return Error("Lindora plays on a 15 x 15 board only, not " + std::to_string(size));
  NewGame();
  return Answer("OK");
}

std::vector<std::string> TBrainProtocol::RectStart(std::string_view rest) {
  int32_t size[2] = {0, 0};
  if (!ParseNumbers(rest, 2, size))
    return Error("RECTSTART needs width,height, for example RECTSTART 15,15");
  if (size[0] != BoardSize || size[1] != BoardSize)
    return Error("Lindora plays on a 15 x 15 board only, not " + std::to_string(size[0]) + " x " +
                 std::to_string(size[1]));
  NewGame();
  return Answer("OK");
}

std::vector<std::string> TBrainProtocol::Begin(std::string_view rest) {
  if (!rest.empty()) return Error("BEGIN takes no arguments");
  if (!BoardIsEmpty()) return Error("BEGIN needs an empty board; send RESTART first");
  // Like the game window when the computer moves first: Black on the centre.
  Own = CellBlack;
  Board.PlaceStone(Centre, Centre, Own);
  std::vector<std::string> out;
  FlushReports(out);
  out.push_back(Wire(Centre, Centre));
  return out;
}

std::vector<std::string> TBrainProtocol::Turn(std::string_view rest) {
  int32_t xy[2] = {0, 0};
  if (!ParseNumbers(rest, 2, xy)) return Error("TURN needs x,y, for example TURN 7,7");
  if (!OnBoard(xy[0], xy[1]))
    return Error("move " + Echo(rest) + " is off the 15 x 15 board (x and y are 0..14)");
  const int32_t column = xy[0] + 1, row = xy[1] + 1;
  if (Board.CellAt(column, row) != CellEmpty)
    return Error("move " + Wire(column, row) + " is on an occupied intersection");
  if (BoardIsEmpty()) Own = CellWhite;
  Board.PlaceStone(column, row, Opponent(Own));
  return PlayOwnMove();
}

std::vector<std::string> TBrainProtocol::TakeBack(std::string_view rest) {
  int32_t xy[2] = {0, 0};
  if (!ParseNumbers(rest, 2, xy)) return Error("TAKEBACK needs x,y, for example TAKEBACK 7,7");
  if (!OnBoard(xy[0], xy[1])) return Error("TAKEBACK " + Echo(rest) + " is off the 15 x 15 board");
  const int32_t column = xy[0] + 1, row = xy[1] + 1;
  if (Board.CellAt(column, row) == CellEmpty)
    return Error("no stone on " + Wire(column, row) + " to take back");
  Board.PlaceStone(column, row, CellEmpty);
  return Answer("OK");
}

std::vector<std::string> TBrainProtocol::Info(std::string_view rest) {
  if (rest.empty()) return {};  // INFO is never answered, not even when it says nothing
  const size_t blank = rest.find_first_of(" \t");
  const std::string key = Upper(rest.substr(0, blank));
  const std::string_view value =
      blank == std::string_view::npos ? std::string_view() : rest.substr(blank);
  // The times and the memory bound the levels that search; a value that is no number is
  // passed over, as INFO is never answered.
  int64_t number = 0;
  const bool given = ParseInt64(value, number) && number >= 0;
  if (key == "TIMEOUT_TURN" && given) TurnMs = number;
  if (key == "TIMEOUT_MATCH" && given) MatchMs = number;
  if (key == "TIME_LEFT" && ParseInt64(value, number)) LeftMs = number;
  if (key == "MAX_MEMORY" && given && number != MaxMemoryBytes) {
    MaxMemoryBytes = number;
    MakePlayer();
  }
  if (key != "RULE") return {};
  // Only a rule other than plain five-or-more is worth telling the user about.
  int32_t rule = -1;
  if (ParseInt32(value, rule) && rule == 0) return {};
  return Answer("MESSAGE Lindora plays freestyle only: five or more in a row wins");
}

std::vector<std::string> TBrainProtocol::BoardLine(std::string_view line) {
  const std::string word = Upper(line);
  if (word == "DONE") return Done();
  if (word == "END") {
    EndRead = true;
    return {};
  }
  if (Swap2 || !BoardRefusal.empty()) return {};
  int32_t field[3] = {0, 0, 0};
  const std::string quoted = "line " + Echo(line);
  if (!ParseNumbers(line, 3, field)) {
    BoardRefusal = quoted + " is not x,y,f";
  } else if (!OnBoard(field[0], field[1])) {
    BoardRefusal = quoted + " is off the 15 x 15 board";
  } else if (!InRange(field[2], 1, 3)) {
    BoardRefusal = quoted + ": f must be 1 (own), 2 or 3";
  } else if (field[2] == 3) {
    // A continuous game's winning line or forbidden point: the move choice cannot keep off it.
    BoardRefusal = quoted + " marks a cell with 3, which Lindora cannot keep its move off";
  } else {
    for (const TBoardStone& stone : Listing) {
      if (stone.Column == field[0] + 1 && stone.Row == field[1] + 1)
        BoardRefusal = quoted + " repeats an intersection";
    }
  }
  if (BoardRefusal.empty()) Listing.push_back(TBoardStone{field[0] + 1, field[1] + 1, field[2]});
  return {};
}

std::vector<std::string> TBrainProtocol::Done() {
  InBoard = false;
  if (std::exchange(Swap2, false)) {
    Listing.clear();
    return Answer("UNKNOWN command SWAP2BOARD: Lindora does not play swap2 openings");
  }
  if (!BoardRefusal.empty()) {
    Listing.clear();
    return Error("BOARD refused, the position is as before: " + std::exchange(BoardRefusal, ""));
  }
  int32_t ownCount = 0, otherCount = 0;
  for (const TBoardStone& stone : Listing) {
    ownCount += stone.Field == 1;
    otherCount += stone.Field == 2;
  }
  Board.Clear();
  Own = ownCount == otherCount ? CellBlack : CellWhite;
  for (const TBoardStone& stone : Listing)
    Board.PlaceStone(stone.Column, stone.Row, stone.Field == 1 ? Own : Opponent(Own));
  Listing.clear();
  return PlayOwnMove();
}

std::vector<std::string> TBrainProtocol::PlayOwnMove() {
  std::vector<std::string> out;
  int32_t column = 0, row = 0;
  if (!NearestEmptyToCentre(column, row)) {
    FlushReports(out);
    out.push_back("ERROR the board is full: no move left");
    return out;
  }
  int32_t chosenColumn = 0, chosenRow = 0;
  if (Player != nullptr)
    Player->Choose(Board, Level, Own, chosenColumn, chosenRow, ThinkBudget());
  else
    Board.ChooseMove(Own, chosenColumn, chosenRow, Depth);
  // ChooseMove answers (0, 0) when no empty intersection carries a level; anything but an
  // empty intersection falls back on the one nearest the centre, so the answer is always legal.
  if (InRange(chosenColumn, 1, BoardSize) && InRange(chosenRow, 1, BoardSize) &&
      Board.CellAt(chosenColumn, chosenRow) == CellEmpty) {
    column = chosenColumn;
    row = chosenRow;
  }
  Board.PlaceStone(column, row, Own);
  FlushReports(out);
  out.push_back(Wire(column, row));
  return out;
}

void TBrainProtocol::SetLevel(TLevel level) {
  Level = level;
  MakePlayer();
}

// Half of the manager's memory goes to the table, the rest is the program's own.
void TBrainProtocol::MakePlayer() {
  if (Level == TLevel::Normal) {
    Player.reset();
    return;
  }
  size_t bytes = TLevelPlayer::DefaultTableBytes;
  if (MaxMemoryBytes > 0) bytes = std::min<size_t>(bytes, static_cast<size_t>(MaxMemoryBytes / 2));
  if (Player != nullptr && bytes == PlayerTableBytes) return;
  Player.reset();
  Player = std::make_unique<TLevelPlayer>(bytes);
  PlayerTableBytes = bytes;
}

TThinkLimits TBrainProtocol::ThinkBudget() const {
  int64_t available = TurnMs;
  if (MatchMs > 0 || LeftMs < 2147483647) available = std::min(available, LeftMs / MovesToCome);
  int64_t budget = available - MarginMs - available / MarginShare;
  if (Level == TLevel::Hard) budget /= 4;
  TThinkLimits limits;
  limits.Microseconds = std::max<int64_t>(1, budget) * 1000;
  return limits;
}

bool TBrainProtocol::NearestEmptyToCentre(int32_t& column, int32_t& row) const {
  int32_t best = std::numeric_limits<int32_t>::max();
  for (int32_t r = 1; r <= BoardSize; ++r) {
    for (int32_t c = 1; c <= BoardSize; ++c) {
      const int32_t distance = (c - Centre) * (c - Centre) + (r - Centre) * (r - Centre);
      if (Board.CellAt(c, r) == CellEmpty && distance < best) {
        best = distance;
        column = c;
        row = r;
      }
    }
  }
  return best != std::numeric_limits<int32_t>::max();
}

bool TBrainProtocol::BoardIsEmpty() const {
  for (int32_t c = 1; c <= BoardSize; ++c)
    for (int32_t r = 1; r <= BoardSize; ++r)
      if (Board.CellAt(c, r) != CellEmpty) return false;
  return true;
}

void TBrainProtocol::FlushReports(std::vector<std::string>& out) {
  for (std::string& line : Reporter.Lines)
    out.push_back(std::move(line));
  Reporter.Lines.clear();
}
