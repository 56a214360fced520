// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchKeys.h"

namespace {

constexpr int Cells = BoardSize * BoardSize;

struct TKeys {
  uint64_t Stone[2][Cells];
  uint64_t WhiteToMove;

  TKeys() {
    uint64_t state = 0x6c696e646f7261ull;
    auto next = [&state] {
      uint64_t z = (state += 0x9E3779B97F4A7C15ull);
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      return z ^ (z >> 31);
    };
    for (auto& colour : Stone)
      for (uint64_t& key : colour)
        key = next();
    WhiteToMove = next();
  }
};
const TKeys Keys;

}  // namespace

uint64_t StoneKey(uint8_t colour, uint8_t cell) {
  return Keys.Stone[colour - CellBlack][cell];
}

uint64_t WhiteToMoveKey() {
  return Keys.WhiteToMove;
}
