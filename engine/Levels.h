// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's levels. Normal is the design's player, ChooseMove at depth 16, unchanged.
// Beginner and Easy play it down: they always complete their own five, Easy always blocks the
// opponent's, and otherwise they miss threats and wins as people do, from a seed made of the
// position, so that the same position at the same level always gets the same move. Hard and
// Expert take the design's answer where it must block, Hard also where the design has found a
// win and Expert where its own search proves none; otherwise they search the threat table's
// candidates (Expert, where the design sees the opponent's forced win, only those after which the
// design's search finds it no more), deepening by iterations, with a transposition table made once,
// within a budget of time, nodes or depth, and a stop that answers at once: Hard by rollouts of
// the design's player, Expert by alpha-beta over both sides' threats.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string_view>

#include "GameBoard.h"

enum class TLevel { Beginner, Easy, Normal, Hard, Expert };

constexpr int LevelCount = 5;
// "Beginner", "Easy", "Normal", "Hard", "Expert".
const char* LevelName(TLevel level);
// A level by its name, without regard to case; false when there is none.
bool LevelOfName(std::string_view name, TLevel& level);

// How long Hard and Expert may think: every bound given holds, the first one reached ends the
// thought. With none given the search goes to its deepest.
struct TThinkLimits {
  int64_t Microseconds = 0;  // 0: no time bound
  uint64_t Nodes = 0;        // 0: no node bound
  int Depth = 0;             // 0: no depth bound
  // Read often while thinking: once true the best move found so far is answered at once.
  const std::atomic<bool>* Stop = nullptr;
};

// What the last thought of Hard or Expert reached.
struct TThinkReport {
  int Depth = 0;         // the deepest iteration completed
  uint64_t Nodes = 0;    // positions searched
  bool Stopped = false;  // ended by the stop or a bound before its deepest
  bool Won = false;      // Expert's move wins against every reply its search weighed
};

class TRolloutSearch;
class TAlphaBetaSearch;

// The computer player at a level. It owns the search's table, made with the player (of
// tableBytes, rounded down to whole entries) and never again while it thinks.
class TLevelPlayer {
 public:
  static constexpr size_t DefaultTableBytes = 32u << 20;

  explicit TLevelPlayer(size_t tableBytes = DefaultTableBytes);
  ~TLevelPlayer();
  TLevelPlayer(const TLevelPlayer&) = delete;
  TLevelPlayer& operator=(const TLevelPlayer&) = delete;

  // Picks the move of colour on engine's position at the level, into column and row, and
  // writes the verdict to status panel 0 through the engine's reporter, as ChooseMove does:
  // the design's texts for what the level found, " " otherwise. Board is as before on return.
  // limits bound Hard and Expert only.
  void Choose(TGameBoard& engine, TLevel level, uint8_t colour, int32_t& column, int32_t& row,
              const TThinkLimits& limits = {});

  const TThinkReport& LastThought() const { return Report; }
  // Empties the table, so that a thought does not lean on an earlier game's.
  void ClearTable();

 private:
  std::unique_ptr<TRolloutSearch> Search;
  std::unique_ptr<TAlphaBetaSearch> Tree;
  TThinkReport Report;
};

// The design's search budget, the depth that Normal's ChooseMove is given.
constexpr int32_t DesignDepth = 16;
