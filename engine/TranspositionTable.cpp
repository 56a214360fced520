// SPDX-License-Identifier: GPL-3.0-or-later
#include "TranspositionTable.h"

TTranspositionTable::TTranspositionTable(size_t bytes) {
  size_t count = 1;
  while (count * 2 * sizeof(TEntry) <= bytes)
    count *= 2;
  Entries.assign(count, TEntry{});
  Mask = count - 1;
}

void TTranspositionTable::Clear() {
  for (TEntry& entry : Entries)
    entry = TEntry{};
}

void TTranspositionTable::Store(uint64_t key, int32_t score, uint8_t move, int depth,
                                TBound bound) {
  TEntry& entry = Entries[key & Mask];
  // The same position keeps its best move when the new search found none.
  if (entry.Key == key && move == 255) move = entry.Move;
  if (entry.Key != key && entry.Age == Age && entry.Depth > depth) return;
  entry = TEntry{key, score, move, static_cast<int8_t>(depth), bound, Age};
}
