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

#include "ShellCommands.h"

int main() {
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
