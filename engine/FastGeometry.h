// SPDX-License-Identifier: GPL-3.0-or-later
// What the fast search's parts share: how a cell and its lines are numbered, the bit masks of a
// line read around a stone, the fixed tables of lines and windows, and the judging of windows by
// mask arithmetic. Private to the engine.
#pragma once

#include <cstdint>

#include "FastSearch.h"

namespace FastSearchBits {

constexpr int Slots = CandidateList::SlotCount;

// Cell steps of the four directions: (+1, 0), (+1, +1), (0, +1), (-1, +1).
constexpr int32_t CellStep[4] = {16, 17, 1, -15};

inline uint8_t CellOf(int32_t column, int32_t row) {
  return static_cast<uint8_t>(column * 16 + row);
}

// A line read around a stone: bit 11 + k is the cell at offset k. Offsets -9..+9 come from the
// board; everything further away reads as the border, as in the plain refresh's line buffer.
constexpr uint32_t Reach = 0x1FFFFC;  // offsets -9..+9
constexpr uint32_t Near = 0x1FFC0;    // offsets -5..+5
constexpr uint32_t Before = 0x7C0;    // offsets -5..-1
constexpr uint32_t After = 0x1F000;   // offsets +1..+5
constexpr int OffsetBit = 11;
constexpr uint32_t FirstsBefore = 0x7C;    // windows starting at -9..-5
constexpr uint32_t FirstsAfter = 0x1F000;  // windows starting at +1..+5
constexpr uint32_t FirstsThrough = 0xF80;  // windows starting at -4..0

inline bool Bit(uint32_t bits, int index) {
  return (bits >> index) & 1u;
}

inline int LowestBit(uint32_t bits) {
  return __builtin_ctz(bits);
}

inline int HighestBit(uint32_t bits) {
  return 31 - __builtin_clz(bits);
}

// The highest of a cell's levels in the directions other than skip, from one colour's levels.
inline int8_t OthersMax(const int8_t* levels, const uint16_t* offsets, int skip) {
  int8_t highest = 0;
  for (int direction = 0; direction < 4; ++direction) {
    if (direction != skip && levels[offsets[direction]] > highest)
      highest = levels[offsets[direction]];
  }
  return highest;
}

}  // namespace FastSearchBits

struct TFastSearch::TGeometry {
  // Which line of a direction a cell lies on, and its index along that line; the index grows by
  // one per step in the direction. Line masks hold index i at bit 16 + i.
  struct TLinePlace {
    uint8_t Line, Index;
  };
  TLinePlace Places[256][4];
  uint64_t Inner[4][32];  // the inner cells of each line
  // The levels a live (0) or dead (1) window gives its five cells; the index is the window's
  // stone mask with bit p for its p-th cell.
  int8_t WindowLevels[32][2][5];
  uint8_t StoneCount[32];  // stones in a five-bit window
  // Where a cell's level of each direction lies in one colour's LineLevels.
  uint16_t LevelOffsets[256][4];

  TGeometry() : Places{}, Inner{}, WindowLevels{}, StoneCount{}, LevelOffsets{} {
    using FastSearchBits::CellOf;
    for (int32_t column = 1; column <= BoardSize; ++column) {
      for (int32_t row = 1; row <= BoardSize; ++row) {
        const TGeometry::TLinePlace places[4] = {
            {static_cast<uint8_t>(row), static_cast<uint8_t>(column)},
            {static_cast<uint8_t>(column - row + 15), static_cast<uint8_t>(column)},
            {static_cast<uint8_t>(column), static_cast<uint8_t>(row)},
            {static_cast<uint8_t>(column + row), static_cast<uint8_t>(row)}};
        for (int direction = 0; direction < 4; ++direction) {
          Places[CellOf(column, row)][direction] = places[direction];
          LevelOffsets[CellOf(column, row)][direction] = static_cast<uint16_t>(
              (direction * 32 + places[direction].Line) * LineBytes + 16 + places[direction].Index);
          Inner[direction][places[direction].Line] |= uint64_t{1} << (16 + places[direction].Index);
        }
      }
    }
    for (uint32_t stones = 0; stones < 32; ++stones) {
      const int count = __builtin_popcount(stones);
      StoneCount[stones] = static_cast<uint8_t>(count);
      if (count < 2 || count > 4) continue;
      uint8_t mask = 0;  // the pattern tables put the window's first cell in the top bit
      for (int p = 0; p < 5; ++p) {
        if (stones & (1u << p)) mask |= static_cast<uint8_t>(1u << (4 - p));
      }
      for (int dead = 0; dead < 2; ++dead)
        TGameBoard::WindowLevels(mask, count, dead == 1, WindowLevels[stones][dead]);
    }
  }
};

