// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target of the engine protocol: arbitrary bytes, cut into lines as pbrain-lindora cuts
// them, each answered by the protocol. After every line: every answer line is a protocol line
// without control characters, MESSAGE and DEBUG lines come only ahead of at most one other line,
// a command answers exactly one such line, a refusal changes nothing, a move lands on an
// intersection that was empty, and the engine's board and threat table equal a fresh replay of
// its stones.
#include <cstdint>
#include <string>
#include <vector>

#include "BrainProtocol.h"
#include "FuzzChecks.h"

namespace {

// Every move answer runs the move choice, which can take a while on a crowded board, so an
// input is cut after this many lines and this many move requests. A full BOARD listing fits.
constexpr size_t MaxLines = 256;
constexpr int MaxMoveRequests = 8;
constexpr size_t FuzzLineBytes = 96;
// The move choice at full depth takes up to seconds under the sanitizers; the protocol around it
// is the same at any depth.
constexpr int32_t FuzzSearchDepth = 3;

std::string_view Trimmed(std::string_view text) {
  const char* blanks = " \t\r\n\f\v";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string UpperWord(std::string_view text) {
  text = Trimmed(text);
  std::string word(text.substr(0, text.find_first_of(" \t")));
  for (char& ch : word)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return word;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// "x,y" on the board, digits only, as the engine writes its moves.
bool ParseMove(std::string_view text, int32_t& x, int32_t& y) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos || comma == 0 || comma > 2 || text.size() - comma - 1 > 2 ||
      text.size() == comma + 1 || text.find_first_not_of("0123456789,") != std::string_view::npos ||
      text.find(',', comma + 1) != std::string_view::npos)
    return false;
  x = std::stoi(std::string(text.substr(0, comma)));
  y = std::stoi(std::string(text.substr(comma + 1)));
  return InRange(x, 0, BoardSize - 1) && InRange(y, 0, BoardSize - 1);
}

enum class TKind { Text, Refusal, Ok, Move, About };

TKind Classify(const std::string& answer, int32_t& x, int32_t& y) {
  Check(!answer.empty(), "an empty answer line");
  for (const char ch : answer)
    Check(ch >= 0x20 && ch < 0x7f, "not printable ASCII in an answer: " + answer);
  for (std::string_view kind : {"MESSAGE ", "DEBUG "}) {
    if (StartsWith(answer, kind)) {
      Check(!Trimmed(answer.substr(kind.size())).empty(), "a text line without text");
      return TKind::Text;
    }
  }
  for (std::string_view kind : {"ERROR ", "UNKNOWN "}) {
    if (StartsWith(answer, kind)) {
      Check(!Trimmed(answer.substr(kind.size())).empty(), "a refusal without a reason");
      return TKind::Refusal;
    }
  }
  if (answer == "OK") return TKind::Ok;
  if (StartsWith(answer, "name=\"Lindora\", ")) return TKind::About;
  Check(ParseMove(answer, x, y), "not a protocol line: " + answer);
  return TKind::Move;
}

// Whether a line must answer exactly one line. Inside a listing only DONE answers; INFO, END and
// the start of a listing never do.
bool AnswersOneLine(const TInputLine& line, bool inBoard) {
  const std::string word = line.TooLong ? std::string() : UpperWord(line.Text);
  if (inBoard) return word == "DONE" && Trimmed(line.Text).size() == 4;
  if (line.TooLong) return true;
  if (Trimmed(line.Text).empty()) return false;
  return word != "INFO" && word != "END" && word != "BOARD" && word != "SWAP2BOARD";
}

bool RequestsMove(const TInputLine& line, bool inBoard) {
  if (line.TooLong) return false;
  const std::string word = UpperWord(line.Text);
  return inBoard ? word == "DONE" : word == "TURN" || word == "BEGIN";
}

void CheckLine(TBrainProtocol& brain, const TInputLine& line) {
  const bool ended = brain.Ended();
  const bool inBoard = brain.ReadingBoard();
  uint8_t before[17][17];
  std::memcpy(before, brain.Engine().Board, sizeof before);
  const std::vector<std::string> answers = brain.Execute(line, FuzzLineBytes);
  if (ended) Check(answers.empty(), "an answer after END");

  int finals = 0;
  TKind last = TKind::Text;
  int32_t x = -1, y = -1;
  for (const std::string& answer : answers) {
    Check(finals == 0, "a line after the answer");
    last = Classify(answer, x, y);
    finals += last != TKind::Text;
  }
  if (!ended && AnswersOneLine(line, inBoard)) Check(finals == 1, "no answer line");
  if (inBoard && !AnswersOneLine(line, true)) Check(answers.empty(), "a listing's line answered");
  if (last == TKind::Refusal && answers.back() != "ERROR the board is full: no move left")
    Check(std::memcmp(before, brain.Engine().Board, sizeof before) == 0,
          "a refusal changed the board");
  if (last == TKind::Move) {
    Check(brain.Engine().CellAt(x + 1, y + 1) == brain.OwnColour(), "the move is not played");
    // After TURN the opponent's stone and the move are new, after BEGIN the move alone; DONE
    // sets up a new position.
    if (!inBoard) {
      Check(before[x + 1][y + 1] == CellEmpty, "the move was onto a stone");
      int changed = 0;
      for (int32_t column = 0; column < 17; ++column)
        for (int32_t row = 0; row < 17; ++row)
          changed += before[column][row] != brain.Engine().Board[column][row];
      Check(changed == (UpperWord(line.Text) == "TURN" ? 2 : 1), "a move changed other stones");
    }
  }
  CheckReplay(brain.Engine().Board, brain.Engine());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CatchStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<TInputLine> lines = SplitInput(data, size, TLineEnds::AnyEnd, FuzzLineBytes);
  TBrainProtocol brain;
  brain.SetSearchDepth(FuzzSearchDepth);
  int moveRequests = 0;
  for (size_t i = 0; i < lines.size() && i < MaxLines; ++i) {
    if (RequestsMove(lines[i], brain.ReadingBoard()) && ++moveRequests > MaxMoveRequests) break;
    CheckLine(brain, lines[i]);
  }
  CheckFullEvaluation(brain.Engine());
  CheckStandardOutputEmpty();
  return 0;
}
