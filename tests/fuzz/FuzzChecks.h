// SPDX-License-Identifier: GPL-3.0-or-later
// Checks shared by the fuzz targets of the two line protocols: the engine's position against a
// fresh replay of its stones, and a guard that nothing reaches standard output behind the
// protocol's back. A failed check prints what failed and aborts, which libFuzzer reports.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "FullEvaluation.h"
#include "GameBoard.h"
#include "LineReader.h"

[[noreturn]] inline void Fail(std::string_view what) {
  std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

inline void Check(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

// The engine's board and threat table must be what a fresh engine makes of the stones in cells,
// which must be the engine's own cells. The fresh engine gets the stones all at once and scans
// each of its 88 lines once: on a crowded board far cheaper than placing stone after stone.
inline void CheckReplay(const uint8_t (&cells)[17][17], const TGameBoard& engine) {
  static TGameBoard* fresh = new TGameBoard;
  Check(std::memcmp(cells, engine.Board, sizeof engine.Board) == 0,
        "the stones shown differ from the engine's");
  // Most lines change nothing: a position equal to the last one replayed needs no replay.
  if (std::memcmp(fresh->Board, engine.Board, sizeof engine.Board) == 0 &&
      std::memcmp(&fresh->Threat, &engine.Threat, sizeof engine.Threat) == 0)
    return;
  fresh->Clear();
  for (int32_t column = 0; column <= BoardSize + 1; ++column) {
    for (int32_t row = 0; row <= BoardSize + 1; ++row) {
      const uint8_t cell = cells[column][row];
      const bool inner = InRange(column, 1, BoardSize) && InRange(row, 1, BoardSize);
      Check(inner ? InRange(cell, CellEmpty, CellWhite) : cell == CellBorder,
            "a cell code out of place");
      fresh->Board[column][row] = cell;
    }
  }
  for (int32_t i = 1; i <= BoardSize; ++i) {
    fresh->RescanLine(0, 1, i);          // rows
    fresh->RescanLine(2, i, 1);          // columns
    fresh->RescanLine(1, 1, i);          // down-right diagonals from the left edge
    fresh->RescanLine(1, i, 1);          // ... and from the top edge
    fresh->RescanLine(3, BoardSize, i);  // down-left diagonals from the right edge
    fresh->RescanLine(3, i, 1);          // ... and from the top edge
  }
  Check(std::memcmp(&fresh->Threat, &engine.Threat, sizeof engine.Threat) == 0,
        "the threat table differs from a replay of the stones");
}

// The threat table against the plain from-scratch evaluation; slower, so once an input.
inline void CheckFullEvaluation(const TGameBoard& engine) {
  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour)
    for (int32_t column = 1; column <= BoardSize; ++column)
      for (int32_t row = 1; row <= BoardSize; ++row)
        for (uint8_t direction = 0; direction < 4; ++direction)
          Check(engine.Threat.At(colour, column, row, direction) ==
                    FullLevel(engine, colour, column, row, direction),
                "the threat table differs from the full evaluation");
}

// Standard output goes to an unnamed file that must stay empty: the programs write their
// answers themselves, so anything there came from the engine or the protocol code.
inline void CatchStandardOutput() {
  std::FILE* sink = std::tmpfile();
  if (sink == nullptr || dup2(fileno(sink), STDOUT_FILENO) < 0) Fail("no file for stdout");
}

inline void CheckStandardOutputEmpty() {
  std::fflush(stdout);
  std::cout.flush();
  struct stat status {};
  Check(fstat(STDOUT_FILENO, &status) == 0 && status.st_size == 0,
        "something was written to standard output");
}

// The input's lines as the program reads them, with a small limit so that long lines are met
// often; byte by byte they must come out the same as all at once.
inline std::vector<TInputLine> SplitInput(const uint8_t* data, size_t size, TLineEnds ends,
                                          size_t maxLineBytes) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TLineSplitter whole(ends, maxLineBytes), piecewise(ends, maxLineBytes);
  std::vector<TInputLine> lines, again;
  whole.Feed(bytes, lines);
  whole.Finish(lines);
  for (size_t i = 0; i < size; ++i)
    piecewise.Feed(bytes.substr(i, 1), again);
  piecewise.Finish(again);
  Check(lines.size() == again.size(), "the line count depends on how the input is read");
  for (size_t i = 0; i < lines.size(); ++i) {
    Check(lines[i].Text == again[i].Text && lines[i].TooLong == again[i].TooLong,
          "a line depends on how the input is read");
    Check(lines[i].Text.size() <= maxLineBytes, "a line longer than the limit");
    Check(!lines[i].TooLong || lines[i].Text.empty(), "a long line kept its bytes");
    for (const char ch : lines[i].Text) {
      Check(ch != '\n', "a line feed inside a line");
      Check(ends == TLineEnds::LineFeed || ch != '\r', "a carriage return inside a line");
    }
  }
  return lines;
}
