// SPDX-License-Identifier: GPL-3.0-or-later
// The engine shell: answers, JSON escaping and refusal of bad input.
#include <gtest/gtest.h>

#include <algorithm>

#include "ShellCommands.h"

namespace {

TEST(EngineShell, PlaceReportsResultMessagesAndPanels) {
  TEngineShell shell;
  EXPECT_EQ(shell.Execute("new"), "{\"ok\":true}");
  EXPECT_EQ(shell.Execute("place 8 8 2"), "{\"placed\":true,\"messages\":[],\"panels\":[]}");
  EXPECT_EQ(shell.Execute("  place 8   8 3 "),
            "{\"placed\":false,\"messages\":[\" Set Wrong!\"],\"panels\":[]}");
  for (int column : {4, 5, 6})
    shell.Execute("place " + std::to_string(column) + " 8 2");
  EXPECT_EQ(shell.Execute("place 7 8 2"),
            "{\"placed\":true,\"messages\":[\"Black Win!\"],\"panels\":[]}");
  EXPECT_EQ(shell.Execute("place -2147483648 2147483647 3"),
            "{\"placed\":false,\"messages\":[\" Set Wrong!\"],\"panels\":[]}");
}

TEST(EngineShell, BoardAndThreatsInMemoryOrder) {
  TEngineShell shell;
  shell.Execute("place 1 2 3");
  const std::string board = shell.Execute("board");
  // Column 0 is 17 border cells, then column 1 starts with its border cell and row 1 empty.
  EXPECT_EQ(board.substr(0, 9 + 2 * 17 + 6), "{\"board\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,3");
  const std::string threats = shell.Execute("threats");
  EXPECT_EQ(std::count(threats.begin(), threats.end(), ','), 1799);
}

TEST(EngineShell, BadInputAnswersErrorAndChangesNothing) {
  TEngineShell shell;
  shell.Execute("place 8 8 2");
  const std::string before = shell.Execute("board");
  for (const char* line : {"plac 8 8 2", "place 8 8", "place 8 8 2 2", "place 8 x 2", "place 8 8 4",
                           "place 8 8 0", "place 99999999999 8 2", "place 8 8 2.0", "new now",
                           "board 1", "PLACE 8 9 2", "place \"q\\ 8 2", "level", "level master",
                           "level hard nodes=0", "level hard ms=x", "level easy speed=3"}) {
    const std::string answer = shell.Execute(line);
    EXPECT_EQ(answer.rfind("{\"error\":\"", 0), 0u) << line << " -> " << answer;
  }
  EXPECT_EQ(shell.Execute("board"), before);
  EXPECT_EQ(shell.Execute(""), "");
  EXPECT_EQ(shell.Execute("   # a comment"), "");
  EXPECT_EQ(JsonString("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\n\\u0001\"");
  // Echoed input is cut after 40 bytes: a line of 64 KiB of junk, control bytes that escape to
  // six characters each among them, gets a short answer.
  EXPECT_EQ(shell.Execute(std::string(65536, 'x')),
            "{\"error\":\"unknown command: " + std::string(40, 'x') + "...\"}");
  EXPECT_LT(shell.Execute("place " + std::string(60000, '\x01') + " 8 2").size(), 320u);
}

// choose answers at the level set: the design's answer at Normal, as a shell that was never told
// a level gives it, and a repeatable one under a node budget.
TEST(EngineShell, ChooseAnswersAtTheLevelSet) {
  TEngineShell shell, design;
  for (TEngineShell* each : {&shell, &design})
    for (const char* stone : {"place 8 8 2", "place 9 9 3", "place 8 9 2"})
      each->Execute(stone);
  EXPECT_EQ(shell.Execute("level Expert nodes=100"), "{\"level\":\"Expert\"}");
  const std::string expert = shell.Execute("choose 3 16");
  EXPECT_NE(expert.find(",\"depth\":"), std::string::npos) << expert;
  EXPECT_EQ(shell.Execute("choose 3 16"), expert);
  EXPECT_EQ(shell.Execute("level normal"), "{\"level\":\"Normal\"}");
  EXPECT_EQ(shell.Execute("choose 3 16"), design.Execute("choose 3 16"));
}

TEST(EngineShell, EchoedInputKeepsTheAnswerValidUtf8) {
  TEngineShell shell;
  // A stray byte above 0x7f in an echoed token once went out raw and made the JSON undecodable.
  EXPECT_EQ(shell.Execute("place 5\xff\xff 8 2"),
            "{\"error\":\"column is not a 32-bit integer: 5\\ufffd\\ufffd\"}");
  // Well-formed sequences pass as they are; broken, overlong, surrogate and cut-off ones do not.
  EXPECT_EQ(JsonString("\xc3\xa9\xe2\x82\xac\xf0\x9f\x99\x82"),
            "\"\xc3\xa9\xe2\x82\xac\xf0\x9f\x99\x82\"");
  EXPECT_EQ(JsonString("\xc3("), "\"\\ufffd(\"");
  EXPECT_EQ(JsonString("\xc0\xaf"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\xf4\x90\x80\x80"), "\"\\ufffd\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\xe2\x82"), "\"\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonString("\x7f"), "\"\\u007f\"");
}

}  // namespace
