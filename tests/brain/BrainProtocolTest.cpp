// SPDX-License-Identifier: GPL-3.0-or-later
// The engine protocol in-process: every command, its answers, the colours the engine takes, and
// bad input that is refused without touching the position.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "BrainProtocol.h"

namespace {

using Lines = std::vector<std::string>;

// Board and threat table together: what a refused command must leave alone.
std::string Snapshot(const TGameBoard& engine) {
  std::string bytes(reinterpret_cast<const char*>(&engine.Board[0][0]), sizeof engine.Board);
  bytes.append(reinterpret_cast<const char*>(&engine.Threat), sizeof engine.Threat);
  return bytes;
}

int StoneCount(const TGameBoard& engine) {
  int count = 0;
  for (int32_t column = 1; column <= BoardSize; ++column)
    for (int32_t row = 1; row <= BoardSize; ++row)
      count += engine.CellAt(column, row) != CellEmpty;
  return count;
}

// The last answer line as a move; fails the test unless it is one on an intersection of colour.
void ExpectMoveOf(const TBrainProtocol& brain, const Lines& answer, uint8_t colour) {
  ASSERT_FALSE(answer.empty());
  int x = -1, y = -1;
  char tail = 0;
  ASSERT_EQ(std::sscanf(answer.back().c_str(), "%d,%d%c", &x, &y, &tail), 2) << answer.back();
  EXPECT_EQ(brain.Engine().CellAt(x + 1, y + 1), colour) << answer.back();
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// Stones whose every five-cell window holds both colours: no intersection, empty or not, has a
// threat level for either colour, and nobody has five.
uint8_t LevelFreeColour(int32_t x, int32_t y) {
  return (x / 2 + y) % 2 == 0 ? 1 : 2;
}

TEST(BrainSession, StartRectStartRestartAboutAndEnd) {
  TBrainProtocol brain;
  EXPECT_EQ(brain.Execute("START 15"), Lines{"OK"});
  EXPECT_EQ(brain.Execute("start   15 "), Lines{"OK"});
  EXPECT_EQ(brain.Execute("RECTSTART 15,15"), Lines{"OK"});
  EXPECT_EQ(brain.Execute("BEGIN"), Lines{"7,7"});
  const std::string before = Snapshot(brain.Engine());
  for (const char* bad : {"START 20", "START", "START 15x", "START fifteen", "RECTSTART 15,20",
                          "RECTSTART 20,15", "RECTSTART 15", "RECTSTART 15,15,15", "RECTSTART"}) {
    const Lines answer = brain.Execute(bad);
    ASSERT_EQ(answer.size(), 1u) << bad;
    EXPECT_TRUE(StartsWith(answer[0], "ERROR ")) << bad << " -> " << answer[0];
  }
  EXPECT_EQ(brain.Execute("START 20"),
            Lines{"ERROR Lindora plays on a 15 x 15 board only, not 20"});
  EXPECT_EQ(Snapshot(brain.Engine()), before) << "a refused size must keep the game";

  EXPECT_EQ(brain.Execute("ABOUT"),
            Lines{"name=\"Lindora\", version=\"2.1\", author=\"The Lindora developers\", "
                  "country=\"International\""});
  EXPECT_EQ(brain.Execute("restart"), Lines{"OK"});
  EXPECT_EQ(StoneCount(brain.Engine()), 0);
  EXPECT_EQ(brain.OwnColour(), CellEmpty);

  EXPECT_EQ(brain.Execute("FROB 1,2"), Lines{"UNKNOWN command FROB"});
  EXPECT_EQ(brain.Execute("   "), Lines{});
  EXPECT_EQ(brain.Execute("End"), Lines{});
  EXPECT_TRUE(brain.Ended());
  EXPECT_EQ(brain.Execute("ABOUT"), Lines{}) << "nothing is answered after END";
}

TEST(BrainSession, BeginOpensOnTheCentreAsBlack) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  EXPECT_EQ(brain.Execute("BEGIN"), Lines{"7,7"});
  EXPECT_EQ(brain.Engine().CellAt(8, 8), CellBlack);
  EXPECT_EQ(brain.OwnColour(), CellBlack);
  // The opponent (White) answers; the engine stays Black.
  const Lines answer = brain.Execute("TURN 8,7");
  EXPECT_EQ(brain.Engine().CellAt(9, 8), CellWhite);
  ExpectMoveOf(brain, answer, CellBlack);
  EXPECT_EQ(StoneCount(brain.Engine()), 3);

  const std::string before = Snapshot(brain.Engine());
  EXPECT_EQ(brain.Execute("BEGIN"), Lines{"ERROR BEGIN needs an empty board; send RESTART first"});
  EXPECT_TRUE(StartsWith(brain.Execute("BEGIN now")[0], "ERROR "));
  EXPECT_EQ(Snapshot(brain.Engine()), before);
}

TEST(BrainSession, TurnMapsCoordinatesAndTheEngineTakesWhite) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  // x runs along the width (Lindora's column), y along the height (its row), both from 0.
  const Lines answer = brain.Execute("TURN 0,14");
  EXPECT_EQ(brain.Engine().CellAt(1, 15), CellBlack);
  EXPECT_EQ(brain.OwnColour(), CellWhite);
  ExpectMoveOf(brain, answer, CellWhite);
  EXPECT_EQ(StoneCount(brain.Engine()), 2);
  ExpectMoveOf(brain, brain.Execute("turn 14,0"), CellWhite);
  EXPECT_EQ(brain.Engine().CellAt(15, 1), CellBlack);
}

