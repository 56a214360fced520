// SPDX-License-Identifier: GPL-3.0-or-later
// pbrain-lindora: Lindora's computer player as an engine for Gomoku tournament managers and
// analysis boards. Reads one command a line from standard input (LF, CR LF or CR endings) and
// writes every answer at once; see BrainProtocol.h for the commands and colours.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BrainProtocol.h"
#include "ProgramOptions.h"

namespace {

// Writes the whole text or gives up when the manager has gone away.
bool WriteAll(const std::string& text) {
  size_t written = 0;
  while (written < text.size()) {
    const ssize_t count = write(STDOUT_FILENO, text.data() + written, text.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    written += static_cast<size_t>(count);
  }
  return true;
}

// Answers one line; false once END has been read or the output is gone.
bool Answer(TBrainProtocol& brain, const TInputLine& line, size_t maxLineBytes) {
  std::string out;
  for (const std::string& answer : brain.Execute(line, maxLineBytes))
    out += answer + "\n";
  if (brain.Ended()) return false;
  return out.empty() || WriteAll(out);
}

constexpr const char* Usage =
    "usage: pbrain-lindora [--level NAME | --help | --version]\n"
    "Lindora's computer player for Gomoku tournament managers and analysis boards. Started\n"
    "without arguments it reads protocol commands (START, BEGIN, TURN, BOARD, INFO, END, ...)\n"
    "from standard input, one a line, and writes its answers to standard output.\n"
    "  --level NAME  beginner, easy, normal, hard or expert (default expert); hard and expert\n"
    "                think within the manager's timeout_turn, timeout_match and time_left\n"
    "  --help        show this help and leave\n"
    "  --version     show the version and leave\n";

}  // namespace

int main(int argc, char** argv) {
  // A manager starts the program without arguments; the options are for a person.
  // A tournament engine plays its best and uses its time.
  TLevel level = TLevel::Expert;
  if (argc == 3 && std::strcmp(argv[1], "--level") == 0) {
    if (!LevelOfName(argv[2], level)) {
      std::fprintf(stderr, "pbrain-lindora: no level %s\n%s", argv[2], Usage);
      return 2;
    }
    argc = 1;
  }
  if (const int code = StandardOptions(argc, argv, "pbrain-lindora", LINDORA_VERSION, Usage);
      code >= 0)
    return code;
  // Standard output carries the protocol alone, written straight to the descriptor without a
  // buffer, so every answer leaves at once.
  TBrainProtocol brain;
  brain.SetLevel(level);
  TLineSplitter splitter;
  ReadLines(STDIN_FILENO, splitter,
            [&](const TInputLine& line) { return Answer(brain, line, splitter.MaxLineBytes()); });
  return 0;
}
