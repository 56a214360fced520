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

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char ch : text) {
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
        if (ch < 0x20) {
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
  if (command == "board") {
    if (!args.empty()) return Error("board takes no arguments");
    return "{\"board\":" + JsonArray(&Board.Board[0][0], 289) + "}";
  }
  if (command == "threats") {
    if (!args.empty()) return Error("threats takes no arguments");
    return "{\"threats\":" + JsonArray(&Board.Threat.Levels[0][0][0][0], 1800) + "}";
  }
  return Error("unknown command: " + command);
}

std::string TEngineShell::Execute(const TInputLine& line, size_t maxLineBytes) {
  if (!line.TooLong) return Execute(line.Text);
  return Error("line longer than " + std::to_string(maxLineBytes) + " bytes; skipped");
}

std::string TEngineShell::Place(const std::vector<std::string>& args) {
  if (args.size() != 3) return Error("usage: place COLUMN ROW COLOUR");
  int32_t column = 0, row = 0, colour = 0;
  if (!ParseInt32(args[0], column)) return Error("column is not a 32-bit integer: " + args[0]);
  if (!ParseInt32(args[1], row)) return Error("row is not a 32-bit integer: " + args[1]);
  if (!ParseInt32(args[2], colour) || !InRange(colour, CellEmpty, CellWhite))
    return Error("colour must be 1 (remove), 2 (Black) or 3 (White): " + args[2]);
  const bool placed = Board.PlaceStone(column, row, static_cast<uint8_t>(colour));
  return std::string("{\"placed\":") + (placed ? "true" : "false") + "," + MessagesAndPanels() +
         "}";
}

std::string TEngineShell::Choose(const std::vector<std::string>& args) {
  if (args.size() != 2) return Error("usage: choose COLOUR DEPTH");
  int32_t colour = 0, depth = 0;
  if (!ParseInt32(args[0], colour) || !InRange(colour, CellBlack, CellWhite))
    return Error("colour must be 2 (Black) or 3 (White): " + args[0]);
  if (!ParseInt32(args[1], depth)) return Error("depth is not a 32-bit integer: " + args[1]);
  int32_t column = 0, row = 0;
  Board.ChooseMove(static_cast<uint8_t>(colour), column, row, depth);
  return "{\"column\":" + std::to_string(column) + ",\"row\":" + std::to_string(row) + "," +
         PanelsJson(Recorder) + "," + MessagesJson(Recorder) +
         ",\"nodes\":" + std::to_string(Board.ForcedWinCalls) + "}";
}

std::string TEngineShell::MessagesAndPanels() const {
  return MessagesJson(Recorder) + "," + PanelsJson(Recorder);
}
