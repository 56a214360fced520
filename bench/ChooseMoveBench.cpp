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
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
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

template <typename T>
T Percentile(std::vector<T> values, double fraction) {
  std::sort(values.begin(), values.end());
  const size_t index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

// One iteration decides every position of the corpus once: with the fast search (argument 1),
// the engine's own way, or with the plain search it is checked against (argument 0).
void BM_ChooseMove(benchmark::State& state) {
  const bool fast = state.range(0) == 1;
  const std::vector<TPosition>& corpus = Corpus();
  std::vector<double> latencies;
  std::vector<double> calls;
  for (auto _ : state) {
    latencies.clear();
    calls.clear();
    for (const TPosition& position : corpus) {
      TGameBoard engine = position.Engine;
      engine.UseFastSearch = fast;
      int32_t column = 0, row = 0;
      const auto start = std::chrono::steady_clock::now();
      engine.ChooseMove(position.Colour, column, row, GameDepth);
      const auto stop = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(column);
      latencies.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
      calls.push_back(static_cast<double>(engine.ForcedWinCalls));
    }
  }
  state.counters["positions"] = static_cast<double>(corpus.size());
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
BENCHMARK(BM_ChooseMove)
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
