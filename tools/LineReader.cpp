// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineReader.h"

#include <unistd.h>

#include <cerrno>

void TLineSplitter::Feed(std::string_view bytes, std::vector<TInputLine>& lines) {
  for (const char ch : bytes) {
    const bool lineFeedOfPair = AfterCarriageReturn && ch == '\n';
    AfterCarriageReturn = Ends == TLineEnds::AnyEnd && ch == '\r';
    if (lineFeedOfPair) continue;
    if (ch == '\n' || AfterCarriageReturn) {
      EndLine(lines);
    } else if (Skipping) {
      continue;
    } else if (Pending.size() < MaxBytes) {
      Pending += ch;
    } else {
      // Told at once, so a sender of endless bytes hears of it without waiting for a line end.
      std::string().swap(Pending);
      Skipping = true;
      lines.push_back(TInputLine{std::string(), true});
    }
  }
}

void TLineSplitter::Finish(std::vector<TInputLine>& lines) {
  if (!Pending.empty()) lines.push_back(TInputLine{std::move(Pending), false});
  Pending.clear();
  Skipping = false;
  AfterCarriageReturn = false;
}

void TLineSplitter::EndLine(std::vector<TInputLine>& lines) {
  if (!Skipping) lines.push_back(TInputLine{std::move(Pending), false});
  Pending.clear();
  Skipping = false;
}

void ReadLines(int descriptor, TLineSplitter& splitter,
               const std::function<bool(const TInputLine&)>& handle) {
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    std::vector<TInputLine> lines;
    if (count <= 0)
      splitter.Finish(lines);
    else
      splitter.Feed(std::string_view(buffer, static_cast<size_t>(count)), lines);
    for (const TInputLine& line : lines)
      if (!handle(line)) return;
    if (count <= 0) return;
  }
}
