// SPDX-License-Identifier: GPL-3.0-or-later
// Move choice: the ladder that picks the computer's stone and its verdict. Own forced win first,
// then blocking a five, answering the opponent's forced win, a quiet move that sets up a forced
// win, and last the intersection with the highest static score.
#include <atomic>
#include <cstdio>

#include "FastSearch.h"
#include "SearchHelper.h"

namespace {
constexpr uint8_t ThreesAllowed = 7;
constexpr double BelowAnyScore = -6000000.0;
}  // namespace

// Both colours' levels count alike, so a cell scores as high for blocking as for building.
double TGameBoard::CellScore(uint8_t colour, int32_t column, int32_t row) const {
  const uint8_t other = Opponent(colour);
  double score = 0;
  for (int direction = 0; direction < 4; ++direction) {
    score += LevelWeight[Threat.At(colour, column, row, direction)] +
             LevelWeight[Threat.At(other, column, row, direction)];
  }
  return score;
}

bool TGameBoard::CarriesLevel(int32_t column, int32_t row) const {
  return Board[column][row] == CellEmpty &&
         (Threat.Word(CellBlack, column, row) != 0 || Threat.Word(CellWhite, column, row) != 0);
}

// The full scan's fill: unlike RankCandidate, a newcomer goes ahead of its equals and LevelSum
// plays no part in the order.
void TGameBoard::ListScanned(CandidateLists& lists, int32_t column, int32_t row) const {
  constexpr int Last = CandidateList::SlotCount;
  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour) {
    const int8_t* levels = Threat.Cell(colour, column, row);
    int8_t highest = levels[0];
    int32_t sum = 0;
    for (int direction = 0; direction < 4; ++direction) {
      if (levels[direction] > highest) highest = levels[direction];
      sum += levels[direction];
    }
    CandidateList& list = lists.Of(colour);
    if (highest <= list.Slot(Last).Level) continue;
    int place = 1;
    while (list.Slot(place).Level > highest)
      ++place;
    for (int slot = Last; slot > place; --slot)
      list.Slot(slot) = list.Slot(slot - 1);
    list.Slot(place) =
        CandidateEntry{highest, sum, static_cast<int16_t>(column), static_cast<int16_t>(row)};
  }
}

void TGameBoard::FillCandidates(CandidateLists& lists) const {
  lists = CandidateLists{};
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      if (CarriesLevel(column, row)) ListScanned(lists, column, row);
    }
  }
}

void TGameBoard::ShowVerdict(std::string_view text) const {
  if (Reporter != nullptr) Reporter->SetPanelText(0, text);
}

void TGameBoard::ChooseMove(uint8_t colour, int32_t& column, int32_t& row, int32_t depth) {
  ForcedWinCalls = 0;
  if (depth < 1) return;
  DecideMove(colour, column, row, depth);
}

void TGameBoard::DecideMove(uint8_t colour, int32_t& column, int32_t& row, int32_t depth) {
  const uint8_t other = Opponent(colour);
  constexpr int Last = CandidateList::SlotCount;

  CandidateLists lists{};
  double bestScore = BelowAnyScore;
  int32_t bestColumn = 0, bestRow = 0;
  for (int32_t c = 1; c <= BoardSize; ++c) {
    for (int32_t r = 1; r <= BoardSize; ++r) {
      if (!CarriesLevel(c, r)) continue;
      const double score = CellScore(colour, c, r);
      if (score > bestScore) {
        bestScore = score;
        bestColumn = c;
        bestRow = r;
      }
      ListScanned(lists, c, r);
    }
  }

  // Every search of the ladder starts from this position and these lists.
  if (UseFastSearch) Fast->Load(Board, Threat);
  auto forcedWin = [&](uint8_t attacker, int32_t& winColumn, int32_t& winRow) {
    if (!UseFastSearch)
      return PlainSearch(attacker, attacker, winColumn, winRow, ThreesAllowed, lists, Threat,
                         depth);
    const bool won =
        Fast->FindForcedWin(attacker, attacker, winColumn, winRow, ThreesAllowed, lists, depth);
    ForcedWinCalls += Fast->TakeCalls();
    return won;
  };

  // The panel shows " " from here on unless a later step finds a verdict; it is written once,
  // when the verdict is known, since nothing can look at it while the decision runs.
  column = 0;
  if (forcedWin(colour, column, row)) {
    ShowVerdict("I win! ");
    return;
  }

  const CandidateList& theirs = lists.Of(other);
  auto answer = [&](const CandidateEntry& entry) {
    column = entry.Column;
    row = entry.Row;
  };
  if (theirs.Slot(1).Level == FiveLevel) {
    answer(theirs.Slot(1));
    ShowVerdict(" ");
    return;
  }

  column = 0;
  if (forcedWin(other, column, row)) {
    // The first of the opponent's cells, in list order, after which it no longer wins.
    const int defence =
        UseFastSearch ? FastDefence(lists, other, depth) : PlainDefence(lists, other, depth);
    if (defence > 0) {
      answer(theirs.Slot(defence));
      ShowVerdict("you will win! ");
      return;
    }
    answer(theirs.Slot(1));
    ShowVerdict("you win! ");
    return;
  }

  // A quiet move that sets up a forced win; on equal scores the later slot wins.
  const CandidateList& own = lists.Of(colour);
  TSetUpMoves moves{};
  for (int slot = 1; slot <= Last; ++slot) {
    const CandidateEntry& entry = own.Slot(slot);
    if (entry.Level >= ThreesAllowed) continue;
    if (entry.Level < 3) break;
    moves.Entries[moves.Count] = &entry;
    moves.Scores[moves.Count++] = CellScore(colour, entry.Column, entry.Row);
  }
  const int setUp = UseFastSearch ? FastSetUp(lists, colour, depth, moves)
                                  : PlainSetUp(lists, colour, depth, moves);
  if (setUp >= 0) {
    answer(*moves.Entries[setUp]);
    ShowVerdict("I will win! ");
    return;
  }

  column = bestColumn;
  row = bestRow;
  ShowVerdict(" ");
}

