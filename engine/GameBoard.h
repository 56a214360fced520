// SPDX-License-Identifier: GPL-3.0-or-later
// The board engine of Lindora: the position on a bordered 17 x 17 board, stone placement and
// removal, and for both colours a per-intersection, per-direction threat level table that is
// kept equal to the full evaluation of the position after every change.
//
// The engine knows nothing of windows. It talks to the user only through a TReporter that the
// owner attaches (the game window, the engine shell, a test); with none attached it is silent.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

// Cell codes of Board.
constexpr uint8_t CellBorder = 0;
constexpr uint8_t CellEmpty = 1;
constexpr uint8_t CellBlack = 2;
constexpr uint8_t CellWhite = 3;

constexpr int32_t BoardSize = 15;  // inner intersections per side
constexpr int8_t FiveLevel = 11;   // a stone on this intersection completes five

// What the engine tells the user. ShowMessage stands for a modal message box: it returns when
// the user has closed it, and the operation that showed it goes on from there.
class TReporter {
 public:
  virtual ~TReporter() = default;
  virtual void ShowMessage(std::string_view text) = 0;
  virtual void SetPanelText(int panel, std::string_view text) = 0;
};

// The threat levels of both colours: [colour 2..3][column 1..15][row 1..15][direction 0..3],
// one flat block of 1800 signed bytes, Black's 900 first. The four direction levels of an
// intersection lie together, so Word() reads them as one 32-bit value, zero exactly when all four
// are zero. A plain value: the computer player copies it whole.
struct TThreatTable {
  int8_t Levels[2][BoardSize][BoardSize][4];

  int8_t& At(uint8_t colour, int32_t column, int32_t row, int direction) {
    return Levels[colour - CellBlack][column - 1][row - 1][direction];
  }
  int8_t At(uint8_t colour, int32_t column, int32_t row, int direction) const {
    return Levels[colour - CellBlack][column - 1][row - 1][direction];
  }
  const int8_t* Cell(uint8_t colour, int32_t column, int32_t row) const {
    return Levels[colour - CellBlack][column - 1][row - 1];
  }
  uint32_t Word(uint8_t colour, int32_t column, int32_t row) const {
    uint32_t word;
    std::memcpy(&word, Cell(colour, column, row), sizeof word);
    return word;
  }
};
static_assert(sizeof(TThreatTable) == 1800, "the threat table is one 1800-byte block");

// true when low <= value <= high.
bool InRange(int32_t value, int32_t low, int32_t high);

// 3 for 2, and 2 for every other value. Asked for 0 or 1, which are no colours, it first shows
// " Type Error! " through the reporter (when one is given) and then answers 2. In line: the
// computer player asks it at every step of its search.
inline uint8_t Opponent(uint8_t colour, TReporter* reporter = nullptr) {
  if (colour == CellBlack) return CellWhite;
  if (colour <= CellEmpty && reporter != nullptr) reporter->ShowMessage(" Type Error! ");
  return CellBlack;
}

// The (column step, row step) of a direction: 0 (+1, 0), 1 (+1, +1), 2 (0, +1), 3 (-1, +1).
// Any other direction leaves both outputs as they were.
void DirectionStep(uint8_t direction, int32_t& columnStep, int32_t& rowStep);

// The computer player's working data. Plain values: the search copies them whole at every level,
// so nothing of a caller's lists or table is ever changed by what it calls, and nothing is
// allocated while a move is computed.

// One ranked cell of one colour's list. An empty slot has Level 0, Column 0 and Row 0.
struct CandidateEntry {
  int8_t Level;      // highest of the cell's four direction levels for the list's colour
  int32_t LevelSum;  // sum of the four levels; ranks newcomers of equal Level
  int16_t Column;
  int16_t Row;
};

// The twelve most threatening empty cells of one colour, slot 1 the best. Level never rises
// from slot 1 to slot 12 and a cell is listed at most once.
struct CandidateList {
  static constexpr int SlotCount = 12;
  CandidateEntry Slots[SlotCount];

  CandidateEntry& Slot(int slot) { return Slots[slot - 1]; }
  const CandidateEntry& Slot(int slot) const { return Slots[slot - 1]; }
};

// One list per colour, indexed by the colour code 2 or 3.
struct CandidateLists {
  CandidateList Lists[2];

