// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target of the engine shell: arbitrary bytes, cut into lines as lindora-cli cuts them,
// each answered by the shell. After every line: the answer is empty exactly for a blank or
// comment line and otherwise one line of valid JSON, an error changes nothing, and the stones
// that `board` shows, replayed on a fresh engine, give the engine's board and the threat table
// that `threats` shows. Every `choose` is made again with the other search (`search plain` or
// `search fast`), which must give the same answer but for its count of searches.
#include <cerrno>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "ShellCommands.h"

namespace {

// Enough lines for a full board; the move choice is the slow part, so an input is cut after
// this many `choose` lines.
constexpr size_t MaxLines = 256;
constexpr int MaxChooses = 8;
constexpr size_t FuzzLineBytes = 96;
// `choose` with a deep search can take seconds on a crowded board; deeper ones are answered
// as given but searched no deeper than this.
constexpr int32_t MaxChooseDepth = 3;

// JSON text is UTF-8: every byte above 0x7f belongs to a well-formed sequence.
bool ValidUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    int more = 0;
    unsigned char low = 0x80, high = 0xbf;
    if (lead < 0x80)
      more = 0;
    else if (lead >= 0xc2 && lead <= 0xdf)
      more = 1;
    else if (lead == 0xe0)
      more = 2, low = 0xa0;
    else if (lead == 0xed)
      more = 2, high = 0x9f;
    else if (lead >= 0xe1 && lead <= 0xef)
      more = 2;
    else if (lead == 0xf0)
      more = 3, low = 0x90;
    else if (lead == 0xf4)
      more = 3, high = 0x8f;
    else if (lead >= 0xf1 && lead <= 0xf3)
      more = 3;
    else
      return false;
    if (more > 0 && i + more >= text.size()) return false;
    for (int k = 1; k <= more; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xbf)) return false;
    }
    i += 1 + more;
  }
  return true;
}

// A small JSON reader: the whole text must be one value, nothing after it.
class TJsonReader {
 public:
  explicit TJsonReader(std::string_view text) : Text(text) {}

  // The top-level object's first key, and every integer array under a key.
  std::string FirstKey;
  std::vector<std::pair<std::string, std::vector<long long>>> Arrays;

  bool ReadDocument() {
    if (!ValidUtf8(Text) || Peek() != '{') return false;
    if (!Value(0)) return false;
    return Position == Text.size();
  }

 private:
  std::string_view Text;
  size_t Position = 0;
  std::string LastKey;

  char Peek() const { return Position < Text.size() ? Text[Position] : '\0'; }

  bool Value(int depth) {
    if (depth > 8) return false;
    const char ch = Peek();
    if (ch == '{') return Object(depth);
    if (ch == '[') return Array(depth);
    if (ch == '"') return String(nullptr);
    if (ch == '-' || (ch >= '0' && ch <= '9')) return Number(nullptr);
    for (std::string_view word : {"true", "false", "null"}) {
      if (Text.substr(Position, word.size()) == word) {
        Position += word.size();
        return true;
      }
    }
    return false;
  }

  bool Object(int depth) {
    ++Position;
    if (Peek() == '}') return ++Position, true;
    for (;;) {
      std::string key;
      if (Peek() != '"' || !String(&key) || Peek() != ':') return false;
      ++Position;
      if (depth == 0 && FirstKey.empty()) FirstKey = key;
      LastKey = key;
      if (!Value(depth + 1)) return false;
      if (Peek() == '}') return ++Position, true;
      if (Peek() != ',') return false;
      ++Position;
    }
  }

  bool Array(int depth) {
    const std::string key = LastKey;
    ++Position;
    std::vector<long long> numbers;
    bool allNumbers = true;
    if (Peek() == ']') return ++Position, true;
    for (;;) {
      const char ch = Peek();
      long long number = 0;
      if (ch == '-' || (ch >= '0' && ch <= '9')) {
        if (!Number(&number)) return false;
        numbers.push_back(number);
      } else {
        allNumbers = false;
        if (!Value(depth + 1)) return false;
      }
      if (Peek() == ']') break;
      if (Peek() != ',') return false;
      ++Position;
    }
    ++Position;
    if (allNumbers && depth == 1) Arrays.emplace_back(key, std::move(numbers));
    return true;
  }

  // Whole numbers only: the shell writes no others.
  bool Number(long long* value) {
    const bool negative = Peek() == '-';
    if (negative) ++Position;
    const size_t first = Position;
    long long magnitude = 0;
    while (Peek() >= '0' && Peek() <= '9') {
      if (magnitude > 100000000000000LL) return false;
      magnitude = magnitude * 10 + (Peek() - '0');
      ++Position;
    }
    if (Position == first || (Text[first] == '0' && Position - first > 1)) return false;
    if (value != nullptr) *value = negative ? -magnitude : magnitude;
    return true;
  }

  bool String(std::string* out) {
    ++Position;
    for (;;) {
      if (Position >= Text.size()) return false;
      const unsigned char ch = static_cast<unsigned char>(Text[Position++]);
      if (ch == '"') return true;
      if (ch < 0x20) return false;
      if (ch != '\\') {
        if (out != nullptr) *out += static_cast<char>(ch);
        continue;
      }
      const char escape = Peek();
      ++Position;
      if (escape == 'u') {
        for (int i = 0; i < 4; ++i)
          if (!std::isxdigit(static_cast<unsigned char>(Peek())))
            return false;
          else
            ++Position;
      } else if (std::string_view("\"\\/bfnrt").find(escape) == std::string_view::npos) {
        return false;
      }
    }
  }
};