TEST(BrainSession, BadTurnsAnswerErrorAndChangeNothing) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("TURN 3,4");
  const std::string before = Snapshot(brain.Engine());
  EXPECT_EQ(brain.Execute("TURN 3,4"), Lines{"ERROR move 3,4 is on an occupied intersection"});
  for (const char* bad :
       {"TURN -1,0", "TURN 15,0", "TURN 0,15", "TURN", "TURN 7", "TURN 7,7,7", "TURN a,b",
        "TURN 7;7", "TURN 7,", "TURN ,7", "TURN 99999999999,1", "TURN 7.0,7"}) {
    const Lines answer = brain.Execute(bad);
    ASSERT_EQ(answer.size(), 1u) << bad;
    EXPECT_TRUE(StartsWith(answer[0], "ERROR ")) << bad << " -> " << answer[0];
  }
  EXPECT_EQ(Snapshot(brain.Engine()), before);
  // Blanks around the numbers are no fault.
  ExpectMoveOf(brain, brain.Execute("TURN 10 , 11"), brain.OwnColour());
  EXPECT_EQ(brain.Engine().CellAt(11, 12), Opponent(brain.OwnColour()));
}

TEST(BrainSession, CompletesItsOwnFiveAndShowsTheEngineTexts) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  // Own four on y = 3 (x 2..5), the opponent's four on y = 9: the engine finishes its own.
  for (const char* line :
       {"BOARD", "2,3,1", "3,3,1", "4,3,1", "5,3,1", "2,9,2", "3,9,2", "4,9,2", "5,9,2"})
    EXPECT_EQ(brain.Execute(line), Lines{});
  EXPECT_TRUE(brain.ReadingBoard());
  const Lines answer = brain.Execute("DONE");
  EXPECT_FALSE(brain.ReadingBoard());
  // Equal counts: the engine is Black. Its verdict and the board's win announcement come as
  // DEBUG and MESSAGE lines, in the order shown, ahead of the move.
  EXPECT_EQ(brain.OwnColour(), CellBlack);
  ASSERT_EQ(answer.size(), 3u);
  EXPECT_EQ(answer[0], "DEBUG I win!");
  EXPECT_EQ(answer[1], "MESSAGE Black Win!");
  EXPECT_TRUE(answer[2] == "1,3" || answer[2] == "6,3") << answer[2];
}

TEST(BrainSession, BlocksTheOpponentsFive) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  // Fewer own stones than the opponent's: the engine is White and must block at 6,6.
  for (const char* line : {"BOARD", "2,6,2", "3,6,2", "4,6,2", "5,6,2", "1,6,1", "9,12,1"})
    brain.Execute(line);
  const Lines answer = brain.Execute("done");
  EXPECT_EQ(brain.OwnColour(), CellWhite);
  EXPECT_EQ(brain.Engine().CellAt(3, 7), CellBlack);
  EXPECT_EQ(answer.back(), "6,6");
}

TEST(BrainSession, BoardTakesAnyOrder) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("BEGIN");
  for (const char* line : {"BOARD", "9,9,2", " 7 , 7 , 1 ", "8,7,2", "7,8,1"})
    EXPECT_EQ(brain.Execute(line), Lines{}) << line;
  const Lines answer = brain.Execute("DONE");
  EXPECT_EQ(brain.Engine().CellAt(10, 10), CellWhite);
  EXPECT_EQ(brain.Engine().CellAt(8, 8), CellBlack);
  ExpectMoveOf(brain, answer, CellBlack);
  EXPECT_EQ(StoneCount(brain.Engine()), 5);
  // TURN carries on from the listed position.
  ExpectMoveOf(brain, brain.Execute("TURN 12,12"), CellBlack);
  EXPECT_EQ(StoneCount(brain.Engine()), 7);
}