  CandidateList& Of(uint8_t colour) { return Lists[colour - CellBlack]; }
  const CandidateList& Of(uint8_t colour) const { return Lists[colour - CellBlack]; }
};

// What one level of the search, or one trial of the move choice, works on: its own lists and
// its own threat table, both copied from its caller and never written back.
struct SearchState {
  CandidateLists Lists;
  TThreatTable Threats;
};

class TFastSearch;

// The working memory of the fast search, made with the engine. It holds nothing from one call to
// the next, so a copied engine simply gets memory of its own.
class TFastSearchMemory {
 public:
  TFastSearchMemory();
  TFastSearchMemory(const TFastSearchMemory&);
  TFastSearchMemory& operator=(const TFastSearchMemory&) { return *this; }
  ~TFastSearchMemory();

  TFastSearch& operator*() const { return *Search; }
  TFastSearch* operator->() const { return Search.get(); }

 private:
  std::unique_ptr<TFastSearch> Search;
};

class TGameBoard {
 public:
  // [column 0..16][row 0..16]; the border ring holds CellBorder, inner cells 1, 2 or 3.
  uint8_t Board[17][17];
  TThreatTable Threat;

  TGameBoard();

  void SetReporter(TReporter* reporter) { Reporter = reporter; }
  TReporter* GetReporter() const { return Reporter; }

  // Empty board inside a border, every threat level 0.
  void Clear();

  // "Black" for 2, "White" for every other value.
  static const char* ColourName(uint8_t colour);

  // The cell code of an inner intersection; 1 (empty) for anything off the board.
  uint8_t CellAt(int32_t column, int32_t row) const;

  // Places a stone of colour 2 or 3 on an empty intersection, or with colour 1 empties the
  // intersection. Refuses (" Set Wrong!", false, nothing changed) an intersection off the board,
  // a stone on an occupied one, and any other colour code. A stone that completes five is
  // announced ("Black Win!" or "White Win!") before it is written.
  bool PlaceStone(int32_t column, int32_t row, uint8_t colour);

  // true, with score 1,900,000, when the intersection holds level 11 for the colour in some
  // direction; otherwise false and score untouched.
  bool WinScore(int32_t column, int32_t row, uint8_t colour, double& score) const;

  // Re-evaluates the four lines through an intersection for both colours.
  void RescanLines(int32_t column, int32_t row);
  // Re-evaluates one whole line through an intersection for both colours.
  void RescanLine(uint8_t direction, int32_t column, int32_t row);

  // The five levels a window with this stone mask and count gives its positions. A live window
  // whose count is not 1..4, or whose mask is not in the count's table, leaves the levels as
  // they were and reports "Mach error!" and the count in status panel 4.
  void PatternLevels(uint8_t mask, int32_t count, bool dead, int8_t levels[5]) const;
  // The same levels without the report: false, levels untouched, where PatternLevels reports.
  static bool WindowLevels(uint8_t mask, int32_t count, bool dead, int8_t levels[5]);

  // The computer player. Its operations read Board and Threat, write trial stones straight into
  // Board (no rescan, no announcement) and take every one of them away again before they return.

  // Weight of a threat level in a cell's score; both colours weigh alike.
  static constexpr double LevelWeight[12] = {0, 1, 5, 8, 10, 6, 170, 255, 285, 290, 3000, 8000};

  // FindForcedWin calls made by the last ChooseMove (and by direct calls since): the searches the
  // way in use actually made. The plain way makes every call the decision ladder describes; the
  // fast way leaves out searches whose outcome cannot change the answer, and its count is that
  // of its walk in order, whichever threads ran the trials.
  uint64_t ForcedWinCalls = 0;

  // With false, the searches copy their lists and table at every level and walk every step as the
  // decision ladder describes it. The fast way changes one copy in place and undoes the changes,
  // and searches only what the answer depends on. Both give the same moves, verdicts and
  // messages; the plain way is the reference for the fast one.
  bool UseFastSearch = true;
  // With false, the fast search's independent trials all run on the calling thread. The answers
  // are the same either way; only the time differs.
  bool UseHelpers = true;