// The walk over the opponent's cells: the slot of the first one after which the opponent no longer
// wins by force, or 0 when every cell tried leaves it winning or the walk meets an empty slot.
int TGameBoard::PlainDefence(const CandidateLists& lists, uint8_t other, int32_t depth) {
  const CandidateList& theirs = lists.Of(other);
  for (int slot = 1; slot <= CandidateList::SlotCount && theirs.Slot(slot).Level != 0; ++slot) {
    int32_t blockColumn = theirs.Slot(slot).Column, blockRow = theirs.Slot(slot).Row;
    if (!PlainSearch(other, other, blockColumn, blockRow, ThreesAllowed, lists, Threat, depth))
      return slot;
  }
  return 0;
}

namespace {

using TTrial = TFastSearch::TTrial;
constexpr int Slots = CandidateList::SlotCount;
constexpr int Open = -2;  // a walk that still waits for a trial

// The walk over the opponent's cells as trials: trial k tries slot k + 1.
struct TDefenceTrials {
  const TGameBoard& Engine;
  const CandidateLists& Lists;
  uint8_t Other;
  int32_t Depth;
  std::atomic<TTrial> States[Slots]{};
  uint64_t Calls[Slots]{};

  void Prepare(TFastSearch& search) const { search.Load(Engine.Board, Engine.Threat); }
  // The walk ends at an empty slot or at a defence.
  bool Needed(int trial) const {
    for (int before = 0; before < trial; ++before) {
      const TTrial state = States[before].load();
      if (state == TTrial::Ended || state == TTrial::Lost) return false;
    }
    return true;
  }
  // The walk over the trials settled so far: the defence's slot, 0 when there is none, or Open
  // while a trial it reaches has not been settled. calls gets the reached trials' search counts.
  int Settle(uint64_t* calls) const {
    for (int trial = 0; trial < Slots; ++trial) {
      const TTrial state = States[trial].load();
      if (state == TTrial::Pending) return Open;
      if (state == TTrial::Ended) return 0;
      if (calls != nullptr) *calls += Calls[trial];
      if (state == TTrial::Lost) return trial + 1;
    }
    return 0;
  }
  void Run(TFastSearch& search, int trial) {
    const CandidateEntry& entry = Lists.Of(Other).Slot(trial + 1);
    if (entry.Level == 0) {
      States[trial] = TTrial::Ended;
      return;
    }
    int32_t column = entry.Column, row = entry.Row;
    const bool won = search.FindForcedWin(Other, Other, column, row, ThreesAllowed, Lists, Depth);
    Calls[trial] = search.TakeCalls();
    States[trial] = won ? TTrial::Won : TTrial::Lost;
  }
};

// The set-up step's walks as trials, move by move in the order of preference: trial
// k * 12 + a tries the opponent's answer on slot a + 1 after move k's stone. The walk stops at the
// first move that wins, so the trials of the preferred moves come first.
struct TSetUpTrials {
  const TGameBoard& Engine;
  const CandidateLists& Lists;
  const TGameBoard::TSetUpMoves& Moves;
  uint8_t Colour;
  int32_t Depth;
  std::atomic<TTrial> States[Slots][Slots]{};
  uint64_t Calls[Slots][Slots]{};

