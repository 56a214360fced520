// SPDX-License-Identifier: GPL-3.0-or-later
// The fast forced-win search: the plain search of ForcedWin.cpp on a position kept in place
// instead of copied at every level, which searches less where the outcome is known without
// searching.
//
// What the plain search copies per call (two lists of twelve 12-byte slots and the 1800-byte
// threat table) is here changed in place: a level saves the two lists, now 48 bytes each, and the
// two runs of eleven levels that its refresh rewrites on each line, and puts them back on its way
// out. The board is a private copy with a bit mask per line and colour, so a line's stones are
// read with two shifts and the windows of the refresh are judged by mask arithmetic and one table
// of window levels (FastGeometry.h, FastLists.cpp, FastRefresh.cpp). Every search it does makes
// the moves the plain one makes, in the same order, on the same levels and, wherever a list is
// read, the same list; the last levels' answers are read off the lines (FastLookAhead.cpp).
//
// The rules by which it searches less. Each keeps every answer (move, verdict, messages) the
// plain search gives; the checking build (LINDORA_CHECK_SHORTCUTS) runs the full search wherever
// rules 1 to 4 and 6 answer without it, checks rule 5 against a full refresh, and stops on any
// difference. It also asserts what rules 3 to 5 read off the lists: down a list levels never
// rise, and every level a refresh changes at an empty cell is ranked again. A fault in the
// attacker's list is reported as rule 3's, one in the defender's as that of rule 4 or 5,
// whichever reads the list next.
//
//  1. Set-up moves in order of preference (TGameBoard::FastSetUp). The plain walk tries every
//     quiet move and keeps the highest-scoring one that sets up a win, the later slot on equal
//     scores, if its score is above 0. Tried in that order, the first that wins is that move, and
//     moves scoring 0 or less can never be kept. Pinned by
//     FastSearch.SameAnswersAsThePlainSearchOnGamePositions; fires in
//     FastSearch.SameAnswersOnBoardsThatMakeEveryShortCutFire.
//  2. The defender to move with one level left answers false without placing its stone (Try):
//     its turn answers false at once or after a block, and a block is a search with no depth
//     left, which answers false. FastSearch.SameAnswersOnBoardsThatMakeEveryShortCutFire.
//  3. The attacker to move with two levels left is answered from the four lines through the
//     defender's stone, without placing it (AttackerWinsAtTwo): every search it could hand on
//     answers false by rule 2 or for want of depth, so only its lists' top levels decide, and
//     those follow from the lines while fewer than HandOverCells of its cells reach
//     OpenFourLevel. FastSearch.SameAnswersOnBoardsThatMakeEveryShortCutFire reaches the
//     hand-over, at the limit and past it.
//  4. The defender to move with three levels left is answered from the lines through the
//     attacker's stone, whose levels are written but not ranked (AttackerWinsAtThree): its turn
//     reads the two lists' top levels and hands each block to rule 3. The attacker's list holds
//     just the cells the stone raised, so its top and its strong points come from the lines; the
//     defender's top comes from the lines and its kept entries; each holds while fewer than
//     HandOverCells cells stand at the levels read. Every block of the strong points is tried,
//     in any order, since the turn answers true only if all of them lose; a block that rule 3
//     cannot answer is not taken for one that holds, and leaves the answer to the full search
//     unless another block holds. FastSearch.SameAnswersOnBoardsThatMakeEveryShortCutFire, with
//     a board where one block cannot be answered and all of them lose.
//  5. After the attacker's stone, with the defender to move, the defender's list is not ranked
//     (RefreshBeforeDefender). DefendersTurn reads of that list only its top, and only as
//     SearchTurns::OwnTopAsRead tells it given the attacker's top: whether it is a five point when
//     the attacker's is, whether it is an open-four point or more when the attacker's is an
//     open-four point, nothing when the attacker's is lower. Just that is read off the lines, as
//     in rule 4, and handed to the turn as its own top; every move the turn makes empties the list
//     before anything else reads it. The checking build compares the attacker's list and the
//     defender's top, as the turn reads it, with a full refresh, and stops on any read of a list
//     left unranked. FastSearch.SameAnswersOnBoardsThatMakeEveryShortCutFire ranks in full past
//     the limit too.
//  6. Fours known to fail (foursKnownToFail, SearchTurns.h): a four that has just failed as a
//     fours-only search is not searched as one again under a three. Fours are always searched
//     with minLevel 9, so the same search has already answered false.
//     FastSearch.DirectSearchesAnswerAsThePlainSearch, and the boards above.
//  7. Trials on helper threads (SearchHelper.h): the walks over the opponent's defences and the
//     set-up moves are taken trial by trial in walk order and read back in walk order; once the
//     walk has settled, trials still running are stopped, and only the trials the walk reaches
//     are counted. FastSearch.AnswersDoNotDependOnThreads,
//     SearchHelper.SettledWalksStopTheTrialsStillRunning.
//
// The outermost search for the computer's own forced win keeps list order everywhere, since its
// first move is the answer. All memory is owned by the object; nothing is allocated once it
// exists.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "GameBoard.h"
#include "ShortcutCheck.h"

