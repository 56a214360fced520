// SPDX-License-Identifier: GPL-3.0-or-later
// lindora-cli: the engine shell. Reads one command a line from standard input and answers each
// with one line of JSON, so the engine can be scripted and tested without the window.
//
//   new                    {"ok":true}
//   place C R COLOUR       {"placed":B,"messages":[...],"panels":[[i,"text"],...]}
//   board                  {"board":[289 cell codes, column outer]}
//   threats                {"threats":[1800 levels, colour/column/row/direction]}
//   choose COLOUR DEPTH    {"column":C,"row":R,"panels":[...],"messages":[...],"nodes":N}
//
// Blank lines and lines starting with '#' are skipped; anything else that is not a command
// answers {"error":"..."} and changes nothing.
#include <unistd.h>

#include <iostream>
#include <string>

#include "ProgramOptions.h"
#include "ShellCommands.h"

namespace {

constexpr const char* Usage =
    "usage: lindora-cli [--help | --version]\n"
    "Lindora's engine shell: reads commands from standard input, one a line, and answers each\n"
    "with one line of JSON.\n"
    "  new                    an empty board\n"
    "  place C R COLOUR       places a stone (2 Black, 3 White) or, with 1, removes one\n"
    "  board                  the 17 x 17 cell codes\n"
    "  threats                the 1800 threat levels\n"
    "  choose COLOUR DEPTH    the computer's move for a colour\n"
    "  search plain|fast      the search the following choose commands use (default fast)\n"
    "Options:\n"
    "  --help     show this help and leave\n"
    "  --version  show the version and leave\n";

}  // namespace

int main(int argc, char** argv) {
  if (const int code = StandardOptions(argc, argv, "lindora-cli", LINDORA_VERSION, Usage);
      code >= 0)
    return code;
  std::ios::sync_with_stdio(false);
  TEngineShell shell;
  TLineSplitter splitter(TLineEnds::LineFeed);
  ReadLines(STDIN_FILENO, splitter, [&](const TInputLine& line) {
    std::string answer = shell.Execute(line, splitter.MaxLineBytes());
    if (!answer.empty()) std::cout << answer << '\n' << std::flush;
    return true;
  });
  return 0;
}
