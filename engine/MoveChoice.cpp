// Move choice: the ladder that picks the computer's stone and its verdict. Own forced win first,
// then blocking a five, answering the opponent's forced win, a quiet move that sets up a forced
// win, and last the intersection with the highest static score.
#include "FastSearch.h"

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
  if (UseFastSearch) Fast->Load(Board, Threat, ForcedWinCalls);
  auto forcedWin = [&](uint8_t attacker, int32_t& winColumn, int32_t& winRow) {
    return UseFastSearch ? Fast->FindForcedWin(attacker, attacker, winColumn, winRow, ThreesAllowed,
                                               lists, depth)
                         : PlainSearch(attacker, attacker, winColumn, winRow, ThreesAllowed, lists,
                                       Threat, depth);
  };
  auto setsUpWin = [&](const CandidateEntry& entry) {
    return UseFastSearch
               ? Fast->WinsAfterMove(colour, entry.Column, entry.Row, ThreesAllowed, lists, depth)
               : WinsAfterMove(colour, entry.Column, entry.Row, ThreesAllowed, lists, Threat,
                               depth);
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
    for (int slot = 1; slot <= Last && theirs.Slot(slot).Level != 0; ++slot) {
      answer(theirs.Slot(slot));
      int32_t blockColumn = theirs.Slot(slot).Column, blockRow = theirs.Slot(slot).Row;
      if (!forcedWin(other, blockColumn, blockRow)) {
        ShowVerdict("you will win! ");
        return;
      }
    }
    answer(theirs.Slot(1));
    ShowVerdict("you win! ");
    return;
  }

  // A quiet move that sets up a forced win; on equal scores the later slot wins.
  const CandidateList& own = lists.Of(colour);
  double setUpScore = 0;
  for (int slot = 1; slot <= Last; ++slot) {
    const CandidateEntry& entry = own.Slot(slot);
    if (entry.Level >= ThreesAllowed) continue;
    if (entry.Level < 3) break;
    const double score = CellScore(colour, entry.Column, entry.Row);
    if (setsUpWin(entry) && score >= setUpScore) {
      setUpScore = score;
      answer(entry);
    }
  }
  if (setUpScore > 0) {
    ShowVerdict("I will win! ");
    return;
  }

  column = bestColumn;
  row = bestRow;
  ShowVerdict(" ");
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
