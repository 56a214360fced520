// SPDX-License-Identifier: GPL-3.0-or-later
// The real pbrain-lindora through its pipes: a scripted session of every command with the three
// kinds of line end, and nothing on standard output but protocol lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MatchRunner.h"

namespace {

using match::TEngineProcess;

// "x,y" with both on the board, digits only.
bool IsMove(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos || text.find_first_not_of("0123456789,") != std::string::npos)
    return false;
  const std::string x = text.substr(0, comma), y = text.substr(comma + 1);
  if (x.empty() || y.empty() || x.size() > 2 || y.size() > 2) return false;
  return match::TMatchBoard::OnBoard(std::stoi(x), std::stoi(y));
}

// What a manager may read from an engine, and nothing else.
bool IsProtocolLine(const std::string& text) {
  for (const char* kind : {"ERROR ", "UNKNOWN ", "MESSAGE ", "DEBUG "}) {
    const std::string prefix = kind;
    if (text.rfind(prefix, 0) == 0) return text.size() > prefix.size();
  }
  return text == "OK" || IsMove(text) || text.rfind("name=\"Lindora\", ", 0) == 0;
}

// Far above any answer time; only guards the test against a hang.
constexpr int PatienceMs = 30000;

class BrainProgram : public ::testing::Test {
 protected:
  TEngineProcess Brain;
  std::vector<std::string> Shown;  // every line the program wrote

  void SetUp() override { ASSERT_TRUE(Brain.Launch({PBRAIN_PROGRAM, "--level", "normal"})); }

  // Sends the bytes and reads count answer lines.
  std::vector<std::string> Ask(const std::string& bytes, size_t count) {
    EXPECT_TRUE(Brain.SendRaw(bytes));
    std::vector<std::string> answers;
    std::string line;
    while (answers.size() < count &&
           Brain.ReadLine(line, PatienceMs) == TEngineProcess::TRead::Line) {
      Shown.push_back(line);
      answers.push_back(line);
    }
    EXPECT_EQ(answers.size(), count) << "after " << bytes;
    return answers;
  }
  std::string AskOne(const std::string& bytes) {
    const std::vector<std::string> answers = Ask(bytes, 1);
    return answers.empty() ? std::string() : answers[0];
  }
  // The answer to a move request, past the MESSAGE and DEBUG lines that may come first.
  std::string AskMove(const std::string& bytes) {
    EXPECT_TRUE(Brain.SendRaw(bytes));
    std::string line;
    match::TChatter texts;
    EXPECT_EQ(Brain.ReadAnswer(line, PatienceMs, &texts), TEngineProcess::TRead::Line);
    Shown.insert(Shown.end(), texts.Kept().begin(), texts.Kept().end());
    Shown.push_back(line);
    return line;
  }
};

TEST_F(BrainProgram, ScriptedSessionOfEveryCommand) {
  EXPECT_EQ(AskOne("START 15\r\n"), "OK");
  EXPECT_EQ(AskOne("START 19\r"), "ERROR Lindora plays on a 15 x 15 board only, not 19");
  EXPECT_EQ(AskOne("RECTSTART 15,15\n"), "OK");
  EXPECT_EQ(AskOne("RECTSTART 20,15\n"),
            "ERROR Lindora plays on a 15 x 15 board only, not 20 x 15");
  // INFO answers nothing, so the ABOUT after it is the next line.
  EXPECT_EQ(AskOne("INFO timeout_turn 1000\rINFO max_memory 0\r\nINFO rule 0\nabout\r"),
            "name=\"Lindora\", version=\"2.1\", author=\"The Lindora developers\", "
            "country=\"International\"");
  EXPECT_EQ(AskOne("INFO rule 4\n"),
            "MESSAGE Lindora plays freestyle only: five or more in a row wins");
  EXPECT_EQ(AskOne("BEGIN\r"), "7,7");
  EXPECT_TRUE(IsMove(AskMove("TURN 6,6\r\n")));
  EXPECT_EQ(AskOne("TURN 6,6\n"), "ERROR move 6,6 is on an occupied intersection");
  EXPECT_EQ(AskOne("TURN 15,15\n"),
            "ERROR move 15,15 is off the 15 x 15 board (x and y are 0..14)");
  EXPECT_EQ(AskOne("TURN six,six\n"), "ERROR TURN needs x,y, for example TURN 7,7");
  EXPECT_EQ(AskOne("TAKEBACK 6,6\r"), "OK");
  EXPECT_EQ(AskOne("TAKEBACK 6,6\r"), "ERROR no stone on 6,6 to take back");
  EXPECT_EQ(AskOne("SWAP2BOARD\n7,7\n8,8\nDONE\n"),
            "UNKNOWN command SWAP2BOARD: Lindora does not play swap2 openings");
  EXPECT_EQ(AskOne("RESTART\r\n"), "OK");

  // A listing split over several writes, CR line ends: own four on y = 0, the engine wins.
  EXPECT_TRUE(Brain.SendRaw("BOARD\r0,0,1\r1,0,1\r"));
  EXPECT_TRUE(Brain.SendRaw("2,0,1\r3,0,1\r0,5,2\r1,5,2\r2,5,2\r3,5,2\r"));
  EXPECT_EQ(Ask("DONE\r", 3),
            (std::vector<std::string>{"DEBUG I win!", "MESSAGE Black Win!", "4,0"}));
  EXPECT_EQ(AskOne("BOARD\n1,1,1\n1,1,2\n2,2,3\nDONE\n"),
            "ERROR BOARD refused, the position is as before: line 1,1,2 repeats an intersection");

  // END: the program leaves at once, and nothing follows its last answer.
  EXPECT_TRUE(Brain.SendRaw("END\r\nABOUT\r\n"));
  std::string line;
  EXPECT_EQ(Brain.ReadLine(line, PatienceMs), TEngineProcess::TRead::Closed) << line;

  for (const std::string& shown : Shown)
    EXPECT_TRUE(IsProtocolLine(shown)) << shown;
}

TEST_F(BrainProgram, ALineOfMegabytesAnswersErrorAndTheSessionGoesOn) {
  EXPECT_EQ(AskOne("START 15\n"), "OK");
  EXPECT_TRUE(Brain.SendRaw("TURN "));
  // Four megabytes without a line end: the error comes while the line is still arriving.
  const std::string endless(1 << 20, '9');
  EXPECT_TRUE(Brain.SendRaw(endless));
  EXPECT_EQ(AskOne(endless + endless + endless), "ERROR line longer than 65536 bytes; skipped");
  EXPECT_EQ(AskMove(",7\r\nBEGIN\n"), "7,7");
}

TEST_F(BrainProgram, EveryAnswerIsAnEmptyIntersection) {
  EXPECT_EQ(AskOne("START 15\n"), "OK");
  bool taken[15][15] = {};
  // The opponent takes the first free intersection in reading order, twenty times.
  for (int turn = 0; turn < 20; ++turn) {
    int x = 0, y = 0;
    while (taken[x][y]) {
      x = (x + 1) % 15;
      y += x == 0;
    }
    taken[x][y] = true;
    const std::string answer =
        AskMove("TURN " + std::to_string(x) + "," + std::to_string(y) + "\n");
    int ax = -1, ay = -1;
    ASSERT_EQ(std::sscanf(answer.c_str(), "%d,%d", &ax, &ay), 2) << answer;
    ASSERT_TRUE(match::TMatchBoard::OnBoard(ax, ay)) << answer;
    EXPECT_FALSE(taken[ax][ay]) << answer;
    taken[ax][ay] = true;
  }
}

}  // namespace
