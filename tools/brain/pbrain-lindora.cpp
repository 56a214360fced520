// pbrain-lindora: Lindora's computer player as an engine for Gomoku tournament managers and
// analysis boards. Reads one command a line from standard input (LF, CR LF or CR endings) and
// writes every answer at once; see BrainProtocol.h for the commands and colours.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "BrainProtocol.h"

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

// Answers the lines in order; false once END has been read or the output is gone.
bool Answer(TBrainProtocol& brain, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    std::string out;
    for (const std::string& answer : brain.Execute(line))
      out += answer + "\n";
    if (brain.Ended()) return false;
    if (!out.empty() && !WriteAll(out)) return false;
  }
  return true;
}

}  // namespace

int main() {
  // Standard output carries the protocol alone, written straight to the descriptor without a
  // buffer, so every answer leaves at once.
  TBrainProtocol brain;
  TLineSplitter splitter;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    std::vector<std::string> lines;
    if (count <= 0) {
      splitter.Finish(lines);
      Answer(brain, lines);
      return 0;
    }
    splitter.Feed(std::string_view(buffer, static_cast<size_t>(count)), lines);
    if (!Answer(brain, lines)) return 0;
  }
}
