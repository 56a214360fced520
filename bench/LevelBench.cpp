// SPDX-License-Identifier: GPL-3.0-or-later
// Times the levels that think, over middle-game positions of seeded games (the tenth to the
// twentieth stone of games of the design's player): how many positions Expert's search looks
// at in a second and how deep it gets by then, and how long Hard and Expert take to answer once
// told to stop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "GameOpenings.h"
#include "Levels.h"

namespace {

struct TPosition {
  TGameBoard Engine;
  uint8_t Colour;
};

const std::vector<TPosition>& MiddleGames() {
  static const std::vector<TPosition> positions = [] {
    std::vector<TPosition> kept;
    std::mt19937 random(20261209);
    while (kept.size() < 10) {
      TGameBoard engine;
      uint8_t colour = PlaceOpening(engine, random, 4);
      for (int stone = 4; stone < 20; ++stone) {
        int32_t column = 0, row = 0;
        engine.ChooseMove(colour, column, row, DesignDepth);
        if (column == 0 || !PlayOn(engine, colour, column, row)) break;
        if (stone == 14) kept.push_back({engine, colour});
      }
    }
    return kept;
  }();
  return positions;
}

// A second of Expert on each position: positions a second and the depth reached, on average.
void ExpertSecond(benchmark::State& state) {
  TLevelPlayer player;
  double positions = 0, depth = 0, seconds = 0;
  int thoughts = 0;
  for (auto _ : state) {
    for (const TPosition& position : MiddleGames()) {
      TGameBoard engine = position.Engine;
      player.ClearTable();
      TThinkLimits limits;
      limits.Microseconds = 1000000;
      int32_t column = 0, row = 0;
      const auto start = std::chrono::steady_clock::now();
      player.Choose(engine, TLevel::Expert, position.Colour, column, row, limits);
      seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      positions += static_cast<double>(player.LastThought().Nodes);
      depth += player.LastThought().Depth;
      ++thoughts;
    }
  }
  state.counters["positions/s"] = positions / seconds;
  state.counters["depth"] = depth / thoughts;
}
BENCHMARK(ExpertSecond)->Iterations(1)->Unit(benchmark::kSecond);

// Hard and Expert told to stop a quarter of a second into an unbounded thought: the longest and
// the middle time from the stop to the answer, in milliseconds.
void StopToAnswer(benchmark::State& state) {
  TLevelPlayer player;
  std::vector<double> waits;
  for (auto _ : state) {
    for (const TPosition& position : MiddleGames()) {
      for (const TLevel level : {TLevel::Hard, TLevel::Expert}) {
        TGameBoard engine = position.Engine;
        std::atomic<bool> stop{false};
        TThinkLimits limits;
        limits.Stop = &stop;
        int32_t column = 0, row = 0;
        std::chrono::steady_clock::time_point told;
        std::thread thinker(
            [&] { player.Choose(engine, level, position.Colour, column, row, limits); });
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        told = std::chrono::steady_clock::now();
        stop = true;
        thinker.join();
        waits.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - told)
                .count());
      }
    }
  }
  std::sort(waits.begin(), waits.end());
  state.counters["max ms"] = waits.back();
  state.counters["median ms"] = waits[waits.size() / 2];
}
BENCHMARK(StopToAnswer)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
