// SPDX-License-Identifier: GPL-3.0-or-later
// Times the computer's move over a fixed corpus of positions from games, and the stone
// placement with its rescan.
//
// The corpus: from a fixed seed, games open with two to five random stones near the centre and
// go on with ChooseMove (depth 16) for both sides until five, a full board or no move; every
// position before a decision is kept, until there are 2,000 of them. Timing each decision on its
// own gives the spread (median, p99, maximum) that a mean would hide. The FindForcedWin count per
// decision is the stable figure: the plain search's changes only when the engine's behaviour
// does, the fast search's also when it learns to leave out more searches.
//
// The heavy set: the decisions with the most plain searches that we could find, timed on their
// own, since the corpus holds only a few of them (see Heavy).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "GameBoard.h"
#include "GameOpenings.h"

namespace {

constexpr int32_t GameDepth = 16;
constexpr size_t CorpusSize = 2000;

struct TPosition {
  TGameBoard Engine;
  uint8_t Colour;
  int32_t Column, Row;  // the move chosen there
};

const std::vector<TPosition>& Corpus() {
  static const std::vector<TPosition> corpus = [] {
    std::vector<TPosition> positions;
    std::mt19937 random(20261208);
    while (positions.size() < CorpusSize) {
      TGameBoard engine;
      uint8_t colour = PlaceOpening(engine, random, OpeningSize(random));
      while (positions.size() < CorpusSize) {
        int32_t column = 0, row = 0;
        engine.ChooseMove(colour, column, row, GameDepth);
        if (column == 0) break;
        positions.push_back({engine, colour, column, row});
        if (!PlayOn(engine, colour, column, row)) break;
      }
    }
    return positions;
  }();
  return corpus;
}

// The verdict a decision shows.
class TVerdict : public TReporter {
 public:
  std::string Text;
  void ShowMessage(std::string_view) override {}
  void SetPanelText(int panel, std::string_view text) override {
    if (panel == 0) Text = text;
  }
};

struct THeavyDecision {
  TGameBoard Engine;
  uint8_t Colour;
  uint64_t Calls;
  bool SetUpWin;
};

// Decides with the chosen search; answers the searches made and whether a set-up win was found.
THeavyDecision Counted(const TGameBoard& start, uint8_t colour, bool fast) {
  THeavyDecision decision{start, colour, 0, false};
  TVerdict verdict;
  decision.Engine.UseFastSearch = fast;
  decision.Engine.SetReporter(&verdict);
  int32_t column = 0, row = 0;
  decision.Engine.ChooseMove(colour, column, row, GameDepth);
  decision.Engine.SetReporter(nullptr);
  decision.Engine.UseFastSearch = true;
  decision.Calls = decision.Engine.ForcedWinCalls;
  decision.SetUpWin = verdict.Text == "I will win! ";
  return decision;
}

// The heaviest decisions: 300 games from a fixed seed in which every third move is a random one
// next to the stones and the others are the computer's, so that positions get tangled as real
// opponents tangle them. Every decision is counted with the fast search, the 200 heaviest again
// with the plain search, and of those the 20 with the most plain searches among the set-up wins
// and the 20 among the rest are kept.
const std::vector<THeavyDecision>& Heavy() {
  static const std::vector<THeavyDecision> heavy = [] {
    std::mt19937 random(7);
    std::vector<THeavyDecision> all;
    for (int game = 0; game < 300; ++game) {
      TGameBoard engine;
      uint8_t colour = PlaceOpening(engine, random, OpeningSize(random));
      for (int move = 0; move < 120; ++move) {
        all.push_back(Counted(engine, colour, true));
        int32_t column = 0, row = 0;
        engine.ChooseMove(colour, column, row, GameDepth);
        if (column == 0) break;
        if (move % 3 == 2) {
          for (int attempt = 0; attempt < 50; ++attempt) {
            const int32_t c = column + static_cast<int32_t>(random() % 5) - 2;
            const int32_t r = row + static_cast<int32_t>(random() % 5) - 2;
            if (InRange(c, 1, BoardSize) && InRange(r, 1, BoardSize) &&
                engine.Board[c][r] == CellEmpty) {
              column = c, row = r;
              break;
            }
          }
        }
        if (!PlayOn(engine, colour, column, row)) break;
      }
    }
    auto heavier = [](const THeavyDecision& a, const THeavyDecision& b) {
      return a.Calls > b.Calls;
    };
    std::sort(all.begin(), all.end(), heavier);
    all.resize(std::min<size_t>(all.size(), 200));
    for (THeavyDecision& decision : all)
      decision = Counted(decision.Engine, decision.Colour, false);
    std::sort(all.begin(), all.end(), heavier);
    std::vector<THeavyDecision> kept;
    for (bool setUpWin : {true, false}) {
      size_t taken = 0;
      for (const THeavyDecision& decision : all) {
        if (decision.SetUpWin == setUpWin && taken < 20) {
          kept.push_back(decision);
          ++taken;
        }
      }
    }
    return kept;
  }();
  return heavy;
}

template <typename T>
T Percentile(std::vector<T> values, double fraction) {
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

// Decides each position once, timed on its own, with the fast or the plain search, and puts the
// spread of times and searches in the benchmark's counters.
template <class TDecisions>
void TimeDecisions(benchmark::State& state, const TDecisions& decisions) {
  const bool fast = state.range(0) == 1;
  std::vector<double> latencies, calls;
  for (auto _ : state) {
    latencies.clear();
    calls.clear();
    for (const auto& decision : decisions) {
      TGameBoard engine = decision.Engine;
      engine.UseFastSearch = fast;
      int32_t column = 0, row = 0;
      const auto start = std::chrono::steady_clock::now();
      engine.ChooseMove(decision.Colour, column, row, GameDepth);
      const auto stop = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(column);
      latencies.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
      calls.push_back(static_cast<double>(engine.ForcedWinCalls));
    }
  }
  state.counters["positions"] = static_cast<double>(decisions.size());
  state.counters["median_us"] = Percentile(latencies, 0.5);
  state.counters["p99_us"] = Percentile(latencies, 0.99);
  state.counters["max_us"] = Percentile(latencies, 1.0);
  state.counters["calls_median"] = Percentile(calls, 0.5);
  state.counters["calls_p99"] = Percentile(calls, 0.99);
  state.counters["calls_max"] = Percentile(calls, 1.0);
  double total = 0;
  for (double count : calls)
    total += count;
  state.counters["calls_total"] = total;
}

// One iteration decides every position of the corpus once: with the fast search (argument 1),
// the engine's own way, or with the plain search it is checked against (argument 0).
void BM_ChooseMove(benchmark::State& state) {
  TimeDecisions(state, Corpus());
}
BENCHMARK(BM_ChooseMove)
    ->ArgName("fast")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Each heavy decision timed on its own with the fast search (argument 1) or the plain one (0);
// set_up_wins says how many of them find a set-up win.
void BM_HeavyDecisions(benchmark::State& state) {
  TimeDecisions(state, Heavy());
  double setUpWins = 0;
  for (const THeavyDecision& decision : Heavy())
    setUpWins += decision.SetUpWin;
  state.counters["set_up_wins"] = setUpWins;
}
BENCHMARK(BM_HeavyDecisions)
    ->ArgName("fast")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A stone placed and taken back again on each corpus position: two placements, each with the
// rescan of its four lines.
void BM_PlaceStone(benchmark::State& state) {
  std::vector<TPosition> corpus = Corpus();
  size_t next = 0;
  for (auto _ : state) {
    TPosition& position = corpus[next];
    benchmark::DoNotOptimize(
        position.Engine.PlaceStone(position.Column, position.Row, position.Colour));
    benchmark::DoNotOptimize(position.Engine.PlaceStone(position.Column, position.Row, CellEmpty));
    next = next + 1 == corpus.size() ? 0 : next + 1;
  }
  state.SetItemsProcessed(2 * static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PlaceStone);

}  // namespace

BENCHMARK_MAIN();
