// SPDX-License-Identifier: GPL-3.0-or-later
// The levels: their names, and the choice of a move at each.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

#include "AlphaBetaSearch.h"
#include "LevelPlay.h"
#include "Levels.h"
#include "RolloutSearch.h"

namespace {

constexpr const char* Names[LevelCount] = {"Beginner", "Easy", "Normal", "Hard", "Expert"};
constexpr const char* VerdictTexts[] = {" ", "I win! ", "I will win! ", "you will win! ",
                                        "you win! "};

// The verdict the design writes to panel 0, caught; everything else goes on to the engine's own
// reporter.
class TVerdictCatcher : public TReporter {
 public:
  explicit TVerdictCatcher(TReporter* next) : Next(next) {}
  void ShowMessage(std::string_view text) override {
    if (Next != nullptr) Next->ShowMessage(text);
  }
  void SetPanelText(int panel, std::string_view text) override {
    if (panel != 0) {
      if (Next != nullptr) Next->SetPanelText(panel, text);
      return;
    }
    Verdict = TVerdict::None;
    for (const TVerdict known : {TVerdict::Win, TVerdict::SetUp, TVerdict::Defence, TVerdict::Lost})
      if (text == VerdictText(known)) Verdict = known;
  }
  TVerdict Verdict = TVerdict::None;

 private:
  TReporter* Next;
};

// How Hard and Expert differ beside their time: the candidates they weigh, and how far ahead
// their rollouts look at most.
struct TLevelShape {
  int Candidates;
  int Horizon;
};
constexpr TLevelShape Hard{8, 32}, Expert{20, TRolloutSearch::MaxHorizon};

// Adds the empty intersections that carry a level, best first by the design's weights for both
// colours, to the candidates, up to most in all; none twice.
void RankCandidates(const TGameBoard& engine, int32_t (*candidates)[2], int& count, int most) {
  double weights[TRolloutSearch::MaxCandidates];
  const int first = count;
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      if (engine.Board[column][row] != CellEmpty) continue;
      if (column == candidates[0][0] && row == candidates[0][1]) continue;
      const double weight = CellWeight(engine, column, row);
      if (weight > 0) KeepBest(weights, candidates, count, most, first, weight, column, row);
    }
  }
}

// Where the design sees the opponent's forced win, drops the candidates after which its search
// (by fours and threes) still finds it. The design's own move, first, is such a defence and
// stays, and so do the candidates not yet looked at when a stop comes or half of the time is gone.
void KeepDefences(TGameBoard& engine, uint8_t colour, int32_t (*candidates)[2], int& count,
                  const TThinkLimits& limits, std::chrono::steady_clock::time_point start) {
  const uint8_t other = Opponent(colour);
  const uint64_t calls = engine.ForcedWinCalls;
  CandidateLists lists{};
  engine.FillCandidates(lists);
  auto late = [&] {
    return (limits.Stop != nullptr && limits.Stop->load()) ||
           (limits.Microseconds > 0 && std::chrono::steady_clock::now() - start >
                                           std::chrono::microseconds(limits.Microseconds / 2));
  };
  int kept = 1;
  for (int index = 1; index < count; ++index) {
    int32_t column = candidates[index][0], row = candidates[index][1];
    if (!late() &&
        engine.FindForcedWin(other, other, column, row, 7, lists, engine.Threat, DesignDepth))
      continue;
    candidates[kept][0] = candidates[index][0];
    candidates[kept++][1] = candidates[index][1];
  }
  count = kept;
  // The count stays that of the design's own decision.
  engine.ForcedWinCalls = calls;
}

bool HasFivePoint(const TGameBoard& engine, uint8_t colour) {
  int32_t column = 0, row = 0;
  return FivePoint(engine, colour, column, row);
}

void ShowVerdict(const TGameBoard& engine, TVerdict verdict) {
  if (engine.GetReporter() != nullptr) engine.GetReporter()->SetPanelText(0, VerdictText(verdict));
}

}  // namespace