const TFastSearch::TGeometry& TheGeometry();

// Raises best (indexed by bit) to what each window starting at a bit of firsts gives its empty
// cells in allowed. Taking every window on its own and passing over any that holds a blocker (an
// opposing stone or the border) is what the plain pass does when it jumps past a blocking cell:
// the windows it jumps over all hold that cell.
inline void TFastSearch::RaiseWindows(uint32_t stones, uint32_t empty, uint32_t firsts,
                                      uint32_t allowed, int8_t best[32]) const {
  using FastSearchBits::Bit, FastSearchBits::LowestBit;
  const uint32_t open = stones | empty;
  const uint32_t blocked = ~open;
  // Bit b of each mask speaks of the window whose first cell is bit b: open throughout, holding
  // two stones or more, holding five.
  uint32_t clear = ~0u, once = 0, twice = 0, five = ~0u;
  for (int p = 0; p < 5; ++p) {
    clear &= open >> p;
    twice |= once & stones >> p;
    once |= stones >> p;
    five &= stones >> p;
  }
  for (uint32_t bits = clear & twice & ~five & firsts; bits != 0; bits &= bits - 1) {
    const int b = LowestBit(bits);
    const uint32_t window = (stones >> b) & 31u;
    const int count = Geometry.StoneCount[window];
    bool dead = false;
    if (count == 3) {
      const bool bothEnds = Bit(empty, b - 1) && Bit(empty, b + 5);
      const bool inSix = Bit(empty, b) && Bit(empty, b + 5) && !Bit(empty, b + 6);
      dead = !bothEnds && !inSix;
    } else if (count == 2) {
      dead = Bit(blocked, b - 1) || Bit(blocked, b + 5);
    }
    const int8_t* levels = Geometry.WindowLevels[window][dead ? 1 : 0];
    for (uint32_t targets = (empty & allowed) >> b & 31u; targets != 0; targets &= targets - 1) {
      const int p = LowestBit(targets);
      if (levels[p] > best[b + p]) best[b + p] = levels[p];
    }
  }
}

// The line through cell in one direction, read around it: colour's stones with one on cell
// (placed or not), the opponent's stones, and the empty inner cells.
inline TFastSearch::TLineRead TFastSearch::ReadLine(int colour, int direction, uint8_t cell) const {
  using FastSearchBits::OffsetBit, FastSearchBits::Reach;
  const TGeometry::TLinePlace place = Geometry.Places[cell][direction];
  const int shift = place.Index + 16 - OffsetBit;
  const uint64_t stone = uint64_t{1} << (16 + place.Index);
  TLineRead line;
  line.Own =
      static_cast<uint32_t>((Stones[colour][direction][place.Line] | stone) >> shift) & Reach;
  line.Theirs = static_cast<uint32_t>(Stones[1 - colour][direction][place.Line] >> shift) & Reach;
  const uint32_t inner =
      static_cast<uint32_t>(Geometry.Inner[direction][place.Line] >> shift) & Reach;
  line.Empty = inner & ~line.Own & ~line.Theirs;
  return line;
}