class TFastSearch {
 public:
  struct TGeometry;  // fixed tables of lines and windows, shared by all searches

  TFastSearch();

  // Takes a copy of the board and of the threat table the searches start from.
  void Load(const uint8_t (&board)[17][17], const TThreatTable& threats);

  // Runs on lists given in the engine's form and answers as TGameBoard::FindForcedWin does. The
  // board and table are as Load left them when it returns. Lists that the compact form cannot
  // hold must not be given (see Fits).
  bool FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                     uint8_t minLevel, const CandidateLists& lists, int32_t depth);

  // One step of the move choice's WinsAfterMove walk on its own: colour's stone on (column, row),
  // then the search from the given slot of colour's list. Ended when that slot's Level is below
  // minLevel, where the walk stops. The board and table are as before when it returns.
  enum class TTrial : uint8_t { Pending, Ended, Won, Lost };
  TTrial SetUpAnswer(uint8_t colour, int32_t column, int32_t row, int slot, uint8_t minLevel,
                     const CandidateLists& lists, int32_t depth);

  // While the flag is set, searches answer false at once and their answers mean nothing: the
  // helpers stop trials whose walk has already settled.
  void StopOn(const std::atomic<bool>* flag) { Stopped = flag; }

  // The FindForcedWin calls this search has made since it was loaded or last asked; asking
  // starts the count again. Each search counts for itself, so a trial's count is read back from
  // the search that ran it.
  uint64_t TakeCalls() { return std::exchange(Calls, 0); }

  // The most undo entries that have stood at once since the search was made: never more than
  // UndoRoom, which assertions check as entries are saved. Each level saves eight, and levels
  // nest at most once per inner cell, since a level's stone leaves both lists for everything
  // nested in it and ranking skips occupied cells, and once more for the set-up trial.
  static constexpr size_t UndoRoom = 8 * 256;
  static_assert(UndoRoom >= 8 * (BoardSize * BoardSize + 1), "room for the deepest chain");
  size_t DeepestUndo() const { return UndoPeak; }

  // true when every slot holds an inner cell or is empty (0, 0) with Level 0, no cell is listed
  // twice in a list, and every LevelSum fits the compact slot.
  static bool Fits(const CandidateLists& lists);

  // The turn rules' view of the lists (SearchTurns.h).
  int8_t Level(uint8_t colour, int slot) const {
    CheckListKnown(colour - CellBlack);
    return Lists.Of[colour - CellBlack][slot - 1].Level;
  }
  uint8_t Move(uint8_t colour, int slot) const {
    CheckListKnown(colour - CellBlack);
    return Lists.Of[colour - CellBlack][slot - 1].Cell;
  }
  bool Try(uint8_t attacker, uint8_t toMove, uint8_t minLevel, uint8_t& cell, int32_t depth,
           bool foursKnownToFail);

  // An open-four point: a stone there makes an open four.
  static constexpr int8_t OpenFourLevel = 10;
  // The attacker's cells at OpenFourLevel or more from which AttackerWinsAtTwo no longer answers:
  // a full list, which may push such a cell out or keep it out.
  static constexpr int HandOverCells = CandidateList::SlotCount;

 private:
  // A cell is column * 16 + row: inner cells are 17..255 and 0 is no cell.
  struct TSlot {
    int8_t Level;
    uint8_t Cell;
    int16_t LevelSum;
  };
  static_assert(sizeof(TSlot) == 4, "a slot is one 32-bit word");
  using TList = TSlot[CandidateList::SlotCount];
  static int SlotOf(const TList& list, uint8_t cell);
  static int InsertionSlot(const TList& list, int8_t level, int32_t levelSum);
  static void InsertAt(TList& list, int place, const TSlot& entry);
  // The lists and, per colour, one bit for each listed cell, so that the common ranking of a
  // cell that is not listed and not good enough to enter needs no walk over the slots.
  struct TLists {
    TList Of[2];
    uint64_t Listed[2][4];
    // A list left unranked after the opponent's stone, of which only the top level is known
    // (RefreshBeforeDefender); it is emptied before it is read again.
    bool Unranked[2];

    bool IsListed(int colour, uint8_t cell) const {
      return (Listed[colour][cell >> 6] >> (cell & 63)) & 1u;
    }
    void Mark(int colour, uint8_t cell, bool listed) {
      const uint64_t bit = uint64_t{1} << (cell & 63);
      if (listed) {
        Listed[colour][cell >> 6] |= bit;
      } else {
        Listed[colour][cell >> 6] &= ~bit;
      }
    }
  };
  // The levels of one colour along one line in one direction: line index i at byte i + 16, so
  // the eleven cells a refresh changes around a stone (offsets -5..+5) lie side by side, and
  // bytes before the first and after the last inner cell are spare room that nothing reads.
  static constexpr int LineBytes = 48;
  static constexpr int Segment = 11;
  // A segment's bytes as they were before a refresh wrote them.
  struct TUndo {
    uint16_t Offset;  // of the segment's first byte in LineLevels
    int8_t Levels[Segment];
  };

  const TGeometry& Geometry;
  uint8_t Board[256];
  uint64_t Stones[2][4][32];  // [colour][direction][line]: bit 16 + index along the line
  int8_t LineLevels[2][4][32][LineBytes];
  TLists Lists;
  TUndo Undo[UndoRoom];
  size_t UndoSize = 0, UndoPeak = 0;
  uint64_t Calls = 0;
  const std::atomic<bool>* Stopped = nullptr;
  bool InReference = false;         // the checking build's full search runs: no short-cuts
  uint64_t RankedCells[2][4] = {};  // the checking build's record of a refresh's rankings
  // The checking build's names for faults in each colour's list: the short-cut that reads it.
  TShortcut ListReader[2] = {TShortcut::AttackerAtTwo, TShortcut::AttackerAtTwo};

  bool Search(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel, int32_t depth,
              bool foursKnownToFail = false);
  bool SearchLevel(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel, int32_t depth,
                   bool foursKnownToFail);
  bool IsStopped() const;
  bool Answered(TShortcut rule, bool answer, uint8_t attacker, uint8_t toMove, uint8_t cell,
                uint8_t minLevel, int32_t depth);
  bool FullSearch(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel, int32_t depth);
  [[noreturn]] void Mismatch(TShortcut rule, bool answer, bool full, uint8_t attacker,
                             uint8_t toMove, uint8_t cell, int32_t depth) const;
  void NameListReaders(uint8_t attacker, uint8_t toMove, int32_t depth);
  void CheckListOrder() const;
  void LoadLists(const CandidateLists& lists);
  void Put(uint8_t cell, uint8_t code);
  int8_t* SavedSegment(int colour, int direction, int line, int first);
  void UndoTo(size_t mark);
  void Rank(int colour, uint8_t cell);
  void RankAlong(int colour, int direction, uint8_t cell, uint32_t bits);
  void Place(int colour, const TSlot& entry, bool listed);
  static void WriteRaised(const int8_t bestTheirs[32], int8_t* theirLevels, uint32_t& theirsRaised,
                          const int8_t bestOwn[32], int8_t* ownLevels, uint32_t& ownRaised);
  void Drop(int colour, uint8_t cell);
  // What the attacker's stone leaves at the top of the two lists. The attacker's list, emptied as
  // the stone is placed, holds just the cells the stone raised, at their new levels; the
  // defender's holds its old entries but the stone's cell, with the empty cells next to the stone
  // ranked again at their new levels, which mostly fall but may rise where the stone closes a
  // window's far end. The attacker's side is read as the levels are written, the defender's after,
  // and only where it matters.
  struct TStoneTops {
    // The attacker's raised cells at level 9 or more, as many as fit, and how many there are.
    TSlot Strong[CandidateList::SlotCount];
    int StrongCount = 0;
    int8_t AttackerTop = 0;  // the attacker's highest raised level
    int8_t DefenderTop = 0;  // the defender's highest level among its re-ranked and kept entries
    int DefenderHigh = 0;    // the defender's cells at OpenFourLevel or more after the stone
    uint64_t Touched[4] = {};
    // Each line's empty cells and the defender's levels there after the stone.
    uint32_t Empty[4];
    const int8_t* NewTheirs[4];
  };
  std::optional<bool> AttackerWinsAtTwo(uint8_t attacker, uint8_t cell, const TSlot* listed,
                                        int count) const;
  std::optional<bool> AttackerWinsAtThree(uint8_t attacker, uint8_t cell);
  int8_t RefreshBeforeDefender(uint8_t attacker, uint8_t cell);
  void ReadStoneLine(int direction, uint8_t cell, TStoneTops& tops, bool rankRaised);
  void ReadDefenderSide(int defender, uint8_t cell, TStoneTops& tops) const;
  bool DefenderHasFive(int defender, uint8_t cell, const TStoneTops& tops) const;
  void CountKeptEntries(int defender, uint8_t cell, TStoneTops& tops) const;
  void CheckListKnown(int colour) const {
    if constexpr (ShortcutCheck::Enabled) {
      if (Lists.Unranked[colour])
        ShortcutCheck::Fail(TShortcut::DefenderListUnranked, "a list left unranked was read");
    }
  }
  std::optional<bool> DefenderAnswersAtThree(uint8_t attacker, uint8_t cell,
                                             TStoneTops& tops) const;
  struct TLineRead {
    uint32_t Own, Theirs, Empty;
  };
  TLineRead ReadLine(int colour, int direction, uint8_t cell) const;
  // One line through a stone as its refresh writes it (WriteLine): the stone's colour, the line's
  // empty cells, the opponent's and the stone's segments as written and their old bytes in the
  // undo log, and per colour the cells whose levels were raised, as bits of the line masks.
  struct TWrittenLine {
    int Stone;
    uint32_t Empty;
    int8_t *Theirs, *Own;
    const int8_t *OldTheirs, *OldOwn;
    uint32_t Raised[2];
  };
  template <bool RankOpponent>
  TWrittenLine WriteLine(int direction, uint8_t cell);
  void CheckRanked(int direction, uint8_t cell, const TWrittenLine& line) const;
  void RefreshLines(uint8_t cell);
  void RefreshLine(int direction, uint8_t cell);
  void RaiseWindows(uint32_t stones, uint32_t empty, uint32_t firsts, uint32_t allowed,
                    int8_t best[32]) const;
};