// A listing with a bad line, or with a continuous game's mark (3) that the move choice cannot
// keep off, is refused whole with one answer at DONE, naming its first bad line; so is a
// SWAP2BOARD listing. The manager gets one line per listing and stays in step.
TEST(BrainSession, BoardWithABadLineIsRefusedWholeWithOneAnswer) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("TURN 7,7");
  const std::string before = Snapshot(brain.Engine());
  const uint8_t colour = brain.OwnColour();
  const struct {
    const char* bad;
    const char* why;
  } cases[] = {{"1,1,2", "repeats an intersection"},
               {"15,1,1", "is off the 15 x 15 board"},
               {"1,-1,2", "is off the 15 x 15 board"},
               {"1,2,4", ": f must be 1 (own), 2 or 3"},
               {"1,2,0", ": f must be 1 (own), 2 or 3"},
               {"1,2", "is not x,y,f"},
               {"TURN 3,3", "is not x,y,f"},
               {"1,2,1,1", "is not x,y,f"},
               {"0,0,3", "marks a cell with 3, which Lindora cannot keep its move off"}};
  for (const auto& c : cases) {
    for (const char* line : {"BOARD", "1,1,1", c.bad, "2,2,2", "x,y,f"})
      EXPECT_EQ(brain.Execute(line), Lines{}) << c.bad;
    EXPECT_EQ(brain.Execute("DONE"),
              Lines{std::string("ERROR BOARD refused, the position is as before: line ") + c.bad +
                    (c.why[0] == ':' ? "" : " ") + c.why});
    EXPECT_EQ(Snapshot(brain.Engine()), before);
    EXPECT_EQ(brain.OwnColour(), colour);
  }
  for (const char* line : {"SWAP2BOARD", "7,7", "DONE"})
    EXPECT_EQ(brain.Execute(line).size(), line[0] == 'D' ? 1u : 0u) << line;
  EXPECT_EQ(Snapshot(brain.Engine()), before);
  EXPECT_TRUE(StartsWith(brain.Execute("BOARD 1,1,1")[0], "ERROR "));
  EXPECT_FALSE(brain.ReadingBoard());
  // The next listing starts clean, and END ends even inside a listing.
  brain.Execute("BOARD");
  ExpectMoveOf(brain, brain.Execute("DONE"), CellBlack);
  brain.Execute("BOARD");
  EXPECT_EQ(brain.Execute("END"), Lines{});
  EXPECT_TRUE(brain.Ended());
}

TEST(BrainSession, EchoedInputIsPrintableAsciiAndShort) {
  TBrainProtocol brain;
  // A control character in an echoed word once reached the manager, which may take a form feed
  // or vertical tab for a line end; high bytes may break its decoding.
  EXPECT_EQ(brain.Execute("IN\x16"
                          "FO\x0b\x0c\xff"),
            Lines{"UNKNOWN command IN?FO???"});
  EXPECT_EQ(brain.Execute("TURN 99,\x01" + std::string(100, '9')),
            Lines{"ERROR TURN needs x,y, for example TURN 7,7"});
  EXPECT_EQ(brain.Execute("TAKEBACK 15,\x7f"
                          "1"),
            Lines{"ERROR TAKEBACK needs x,y, for example TAKEBACK 7,7"});
  EXPECT_EQ(brain.Execute("TURN 99999,99999"),
            Lines{"ERROR move 99999,99999 is off the 15 x 15 board (x and y are 0..14)"});
  brain.Execute("BOARD");
  brain.Execute(std::string(60, 'x'));
  EXPECT_EQ(brain.Execute("DONE"), Lines{"ERROR BOARD refused, the position is as before: line " +
                                         std::string(40, 'x') + "... is not x,y,f"});
  brain.Execute("BOARD");
  brain.Execute("1,1,\x1b");
  EXPECT_EQ(brain.Execute("DONE"),
            Lines{"ERROR BOARD refused, the position is as before: line 1,1,? is not x,y,f"});
}

TEST(BrainSession, TakebackRemovesOneStone) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("BEGIN");
  const std::string before = Snapshot(brain.Engine());
  const Lines answer = brain.Execute("TURN 1,1");
  ASSERT_EQ(answer.size(), 1u);
  int x = 0, y = 0;
  ASSERT_EQ(std::sscanf(answer[0].c_str(), "%d,%d", &x, &y), 2);
  EXPECT_EQ(brain.Execute("TAKEBACK " + answer[0]), Lines{"OK"});
  EXPECT_EQ(brain.Execute("takeback 1,1"), Lines{"OK"});
  EXPECT_EQ(Snapshot(brain.Engine()), before) << "the threat table follows the removals";
  for (const char* bad :
       {"TAKEBACK 1,1", "TAKEBACK 15,15", "TAKEBACK", "TAKEBACK 7", "TAKEBACK a,7"}) {
    const Lines refusal = brain.Execute(bad);
    ASSERT_EQ(refusal.size(), 1u) << bad;
    EXPECT_TRUE(StartsWith(refusal[0], "ERROR ")) << bad << " -> " << refusal[0];
  }
  EXPECT_EQ(brain.Execute("TAKEBACK 1,1"), Lines{"ERROR no stone on 1,1 to take back"});
  EXPECT_EQ(Snapshot(brain.Engine()), before);
}

