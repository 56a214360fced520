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

std::string TEngineShell::Choose(const std::vector<std::string>&) {
  return Error("choose is not available yet");
}

std::string TEngineShell::MessagesAndPanels() const {
  std::string out = "\"messages\":[";
  for (size_t i = 0; i < Recorder.Messages.size(); ++i) {
    if (i > 0) out += ',';
    out += JsonString(Recorder.Messages[i]);
  }
  out += "],\"panels\":[";
  for (size_t i = 0; i < Recorder.Panels.size(); ++i) {
    if (i > 0) out += ',';
    out += "[" + std::to_string(Recorder.Panels[i].first) + "," +
           JsonString(Recorder.Panels[i].second) + "]";
  }
  return out + "]";
}
