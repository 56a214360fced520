// SPDX-License-Identifier: GPL-3.0-or-later
// The computer player works on fixed-size values only: no heap allocation while a move is
// chosen. Every operator new of this program is counted, and the count must not move across
// ChooseMove on positions from seeded games.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "GameBoard.h"
#include "GameOpenings.h"
#include "Levels.h"

namespace {
std::atomic<uint64_t> Allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++Allocations;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  ++Allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}

namespace {

// A reporter that keeps the last verdict in a fixed buffer, as a window's panel would.
class TQuietReporter : public TReporter {
 public:
  char Panel[32] = {};
  void ShowMessage(std::string_view) override {}
  void SetPanelText(int, std::string_view text) override {
    const size_t length = text.copy(Panel, sizeof Panel - 1);
    Panel[length] = '\0';
  }
};

TEST(Allocation, ChooseMoveAllocatesNothing) {
  TQuietReporter reporter;
  std::mt19937 random(2024);
  int decisions = 0;
  uint64_t searches = 0;
  for (int game = 0; game < 12; ++game) {
    TGameBoard engine;
    engine.UseFastSearch = game % 3 != 0;  // the plain search is checked in every third game
    engine.SetReporter(&reporter);
    uint8_t colour = PlaceOpening(engine, random, 3);
    for (int ply = 0; ply < 60; ++ply) {
      int32_t column = 0, row = 0;
      const uint64_t before = Allocations.load();
      engine.ChooseMove(colour, column, row, ply % 4 == 0 ? 16 : 6);
      ASSERT_EQ(Allocations.load(), before) << "game " << game << ", ply " << ply;
      ++decisions;
      searches += engine.ForcedWinCalls;
      if (column == 0) break;
      if (!PlayOn(engine, colour, column, row)) break;
    }
  }
  EXPECT_GT(decisions, 200);
  EXPECT_GT(searches, 1000u);
}

// The levels as well, once the player and its tables are made: Beginner's draws, Hard's
// rollouts and Expert's search, within a node budget.
TEST(Allocation, LevelsAllocateNothingOnceMade) {
  TQuietReporter reporter;
  TLevelPlayer player(1 << 20);
  std::mt19937 random(7);
  TThinkLimits limits;
  limits.Nodes = 40;
  for (int game = 0; game < 2; ++game) {
    TGameBoard engine;
    engine.SetReporter(&reporter);
    uint8_t colour = PlaceOpening(engine, random, 3);
    for (int ply = 0; ply < 24; ++ply) {
      const TLevel level = ply % 2 == 1   ? TLevel::Beginner
                           : ply % 4 == 0 ? TLevel::Expert
                                          : TLevel::Hard;
      int32_t column = 0, row = 0;
      const uint64_t before = Allocations.load();
      player.Choose(engine, level, colour, column, row, limits);
      ASSERT_EQ(Allocations.load(), before) << LevelName(level) << ", game " << game;
      if (column == 0 || !PlayOn(engine, colour, column, row)) break;
    }
  }
}

// The counter itself works: an array on the heap is seen. The pointer is kept where the
// compiler must assume it is read, since clang drops a new and delete pair nothing uses.
TEST(Allocation, CounterSeesTheHeap) {
  const uint64_t before = Allocations.load();
  int* volatile block = new int[16];
  delete[] block;
  EXPECT_EQ(Allocations.load(), before + 1);
}

}  // namespace