TEST(BrainSession, InfoIsSilentButForAnotherRule) {
  TBrainProtocol brain;
  for (const char* line :
       {"INFO timeout_turn 5000", "INFO timeout_match 180000", "INFO max_memory 83886080",
        "INFO time_left 100000", "INFO game_type 1", "INFO rule 0", "info RULE 0",
        "INFO evaluate 7,7", "INFO folder /tmp/some folder", "INFO invented_key"})
    EXPECT_EQ(brain.Execute(line), Lines{}) << line;
  const Lines freestyleOnly{"MESSAGE Lindora plays freestyle only: five or more in a row wins"};
  for (const char* line :
       {"INFO rule 1", "INFO rule 2", "INFO rule 4", "INFO rule renju", "INFO rule"})
    EXPECT_EQ(brain.Execute(line), freestyleOnly) << line;
  EXPECT_EQ(brain.Execute("INFO"), Lines{}) << "INFO is never answered, even without a key";
}

// The time a move at Hard or Expert may take follows the manager's INFO lines: the turn time,
// or a fifteenth of the time left when that is less, each less 60 ms and a tenth; Hard a
// quarter of it; never nothing.
TEST(BrainSession, ThinkingTimeFollowsTheManagersTimes) {
  const struct {
    TLevel Level;
    std::vector<const char*> Infos;
    int64_t Milliseconds;
  } cases[] = {
      {TLevel::Expert, {}, 30000 - 60 - 3000},
      {TLevel::Expert, {"INFO timeout_turn 1000"}, 1000 - 60 - 100},
      {TLevel::Hard, {"INFO timeout_turn 1000"}, (1000 - 60 - 100) / 4},
      {TLevel::Expert, {"INFO timeout_turn 5000", "INFO time_left 15000"}, 1000 - 60 - 100},
      {TLevel::Expert, {"INFO timeout_match 60000", "INFO time_left 6000000"}, 30000 - 3060},
      {TLevel::Expert, {"INFO timeout_turn 0"}, 1},
      {TLevel::Expert, {"INFO timeout_turn 1000", "INFO time_left -200"}, 1},
      {TLevel::Expert, {"INFO timeout_turn x", "INFO max_memory 1000000"}, 30000 - 3060}};
  for (const auto& each : cases) {
    TBrainProtocol brain;
    brain.SetLevel(each.Level);
    for (const char* info : each.Infos)
      EXPECT_EQ(brain.Execute(info), Lines{}) << info;
    EXPECT_EQ(brain.ThinkBudget().Microseconds, each.Milliseconds * 1000)
        << LevelName(each.Level) << " after " << each.Infos.size() << " lines";
  }
}

TEST(BrainSession, AnswersALegalMoveWhenNoIntersectionHasALevel) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("BOARD");
  // Everything filled but (0, 0) and (12, 12); nearest the centre is (12, 12).
  for (int x = 0; x < BoardSize; ++x) {
    for (int y = 0; y < BoardSize; ++y) {
      if ((x == 0 && y == 0) || (x == 12 && y == 12)) continue;
      EXPECT_EQ(brain.Execute(std::to_string(x) + "," + std::to_string(y) + "," +
                              std::to_string(LevelFreeColour(x, y))),
                Lines{});
    }
  }
  // The move choice itself has nothing to offer in this position.
  brain.Execute("DONE");
  ASSERT_EQ(brain.Execute("TAKEBACK 12,12"), Lines{"OK"});
  TGameBoard copy = brain.Engine();
  copy.SetReporter(nullptr);
  int32_t column = -1, row = -1;
  copy.ChooseMove(brain.OwnColour(), column, row, TBrainProtocol::SearchDepth);
  ASSERT_EQ(column, 0);
  ASSERT_EQ(row, 0);
  // TURN fills (0, 0); the engine still answers the last empty intersection.
  EXPECT_EQ(brain.Execute("TURN 0,0").back(), "12,12");
  EXPECT_EQ(StoneCount(brain.Engine()), BoardSize * BoardSize);
}

TEST(BrainSession, AFullBoardIsAnErrorNotAMove) {
  TBrainProtocol brain;
  brain.Execute("START 15");
  brain.Execute("BOARD");
  for (int x = 0; x < BoardSize; ++x)
    for (int y = 0; y < BoardSize; ++y)
      brain.Execute(std::to_string(x) + "," + std::to_string(y) + "," +
                    std::to_string(LevelFreeColour(x, y)));
  EXPECT_EQ(brain.Execute("DONE"), Lines{"ERROR the board is full: no move left"});
  EXPECT_EQ(StoneCount(brain.Engine()), BoardSize * BoardSize);
}

}  // namespace