const char* VerdictText(TVerdict verdict) {
  return VerdictTexts[static_cast<int>(verdict)];
}

const char* LevelName(TLevel level) {
  return Names[static_cast<int>(level)];
}

bool LevelOfName(std::string_view name, TLevel& level) {
  for (int index = 0; index < LevelCount; ++index) {
    const std::string_view known = Names[index];
    if (known.size() != name.size()) continue;
    bool same = true;
    for (size_t at = 0; at < known.size(); ++at)
      same = same && std::tolower(static_cast<unsigned char>(name[at])) ==
                         std::tolower(static_cast<unsigned char>(known[at]));
    if (same) {
      level = static_cast<TLevel>(index);
      return true;
    }
  }
  return false;
}

TVerdict DesignMove(TGameBoard& engine, uint8_t colour, int32_t depth, int32_t& column,
                    int32_t& row) {
  TReporter* own = engine.GetReporter();
  TVerdictCatcher catcher(own);
  engine.SetReporter(&catcher);
  engine.ChooseMove(colour, column, row, depth);
  engine.SetReporter(own);
  return catcher.Verdict;
}

TLevelPlayer::TLevelPlayer(size_t tableBytes)
    : Search(std::make_unique<TRolloutSearch>(tableBytes / 2)),
      Tree(std::make_unique<TAlphaBetaSearch>(tableBytes / 2)) {}

TLevelPlayer::~TLevelPlayer() = default;

void TLevelPlayer::ClearTable() {
  Search->ClearTable();
  Tree->ClearTable();
}

// Hard and Expert: the design's answer where it has a five to block, and Hard's where the design
// has a forced win; otherwise the best of the candidates by the search, with the design's
// verdict for the position.
void TLevelPlayer::Choose(TGameBoard& engine, TLevel level, uint8_t colour, int32_t& column,
                          int32_t& row, const TThinkLimits& limits) {
  Report = TThinkReport{};
  if (level == TLevel::Normal) {
    engine.ChooseMove(colour, column, row, DesignDepth);
    return;
  }
  TVerdict verdict;
  if (level == TLevel::Beginner || level == TLevel::Easy) {
    verdict = WeakMove(engine, level, colour, column, row);
    ShowVerdict(engine, verdict);
    return;
  }
  const auto start = std::chrono::steady_clock::now();
  verdict = DesignMove(engine, colour, DesignDepth, column, row);
  // The design's forced win holds only against a defence like its own: Expert searches on and
  // plays the design's move only where its search proves no win of its own.
  const bool checkWin = level == TLevel::Expert && verdict == TVerdict::Win;
  if ((verdict == TVerdict::Win && !checkWin) || HasFivePoint(engine, Opponent(colour)) ||
      column == 0) {
    ShowVerdict(engine, verdict);
    return;
  }
  const TLevelShape shape = level == TLevel::Hard ? Hard : Expert;
  // The design's own move first, then the intersections its threat table ranks highest.
  int32_t candidates[TRolloutSearch::MaxCandidates][2];
  int count = 0;
  candidates[count][0] = column;
  candidates[count++][1] = row;
  RankCandidates(engine, candidates, count, shape.Candidates);
  if (level == TLevel::Expert && verdict == TVerdict::Defence)
    KeepDefences(engine, colour, candidates, count, limits, start);
  // The design's decision above came out of the same time.
  TThinkLimits rest = limits;
  rest.Depth = limits.Depth > 0 ? std::min(limits.Depth, shape.Horizon) : shape.Horizon;
  if (limits.Microseconds > 0) {
    const int64_t spent = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
    rest.Microseconds = std::max<int64_t>(1, limits.Microseconds - spent);
  }
  int best = level == TLevel::Hard ? Search->Think(engine, colour, candidates, count, rest, Report)
                                   : Tree->Think(engine, colour, candidates, count, rest, Report);
  if (checkWin && !Report.Won) best = 0;
  column = candidates[best][0];
  row = candidates[best][1];
  ShowVerdict(engine, verdict);
}
