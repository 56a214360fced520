// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShellCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace {

std::vector<std::string> Tokens(std::string_view line) {
  std::vector<std::string> tokens;
  std::istringstream in{std::string(line)};
  for (std::string token; in >> token;)
    tokens.push_back(token);
  return tokens;
}

// A whole token in decimal that fits a signed 32-bit integer.
bool ParseInt32(const std::string& token, int32_t& value) {
  if (token.empty()) return false;
  errno = 0;
  char* end = nullptr;
  long long parsed = std::strtoll(token.c_str(), &end, 10);
  if (errno != 0 || end != token.c_str() + token.size()) return false;
  if (parsed < std::numeric_limits<int32_t>::min() || parsed > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

std::string Error(std::string_view reason) {
  return "{\"error\":" + JsonString(reason) + "}";
}

// Refused input as an error quotes it: cut after 40 bytes, with "..." where it was cut, so that
// a long line of junk gets a short answer.
std::string Echo(std::string_view input) {
  constexpr size_t MaxEchoBytes = 40;
  if (input.size() <= MaxEchoBytes) return std::string(input);
  return std::string(input.substr(0, MaxEchoBytes)) + "...";
}

template <typename T>
std::string JsonArray(const T* values, size_t count) {
  std::string out = "[";
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += std::to_string(static_cast<int>(values[i]));
  }
  return out + "]";
}

std::string MessagesJson(const TRecordingReporter& recorder) {
  std::string out = "\"messages\":[";
  for (size_t i = 0; i < recorder.Messages.size(); ++i) {
    if (i > 0) out += ',';
    out += JsonString(recorder.Messages[i]);
  }
  return out + "]";
}

std::string PanelsJson(const TRecordingReporter& recorder) {
  std::string out = "\"panels\":[";
  for (size_t i = 0; i < recorder.Panels.size(); ++i) {
    if (i > 0) out += ',';
    out += "[" + std::to_string(recorder.Panels[i].first) + "," +
           JsonString(recorder.Panels[i].second) + "]";
  }
  return out + "]";
}

// The length of the well-formed UTF-8 sequence at the start of text, 0 when there is none.
size_t Utf8SequenceLength(std::string_view text) {
  const unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xbf;  // the second byte's range
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;   // no overlong forms
    if (lead == 0xed) high = 0x9f;  // no surrogates
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;  // nothing above U+10FFFF
  }
  if (length == 0 || text.size() < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[i]);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xbf)) return 0;
  }
  return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char ch = static_cast<unsigned char>(text[i]);
    if (ch >= 0x80) {
      // JSON is UTF-8: a byte outside a well-formed sequence becomes U+FFFD, so an echoed bad
      // input never makes the whole answer unreadable.
      const size_t length = Utf8SequenceLength(text.substr(i));
      if (length == 0) {
        out += "\\ufffd";
      } else {
        out += text.substr(i, length);
        i += length - 1;
      }
      continue;
    }
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (ch < 0x20 || ch == 0x7f) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", ch);
          out += escape;
        } else {
          out += static_cast<char>(ch);
        }
    }
  }
  return out + "\"";
}

TEngineShell::TEngineShell() {
  Board.SetReporter(&Recorder);
}

std::string TEngineShell::Execute(std::string_view line) {
  std::vector<std::string> tokens = Tokens(line);
  if (tokens.empty() || tokens[0][0] == '#') return "";
  const std::string command = tokens[0];
  const std::vector<std::string> args(tokens.begin() + 1, tokens.end());
  Recorder.Reset();

  if (command == "new") {
    if (!args.empty()) return Error("new takes no arguments");
    Board.Clear();
    return "{\"ok\":true}";
  }
  if (command == "place") return Place(args);
  if (command == "choose") return Choose(args);
  if (command == "search") return Search(args);
  if (command == "level") return SetLevel(args);
  if (command == "board") {
    if (!args.empty()) return Error("board takes no arguments");
    return "{\"board\":" + JsonArray(&Board.Board[0][0], 289) + "}";
  }
  if (command == "threats") {
    if (!args.empty()) return Error("threats takes no arguments");
    return "{\"threats\":" + JsonArray(&Board.Threat.Levels[0][0][0][0], 1800) + "}";
  }
  return Error("unknown command: " + Echo(command));
}

std::string TEngineShell::Execute(const TInputLine& line, size_t maxLineBytes) {
  if (!line.TooLong) return Execute(line.Text);
  return Error("line longer than " + std::to_string(maxLineBytes) + " bytes; skipped");
}

