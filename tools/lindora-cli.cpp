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
#include <iostream>
#include <string>

#include "ShellCommands.h"

int main() {
  std::ios::sync_with_stdio(false);
  TEngineShell shell;
  std::string line;
  while (std::getline(std::cin, line)) {
    std::string answer = shell.Execute(line);
    if (answer.empty()) continue;
    std::cout << answer << '\n' << std::flush;
  }
  return 0;
}
