// SPDX-License-Identifier: GPL-3.0-or-later
// The bounded line reader of lindora-cli and pbrain-lindora: the line ends of each program, and
// lines that run past the limit, which are reported once and dropped without holding memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "BrainProtocol.h"
#include "ShellCommands.h"

namespace {

using Lines = std::vector<std::string>;

// The texts of the lines, "<too long>" for a line past the limit.
Lines Texts(const std::vector<TInputLine>& lines) {
  Lines texts;
  for (const TInputLine& line : lines)
    texts.push_back(line.TooLong ? "<too long>" : line.Text);
  return texts;
}

TEST(LineSplitter, EndsLinesAtLfCrLfAndCrAlone) {
  TLineSplitter splitter;
  std::vector<TInputLine> lines;
  splitter.Feed("START 15\r\nBEGIN\rTURN 1,2\nAB", lines);
  EXPECT_EQ(Texts(lines), (Lines{"START 15", "BEGIN", "TURN 1,2"}));
  // A CR LF pair split across two reads is one line end, and a line waits for its end.
  lines.clear();
  splitter.Feed("OUT\r", lines);
  splitter.Feed("\nEND", lines);
  EXPECT_EQ(Texts(lines), (Lines{"ABOUT"}));
  lines.clear();
  splitter.Feed("\n\n", lines);
  EXPECT_EQ(Texts(lines), (Lines{"END", ""}));
  lines.clear();
  splitter.Feed("DONE", lines);
  splitter.Finish(lines);
  EXPECT_EQ(Texts(lines), (Lines{"DONE"}));
}

TEST(LineSplitter, LineFeedModeKeepsCarriageReturnsAndNulBytes) {
  TLineSplitter splitter(TLineEnds::LineFeed);
  std::vector<TInputLine> lines;
  splitter.Feed(std::string("new\rboard\r\nplace\0 8\n", 20), lines);
  splitter.Finish(lines);
  EXPECT_EQ(Texts(lines), (Lines{"new\rboard\r", std::string("place\0 8", 8)}));
}

TEST(LineSplitter, ALinePastTheLimitIsReportedOnceAndDroppedToItsEnd) {
  TLineSplitter splitter(TLineEnds::AnyEnd, 8);
  std::vector<TInputLine> lines;
  splitter.Feed("12345678\n123456789", lines);
  // Reported as soon as the ninth byte arrives, not at the line end that may never come.
  EXPECT_EQ(Texts(lines), (Lines{"12345678", "<too long>"}));
  lines.clear();
  for (int chunk = 0; chunk < 1000; ++chunk)
    splitter.Feed(std::string(4096, 'x'), lines);
  EXPECT_TRUE(lines.empty());
  splitter.Feed("still the long line\r\nBEGIN\n", lines);
  splitter.Feed("abcdefghijk", lines);
  splitter.Finish(lines);
  EXPECT_EQ(Texts(lines), (Lines{"BEGIN", "<too long>"}));
  // After the end of input a new stream starts clean.
  lines.clear();
  splitter.Feed("END", lines);
  splitter.Finish(lines);
  EXPECT_EQ(Texts(lines), (Lines{"END"}));
}

TEST(LineSplitter, ReadLinesGoesOnAfterMegabytesWithoutALineEnd) {
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  std::thread writer([&] {
    const std::string endless(1 << 20, '7');
    for (int megabyte = 0; megabyte < 4; ++megabyte)
      EXPECT_EQ(write(pipeEnds[1], endless.data(), endless.size()),
                static_cast<ssize_t>(endless.size()));
    const std::string tail = "\nABOUT\nEND\nlast";
    EXPECT_EQ(write(pipeEnds[1], tail.data(), tail.size()), static_cast<ssize_t>(tail.size()));
    close(pipeEnds[1]);
  });
  TLineSplitter splitter;
  std::vector<TInputLine> seen;
  ReadLines(pipeEnds[0], splitter, [&](const TInputLine& line) {
    seen.push_back(line);
    return line.Text != "END";
  });
  writer.join();
  close(pipeEnds[0]);
  EXPECT_EQ(Texts(seen), (Lines{"<too long>", "ABOUT", "END"}));
}

TEST(LineSplitter, BothProtocolsAnswerALongLineWithAnError) {
  const TInputLine tooLong{std::string(), true};
  TEngineShell shell;
  EXPECT_EQ(shell.Execute(tooLong, 65536), "{\"error\":\"line longer than 65536 bytes; skipped\"}");
  TBrainProtocol brain;
  EXPECT_EQ(brain.Execute(tooLong, 65536), Lines{"ERROR line longer than 65536 bytes; skipped"});
  // Inside a BOARD listing the long line spoils the listing like any other bad line, which is
  // answered once, at DONE.
  brain.Execute("BOARD");
  brain.Execute("7,7,1");
  EXPECT_EQ(brain.Execute(tooLong, 65536), Lines{});
  EXPECT_EQ(brain.Execute("DONE"), Lines{"ERROR BOARD refused, the position is as before: a line "
                                         "longer than 65536 bytes"});
  EXPECT_EQ(brain.Engine().CellAt(8, 8), CellEmpty);
}

}  // namespace
