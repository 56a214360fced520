// SPDX-License-Identifier: GPL-3.0-or-later
// Reading commands one line at a time from another program, shared by lindora-cli and
// pbrain-lindora. Memory stays bounded: a line that runs past the limit is handed out once as
// too long, the moment it passes the limit, and the rest of it is dropped up to its line end.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One line as read: its text without the line end, or a line that ran past the limit.
struct TInputLine {
  std::string Text;
  bool TooLong = false;  // Text is then empty: the line's bytes were dropped
};

// Which bytes end a line: LF alone (a CR stays part of the line), or LF, CR LF and CR alone.
enum class TLineEnds { LineFeed, AnyEnd };

// Cuts a byte stream into lines. Every line is handed out as soon as its end arrives, so a
// program that ends its lines with CR alone is answered at once.
class TLineSplitter {
 public:
  static constexpr size_t DefaultMaxBytes = 64 * 1024;

  explicit TLineSplitter(TLineEnds ends = TLineEnds::AnyEnd, size_t maxBytes = DefaultMaxBytes)
      : Ends(ends), MaxBytes(maxBytes) {}

  size_t MaxLineBytes() const { return MaxBytes; }

  // Appends the lines completed by these bytes to lines.
  void Feed(std::string_view bytes, std::vector<TInputLine>& lines);
  // At the end of input: the last line when it had no line end.
  void Finish(std::vector<TInputLine>& lines);

 private:
  TLineEnds Ends;
  size_t MaxBytes;
  std::string Pending;
  bool AfterCarriageReturn = false;
  bool Skipping = false;  // inside a line already handed out as too long

  void EndLine(std::vector<TInputLine>& lines);
};

// Reads the descriptor to its end, handing every line to handle as it completes; stops early
// when handle answers false.
void ReadLines(int descriptor, TLineSplitter& splitter,
               const std::function<bool(const TInputLine&)>& handle);