std::string TEngineShell::Place(const std::vector<std::string>& args) {
  if (args.size() != 3) return Error("usage: place COLUMN ROW COLOUR");
  int32_t column = 0, row = 0, colour = 0;
  if (!ParseInt32(args[0], column))
    return Error("column is not a 32-bit integer: " + Echo(args[0]));
  if (!ParseInt32(args[1], row)) return Error("row is not a 32-bit integer: " + Echo(args[1]));
  if (!ParseInt32(args[2], colour) || !InRange(colour, CellEmpty, CellWhite))
    return Error("colour must be 1 (remove), 2 (Black) or 3 (White): " + Echo(args[2]));
  const bool placed = Board.PlaceStone(column, row, static_cast<uint8_t>(colour));
  return std::string("{\"placed\":") + (placed ? "true" : "false") + "," + MessagesAndPanels() +
         "}";
}

std::string TEngineShell::Choose(const std::vector<std::string>& args) {
  if (args.size() != 2) return Error("usage: choose COLOUR DEPTH");
  int32_t colour = 0, depth = 0;
  if (!ParseInt32(args[0], colour) || !InRange(colour, CellBlack, CellWhite))
    return Error("colour must be 2 (Black) or 3 (White): " + Echo(args[0]));
  if (!ParseInt32(args[1], depth)) return Error("depth is not a 32-bit integer: " + Echo(args[1]));
  int32_t column = 0, row = 0;
  if (Level == TLevel::Normal) {
    Board.ChooseMove(static_cast<uint8_t>(colour), column, row, depth);
  } else {
    // A budget of nodes or depth repeats only from an empty table.
    if (Limits.Nodes > 0 || Limits.Depth > 0) Player->ClearTable();
    Player->Choose(Board, Level, static_cast<uint8_t>(colour), column, row, Limits);
  }
  std::string answer = "{\"column\":" + std::to_string(column) + ",\"row\":" + std::to_string(row) +
                       "," + PanelsJson(Recorder) + "," + MessagesJson(Recorder) +
                       ",\"nodes\":" + std::to_string(Board.ForcedWinCalls);
  if (Level == TLevel::Hard || Level == TLevel::Expert)
    answer += ",\"depth\":" + std::to_string(Player->LastThought().Depth) +
              ",\"positions\":" + std::to_string(Player->LastThought().Nodes);
  return answer + "}";
}

// "level NAME" with, for Hard and Expert, the budget of their thought: "ms=N" (500 for Hard and
// 3000 for Expert unless given), "nodes=N" or "depth=N", which make a thought repeatable.
std::string TEngineShell::SetLevel(const std::vector<std::string>& args) {
  TLevel level;
  if (args.empty() || !LevelOfName(args[0], level))
    return Error("usage: level beginner|easy|normal|hard|expert [ms=N] [nodes=N] [depth=N]");
  TThinkLimits limits;
  limits.Microseconds = level == TLevel::Expert ? 3000000 : 500000;
  for (size_t index = 1; index < args.size(); ++index) {
    const std::string& arg = args[index];
    const size_t equals = arg.find('=');
    int32_t value = 0;
    const std::string key = arg.substr(0, equals);
    if (equals == std::string::npos || !ParseInt32(arg.substr(equals + 1), value) || value < 1 ||
        (key != "ms" && key != "nodes" && key != "depth"))
      return Error("a budget is ms=N, nodes=N or depth=N with N from 1: " + Echo(arg));
    if (key == "ms") limits.Microseconds = int64_t{value} * 1000;
    if (key == "nodes") limits.Nodes = static_cast<uint64_t>(value);
    if (key == "depth") limits.Depth = value;
  }
  // A node or depth budget alone is meant to repeat: no clock then.
  if (limits.Nodes > 0 || limits.Depth > 0) {
    bool timed = false;
    for (size_t index = 1; index < args.size(); ++index)
      timed = timed || args[index].rfind("ms=", 0) == 0;
    if (!timed) limits.Microseconds = 0;
  }
  Level = level;
  Limits = limits;
  if (level != TLevel::Normal && Player == nullptr) Player = std::make_unique<TLevelPlayer>();
  if (Player != nullptr) Player->ClearTable();
  return std::string("{\"level\":") + JsonString(LevelName(level)) + "}";
}

// The plain search walks the decision literally and is the reference; the fast one is the game's.
std::string TEngineShell::Search(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0] != "plain" && args[0] != "fast"))
    return Error("usage: search plain|fast");
  Board.UseFastSearch = args[0] == "fast";
  return "{\"ok\":true}";
}

std::string TEngineShell::MessagesAndPanels() const {
  return MessagesJson(Recorder) + "," + PanelsJson(Recorder);
}