  // Picks the move of colour (2 or 3) into column and row and writes the verdict to status
  // panel 0. Board is as before on return and Threat is only read; depth below 1 does nothing.
  // (0, 0) when no empty intersection carries a level.
  void ChooseMove(uint8_t colour, int32_t& column, int32_t& row, int32_t depth);

  // true when the attacker forces five within depth by threats the defender must answer. With
  // column > 0 a stone of toMove's opponent is first tried at (column, row). On success with the
  // attacker to move, (column, row) holds the first move of the win. minLevel 9 allows fours
  // only, 7 also threes. The caller's lists and table are copied, never changed.
  bool FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                     uint8_t minLevel, const CandidateLists& lists, const TThreatTable& threats,
                     int32_t depth);

  // Both colours' lists from the whole board and Threat, as the move choice starts them.
  void FillCandidates(CandidateLists& lists) const;

  // Candidate lists, kept on a SearchState while trial stones come and go.
  // Inserts or re-places an empty cell by its levels in the state's table; occupied cells are
  // left alone, listed or not.
  void RankCandidate(SearchState& state, uint8_t colour, int32_t column, int32_t row) const;
  static void DropCandidate(SearchState& state, uint8_t colour, int32_t column, int32_t row);
  static void ClearCandidates(SearchState& state, uint8_t colour);
  // Follows a trial stone just written at (column, row): the four lines through it, in
  // direction order, on the state's table and lists.
  void RefreshLines(SearchState& state, int32_t column, int32_t row) const;
  void RefreshLine(SearchState& state, uint8_t direction, int32_t column, int32_t row) const;

  // The set-up step's candidates with their cell scores and their place among the candidates
  // in list order.
  struct TSetUpMoves {
    const CandidateEntry* Entries[CandidateList::SlotCount];
    double Scores[CandidateList::SlotCount];
    int Index[CandidateList::SlotCount];
    int Count;
  };

 private:
  TReporter* Reporter = nullptr;
  TFastSearchMemory Fast;

  void Report(std::string_view text) const;

  struct TLineBuffer;
  struct TPlainSearcher;
  void RaiseWindow(SearchState& state, const TLineBuffer& line, uint8_t own, uint8_t other,
                   int32_t& start, int32_t low, int32_t high, bool raised[11]) const;
  bool PlainSearch(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                   uint8_t minLevel, const CandidateLists& lists, const TThreatTable& threats,
                   int32_t depth);
  void DecideMove(uint8_t colour, int32_t& column, int32_t& row, int32_t depth);
  int PlainDefence(const CandidateLists& lists, uint8_t other, int32_t depth);
  int FastDefence(const CandidateLists& lists, uint8_t other, int32_t depth);
  int PlainSetUp(const CandidateLists& lists, uint8_t colour, int32_t depth,
                 const TSetUpMoves& moves);
  int FastSetUp(const CandidateLists& lists, uint8_t colour, int32_t depth,
                const TSetUpMoves& moves);
  bool WinsAfterMove(uint8_t colour, int32_t column, int32_t row, uint8_t minLevel,
                     const CandidateLists& lists, const TThreatTable& threats, int32_t depth);
  double CellScore(uint8_t colour, int32_t column, int32_t row) const;
  bool CarriesLevel(int32_t column, int32_t row) const;
  void ListScanned(CandidateLists& lists, int32_t column, int32_t row) const;
  void ShowVerdict(std::string_view text) const;
};

// A five-cell window that is open for its colour and holds 1 to 3 stones is dead or live by
// the cells just outside it: before (offset s-1), after (s+5) and afterNext (s+6), the window's
// first cell being first (s). Cell codes; anything at or beyond the border reads CellBorder.
//  - 1 or 2 stones: dead when the cell before or after is the border or an opponent stone.
//  - 3 stones: live when both neighbours are empty, or when the first cell and the cell after
//    are empty while the cell after that is not (a three inside a six-cell stretch with both
//    ends empty); dead otherwise.
inline bool WindowIsDead(int32_t count, uint8_t before, uint8_t first, uint8_t after,
                         uint8_t afterNext, uint8_t opponent) {
  if (count == 3) {
    if (before == CellEmpty && after == CellEmpty) return false;
    return !(first == CellEmpty && after == CellEmpty && afterNext != CellEmpty);
  }
  return before == CellBorder || before == opponent || after == CellBorder || after == opponent;
}