const std::vector<long long>* FindArray(const TJsonReader& reader, std::string_view key) {
  for (const auto& [name, numbers] : reader.Arrays)
    if (name == key) return &numbers;
  return nullptr;
}

bool BlankOrComment(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\n\v\f\r");
  return first == std::string::npos || text[first] == '#';
}

// Caps the depth of a well-formed `choose` line; every other line goes through unchanged.
std::string Tamed(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> tokens;
  for (std::string token; in >> token;)
    tokens.push_back(token);
  if (tokens.size() != 3 || tokens[0] != "choose") return text;
  errno = 0;
  char* end = nullptr;
  const long long depth = std::strtoll(tokens[2].c_str(), &end, 10);
  if (errno != 0 || end != tokens[2].c_str() + tokens[2].size() || depth <= MaxChooseDepth)
    return text;
  return "choose " + tokens[1] + " " + std::to_string(MaxChooseDepth);
}

TJsonReader ReadAnswer(const std::string& answer) {
  TJsonReader reader(answer);
  Check(reader.ReadDocument(), "an answer that is not one JSON object: " + answer);
  return reader;
}

// The position the shell shows must be the engine's and a replay of its stones.
void CheckShownPosition(TEngineShell& shell) {
  // `board` and `threats` show the position alone, so a position already checked is passed.
  static TGameBoard* checked = [] {
    TGameBoard* board = new TGameBoard;
    std::memset(board->Board, 0xff, sizeof board->Board);  // no position: the first is checked
    return board;
  }();
  if (std::memcmp(checked->Board, shell.Engine().Board, sizeof checked->Board) == 0 &&
      std::memcmp(&checked->Threat, &shell.Engine().Threat, sizeof checked->Threat) == 0)
    return;
  const TJsonReader board = ReadAnswer(shell.Execute("board"));
  const std::vector<long long>* cells = FindArray(board, "board");
  Check(cells != nullptr && cells->size() == 289, "board does not show 289 cells");
  uint8_t shown[17][17];
  for (size_t i = 0; i < 289; ++i) {
    Check(InRange(static_cast<int32_t>((*cells)[i]), 0, 3), "a cell code out of range");
    shown[i / 17][i % 17] = static_cast<uint8_t>((*cells)[i]);
  }
  CheckReplay(shown, shell.Engine());
  const TJsonReader threats = ReadAnswer(shell.Execute("threats"));
  const std::vector<long long>* levels = FindArray(threats, "threats");
  Check(levels != nullptr && levels->size() == 1800, "threats does not show 1800 levels");
  const int8_t* table = &shell.Engine().Threat.Levels[0][0][0][0];
  for (size_t i = 0; i < 1800; ++i)
    Check((*levels)[i] == table[i], "threats shows another table than the engine's");
  std::memcpy(checked->Board, shell.Engine().Board, sizeof checked->Board);
  checked->Threat = shell.Engine().Threat;
}

void CheckAnswer(const TInputLine& line, const std::string& answer) {
  if (!line.TooLong && BlankOrComment(line.Text)) {
    Check(answer.empty(), "a blank or comment line answered");
    return;
  }
  const TJsonReader reader = ReadAnswer(answer);
  static const std::vector<std::string> Keys = {"error", "ok",      "placed",
                                                "board", "threats", "column"};
  bool known = false;
  for (const std::string& key : Keys)
    known = known || reader.FirstKey == key;
  Check(known, "an answer of no known kind: " + answer);
  Check(!line.TooLong || reader.FirstKey == "error", "a long line not refused");
}

// An answer of `choose` without its count of searches, the one part the two searches differ in.
std::string WithoutNodes(const std::string& answer) {
  const size_t nodes = answer.find(",\"nodes\":");
  return nodes == std::string::npos ? answer : answer.substr(0, nodes);
}

// The same `choose` with the other search, which is then switched back.
void CheckOtherSearch(TEngineShell& shell, const TInputLine& line, const std::string& answer) {
  const bool fast = shell.Engine().UseFastSearch;
  shell.Execute(fast ? "search plain" : "search fast");
  const std::string other = shell.Execute(line, FuzzLineBytes);
  shell.Execute(fast ? "search fast" : "search plain");
  Check(WithoutNodes(other) == WithoutNodes(answer),
        "the plain and the fast search answer differently: " + answer + " and " + other);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  CatchStandardOutput();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<TInputLine> lines = SplitInput(data, size, TLineEnds::LineFeed, FuzzLineBytes);
  if (lines.size() > MaxLines) lines.resize(MaxLines);
  TEngineShell shell;
  int chooses = 0;
  for (TInputLine& line : lines) {
    line.Text = Tamed(line.Text);
    if (line.Text.find("choose") != std::string::npos && ++chooses > MaxChooses) break;
    uint8_t before[17][17];
    std::memcpy(before, shell.Engine().Board, sizeof before);
    const std::string answer = shell.Execute(line, FuzzLineBytes);
    CheckAnswer(line, answer);
    if (answer.rfind("{\"column\":", 0) == 0) CheckOtherSearch(shell, line, answer);
    if (answer.rfind("{\"error\":", 0) == 0)
      Check(std::memcmp(before, shell.Engine().Board, sizeof before) == 0,
            "an error changed the board");
    CheckShownPosition(shell);
  }
  CheckFullEvaluation(shell.Engine());
  CheckStandardOutputEmpty();
  return 0;
}
