// SPDX-License-Identifier: GPL-3.0-or-later
// The tree search's memory of positions already searched: a fixed block of entries made once,
// indexed by the position's key, each keeping the best move found there, the depth it was
// searched to and its score as an exact value or a bound. A newer or deeper result replaces an
// older one of the same slot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TTranspositionTable {
 public:
  enum class TBound : uint8_t { None, Exact, Lower, Upper };

  struct TEntry {
    uint64_t Key = 0;
    int32_t Score = 0;
    uint8_t Move = 0;  // the cell (column - 1) * 15 + row - 1, 255 for none
    int8_t Depth = 0;
    TBound Bound = TBound::None;
    uint8_t Age = 0;
  };
  static_assert(sizeof(TEntry) == 16, "four entries to a cache line");

  // At least one entry, at most as many as fit in bytes, rounded down to a power of two.
  explicit TTranspositionTable(size_t bytes);

  void Clear();
  // A new thought: entries of earlier ones give way first.
  void NextAge() { ++Age; }
  // The entry kept for key, or null.
  const TEntry* Find(uint64_t key) const {
    const TEntry& entry = Entries[key & Mask];
    return entry.Key == key && entry.Bound != TBound::None ? &entry : nullptr;
  }
  void Store(uint64_t key, int32_t score, uint8_t move, int depth, TBound bound);
  size_t Size() const { return Entries.size(); }

 private:
  std::vector<TEntry> Entries;
  uint64_t Mask;
  uint8_t Age = 0;
};