  void Prepare(TFastSearch& search) const { search.Load(Engine.Board, Engine.Threat); }
  // A move's walk ends where its slots fall below the threes, or at a win; the whole walk ends at
  // the first move that wins.
  bool Needed(int trial) const {
    const int move = trial / Slots, answer = trial % Slots;
    for (int before = 0; before < answer; ++before) {
      const TTrial state = States[move][before].load();
      if (state == TTrial::Ended || state == TTrial::Won) return false;
    }
    for (int earlier = 0; earlier < move; ++earlier) {
      for (int each = 0; each < Slots; ++each) {
        if (States[earlier][each].load() == TTrial::Won) return false;
      }
    }
    return true;
  }
  // The walk over the trials settled so far: the first move that sets up a win, -1 when none
  // does, or Open while a trial it reaches has not been settled. calls gets the reached trials'
  // search counts.
  int Settle(uint64_t* calls) const {
    for (int move = 0; move < Moves.Count; ++move) {
      for (int answer = 0; answer < Slots; ++answer) {
        const TTrial state = States[move][answer].load();
        if (state == TTrial::Pending) return Open;
        if (state == TTrial::Ended) break;
        if (calls != nullptr) *calls += Calls[move][answer];
        if (state == TTrial::Won) return move;
      }
    }
    return -1;
  }
  void Run(TFastSearch& search, int trial) {
    const int move = trial / Slots, answer = trial % Slots;
    const CandidateEntry& entry = *Moves.Entries[move];
    const TTrial state = search.SetUpAnswer(Colour, entry.Column, entry.Row, answer + 1,
                                            ThreesAllowed, Lists, Depth);
    Calls[move][answer] = search.TakeCalls();
    States[move][answer] = state;
  }
};

}  // namespace

int TGameBoard::FastDefence(const CandidateLists& lists, uint8_t other, int32_t depth) {
  TDefenceTrials trials{*this, lists, other, depth};
  TSearchHelper::RunTrials(trials, Slots, *Fast, UseHelpers);
  return trials.Settle(&ForcedWinCalls);
}

// The best-scoring set-up move, or -1: every move is tried, and of those that set up a win the
// highest score is kept, the later slot on equal scores, provided it is above 0.
int TGameBoard::PlainSetUp(const CandidateLists& lists, uint8_t colour, int32_t depth,
                           const TSetUpMoves& moves) {
  double setUpScore = 0;
  int chosen = -1;
  for (int move = 0; move < moves.Count; ++move) {
    const CandidateEntry& entry = *moves.Entries[move];
    if (WinsAfterMove(colour, entry.Column, entry.Row, ThreesAllowed, lists, Threat, depth) &&
        moves.Scores[move] >= setUpScore) {
      setUpScore = moves.Scores[move];
      chosen = move;
    }
  }
  return setUpScore > 0 ? chosen : -1;
}

// The same answer with less work: the moves are tried in the order the plain walk would prefer
// their wins (highest score first, the later slot first on equal scores, none scoring 0), so the
// first that sets up a win is the answer and the rest need no search.
int TGameBoard::FastSetUp(const CandidateLists& lists, uint8_t colour, int32_t depth,
                          const TSetUpMoves& moves) {
  TSetUpMoves ordered{};
  for (int move = moves.Count - 1; move >= 0; --move) {
    if (moves.Scores[move] <= 0) continue;
    int place = ordered.Count++;
    for (; place > 0 && ordered.Scores[place - 1] < moves.Scores[move]; --place) {
      ordered.Entries[place] = ordered.Entries[place - 1];
      ordered.Scores[place] = ordered.Scores[place - 1];
      ordered.Index[place] = ordered.Index[place - 1];
    }
    ordered.Entries[place] = moves.Entries[move];
    ordered.Scores[place] = moves.Scores[move];
    ordered.Index[place] = move;
  }
  TSetUpTrials trials{*this, lists, ordered, colour, depth};
  TSearchHelper::RunTrials(trials, ordered.Count * Slots, *Fast, UseHelpers);
  const int chosen = trials.Settle(&ForcedWinCalls);
  const int answer = chosen < 0 ? -1 : ordered.Index[chosen];
  if constexpr (ShortcutCheck::Enabled) {
    // The walk that tries every move, as the reference, without counting its searches.
    if (chosen >= 0) ShortcutCheck::Count(TShortcut::SetUpWalkStop);
    const uint64_t calls = ForcedWinCalls;
    const int full = PlainSetUp(lists, colour, depth, moves);
    ForcedWinCalls = calls;
    if (full != answer) {
      char what[96];
      std::snprintf(what, sizeof what, "chose move %d where trying every move chooses %d", answer,
                    full);
      ShortcutCheck::Fail(TShortcut::SetUpWalkStop, what);
    }
  }
  return answer;
}

// Read as play: colour takes (column, row), the opponent answers on one of colour's strong cells,
// and colour still wins by force after at least one such answer.
bool TGameBoard::WinsAfterMove(uint8_t colour, int32_t column, int32_t row, uint8_t minLevel,
                               const CandidateLists& lists, const TThreatTable& threats,
                               int32_t depth) {
  SearchState state{lists, threats};
  const uint8_t under = Board[column][row];
  Board[column][row] = colour;
  RefreshLines(state, column, row);
  bool wins = false;
  const CandidateList& own = state.Lists.Of(colour);
  for (int slot = 1; slot <= CandidateList::SlotCount && own.Slot(slot).Level >= minLevel; ++slot) {
    int32_t answerColumn = own.Slot(slot).Column, answerRow = own.Slot(slot).Row;
    if (PlainSearch(colour, colour, answerColumn, answerRow, minLevel, state.Lists, state.Threats,
                    depth)) {
      wins = true;
      break;
    }
  }
  Board[column][row] = under;
  return wins;
}
