// SPDX-License-Identifier: GPL-3.0-or-later
// The fast forced-win search. Each operation follows its plain twin (Candidates.cpp, ForcedWin.cpp,
// MoveChoice.cpp) step for step; the comments say only where the way differs.
#include "FastSearch.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "SearchTurns.h"

#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
#include <emmintrin.h>
#endif

namespace {

constexpr int Slots = CandidateList::SlotCount;

// Cell steps of the four directions: (+1, 0), (+1, +1), (0, +1), (-1, +1).
constexpr int32_t CellStep[4] = {16, 17, 1, -15};

uint8_t CellOf(int32_t column, int32_t row) {
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

}  // namespace

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

namespace {

const TFastSearch::TGeometry& TheGeometry() {
  static const TFastSearch::TGeometry geometry;
  return geometry;
}

bool Bit(uint32_t bits, int index) {
  return (bits >> index) & 1u;
}

int LowestBit(uint32_t bits) {
  return __builtin_ctz(bits);
}

int HighestBit(uint32_t bits) {
  return 31 - __builtin_clz(bits);
}

}  // namespace

// Raises best (indexed by bit) to what each window starting at a bit of firsts gives its empty
// cells in allowed. Taking every window on its own and passing over any that holds a blocker (an
// opposing stone or the border) is what the plain pass does when it jumps past a blocking cell:
// the windows it jumps over all hold that cell.
inline void TFastSearch::RaiseWindows(uint32_t stones, uint32_t empty, uint32_t firsts,
                                      uint32_t allowed, int8_t best[32]) const {
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

TFastSearch::TFastSearch() : Geometry(TheGeometry()) {}

// Writes a refresh's window levels into the two segments: the opponent's become what its windows
// give (0 where none does, as after the reset), the stone's colour keeps the higher of old and
// new. Only empty cells in reach get a window level, and every window level is above 0. The
// raised marks come back as bits of the line masks.
void TFastSearch::WriteRaised(const int8_t bestTheirs[32], int8_t* theirLevels,
                              uint32_t& theirsRaised, const int8_t bestOwn[32], int8_t* ownLevels,
                              uint32_t& ownRaised) {
  constexpr int NearBit = OffsetBit - 5;
  std::memcpy(theirLevels, bestTheirs + NearBit, Segment);
#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
  // Sixteen lanes at a time: the five past the segment hold no window level, so they keep
  // their old bytes.
  const __m128i zero = _mm_setzero_si128();
  const __m128i theirs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bestTheirs + NearBit));
  theirsRaised = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpgt_epi8(theirs, zero))) << NearBit;
  const __m128i own = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bestOwn + NearBit));
  const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ownLevels));
  const __m128i up = _mm_and_si128(_mm_cmpgt_epi8(own, old), _mm_cmpgt_epi8(own, zero));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(ownLevels),
                   _mm_or_si128(_mm_and_si128(up, own), _mm_andnot_si128(up, old)));
  ownRaised = static_cast<uint32_t>(_mm_movemask_epi8(up)) << NearBit;
#else
  theirsRaised = ownRaised = 0;
  for (int j = 0; j < Segment; ++j) {
    theirsRaised |= static_cast<uint32_t>(bestTheirs[NearBit + j] > 0) << (NearBit + j);
    const int8_t ownLevel = bestOwn[NearBit + j];
    const bool up = ownLevel > 0 && ownLevel > ownLevels[j];
    if (up) ownLevels[j] = ownLevel;
    ownRaised |= static_cast<uint32_t>(up) << (NearBit + j);
  }
#endif
}

// The list walks of a ranking. A slot is four bytes, Level, Cell and LevelSum from the lowest
// byte up; the SSE2 forms look at all twelve slots at once and find what the plain walks find.
int TFastSearch::SlotOf(const TList& list, uint8_t cell) {
#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
  const __m128i want = _mm_set1_epi32(cell << 8);
  const __m128i cells = _mm_set1_epi32(0xFF00);
  int found = 0;
  for (int part = 0; part < 3; ++part) {
    const __m128i slots = _mm_loadu_si128(reinterpret_cast<const __m128i*>(list + 4 * part));
    const __m128i same = _mm_cmpeq_epi32(_mm_and_si128(slots, cells), want);
    found |= _mm_movemask_ps(_mm_castsi128_ps(same)) << (4 * part);
  }
  return LowestBit(static_cast<uint32_t>(found));
#else
  int found = 0;
  while (list[found].Cell != cell)
    ++found;
  return found;
#endif
}

// The first slot whose Level is lower, or equal with a lower LevelSum: the first slot below the
// newcomer in the order of (Level, LevelSum). There is one, since slot 12's Level is lower.
int TFastSearch::InsertionSlot(const TList& list, int8_t level, int32_t levelSum) {
#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
  const __m128i newcomer = _mm_set1_epi32(level * 65536 + (levelSum + 32768));
  const __m128i bias = _mm_set1_epi32(0x8000);
  int below = 0;
  for (int part = 0; part < 3; ++part) {
    const __m128i slots = _mm_loadu_si128(reinterpret_cast<const __m128i*>(list + 4 * part));
    const __m128i key = _mm_or_si128(_mm_srai_epi32(_mm_slli_epi32(slots, 24), 8),
                                     _mm_xor_si128(_mm_srli_epi32(slots, 16), bias));
    below |= _mm_movemask_ps(_mm_castsi128_ps(_mm_cmplt_epi32(key, newcomer))) << (4 * part);
  }
  return LowestBit(static_cast<uint32_t>(below));
#else
  int place = 0;
  while (list[place].Level > level ||
         (list[place].Level == level && list[place].LevelSum >= levelSum)) {
    ++place;
  }
  return place;
#endif
}

// Moves slots place..11 (from 0) one down, slot 12 dropping out, and writes entry at place.
void TFastSearch::InsertAt(TList& list, int place, const TSlot& entry) {
#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
  // Each lane takes its own slot before place and its upper neighbour's after it.
  __m128i* lanes = reinterpret_cast<__m128i*>(list);
  __m128i carry = _mm_setzero_si128();
  const __m128i lane = _mm_set_epi32(3, 2, 1, 0);
  for (int part = 0; part < 3; ++part) {
    const __m128i slots = _mm_loadu_si128(lanes + part);
    const __m128i moved = _mm_or_si128(_mm_slli_si128(slots, 4), _mm_srli_si128(carry, 12));
    const __m128i after =
        _mm_cmpgt_epi32(_mm_add_epi32(lane, _mm_set1_epi32(4 * part)), _mm_set1_epi32(place));
    _mm_storeu_si128(lanes + part,
                     _mm_or_si128(_mm_and_si128(after, moved), _mm_andnot_si128(after, slots)));
    carry = slots;
  }
#else
  for (int slot = Slots - 1; slot > place; --slot)
    list[slot] = list[slot - 1];
#endif
  list[place] = entry;
}

TFastSearchMemory::TFastSearchMemory() : Search(std::make_unique<TFastSearch>()) {}
TFastSearchMemory::TFastSearchMemory(const TFastSearchMemory&) : TFastSearchMemory() {}
TFastSearchMemory::~TFastSearchMemory() = default;

void TFastSearch::Load(const uint8_t (&board)[17][17], const TThreatTable& threats) {
  const TGeometry& geometry = Geometry;
  UndoSize = 0;
  Calls = 0;
  std::memset(Board, CellBorder, sizeof Board);
  std::memset(Stones, 0, sizeof Stones);
  std::memset(LineLevels, 0, sizeof LineLevels);
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row) {
      const uint8_t cell = CellOf(column, row);
      Board[cell] = board[column][row];
      if (Board[cell] >= CellBlack) {
        for (int direction = 0; direction < 4; ++direction) {
          const TGeometry::TLinePlace place = geometry.Places[cell][direction];
          Stones[Board[cell] - CellBlack][direction][place.Line] |= uint64_t{1}
                                                                    << (16 + place.Index);
        }
      }
      for (int colour = 0; colour < 2; ++colour) {
        for (int direction = 0; direction < 4; ++direction) {
          (&LineLevels[colour][0][0][0])[geometry.LevelOffsets[cell][direction]] =
              threats.Levels[colour][column - 1][row - 1][direction];
        }
      }
    }
  }
}

bool TFastSearch::Fits(const CandidateLists& lists) {
  for (const CandidateList& list : lists.Lists) {
    bool listed[256] = {};
    for (const CandidateEntry& entry : list.Slots) {
      const bool none = entry.Column == 0 && entry.Row == 0 && entry.Level == 0;
      const bool inner = InRange(entry.Column, 1, BoardSize) && InRange(entry.Row, 1, BoardSize);
      if (!none && !inner) return false;
      if (!InRange(entry.LevelSum, INT16_MIN, INT16_MAX)) return false;
      if (inner && std::exchange(listed[CellOf(entry.Column, entry.Row)], true)) return false;
    }
  }
  return true;
}

void TFastSearch::LoadLists(const CandidateLists& lists) {
  std::memset(Lists.Listed, 0, sizeof Lists.Listed);
  for (int colour = 0; colour < 2; ++colour) {
    for (int slot = 0; slot < Slots; ++slot) {
      const CandidateEntry& entry = lists.Lists[colour].Slots[slot];
      Lists.Of[colour][slot] =
          TSlot{entry.Level, entry.Column == 0 ? uint8_t{0} : CellOf(entry.Column, entry.Row),
                static_cast<int16_t>(entry.LevelSum)};
      if (entry.Column != 0) Lists.Mark(colour, CellOf(entry.Column, entry.Row), true);
    }
  }
}

bool TFastSearch::FindForcedWin(uint8_t attacker, uint8_t toMove, int32_t& column, int32_t& row,
                                uint8_t minLevel, const CandidateLists& lists, int32_t depth) {
  LoadLists(lists);
  const uint8_t given = column > 0 ? CellOf(column, row) : 0;
  uint8_t cell = given;
  const bool won = Search(attacker, toMove, cell, minLevel, depth);
  // The pair changes only where the attacker's turn handed on a move.
  if (cell != given) {
    column = cell >> 4;
    row = cell & 15;
  }
  return won;
}

TFastSearch::TTrial TFastSearch::SetUpAnswer(uint8_t colour, int32_t column, int32_t row, int slot,
                                             uint8_t minLevel, const CandidateLists& lists,
                                             int32_t depth) {
  LoadLists(lists);
  const size_t mark = UndoSize;
  const uint8_t cell = CellOf(column, row);
  const uint8_t under = Board[cell];
  Put(cell, colour);
  RefreshLines(cell);
  TTrial trial = TTrial::Ended;
  if (Level(colour, slot) >= minLevel) {
    uint8_t answer = Move(colour, slot);
    trial = Search(colour, colour, answer, minLevel, depth) ? TTrial::Won : TTrial::Lost;
  }
  Put(cell, under);
  UndoTo(mark);
  return trial;
}

bool TFastSearch::Try(uint8_t attacker, uint8_t toMove, uint8_t minLevel, uint8_t& cell,
                      int32_t depth, bool foursFail) {
  // With no depth left the search answers false. So does the defender to move with one level
  // left: whatever its lists say, it answers false at once or after a block, and a block is a
  // search with no depth left. Neither needs its stone placed.
  if (depth <= 0 || (depth == 1 && toMove != attacker)) {
    ++Calls;
    return false;
  }
  if (depth == 2 && toMove == attacker && cell != 0) {
    const int answer = AnswerAtTwo(attacker, cell);
    if (answer >= 0) {
      ++Calls;
      return answer == 1;
    }
  }
  return Search(attacker, toMove, cell, minLevel, depth, foursFail);
}

// One level: the lists are saved whole and the table's changes logged, and both are put back
// before returning, which leaves the caller's position as the plain search's copy would.
bool TFastSearch::Search(uint8_t attacker, uint8_t toMove, uint8_t& cell, uint8_t minLevel,
                         int32_t depth, bool foursFail) {
  ++Calls;
  if (depth <= 0) return false;
  if (Stopped != nullptr && Stopped->load(std::memory_order_relaxed)) return false;

  const TLists saved = Lists;
  const size_t mark = UndoSize;
  const uint8_t placed = cell;
  const uint8_t under = Board[placed];
  if (placed != 0) {
    const uint8_t mover = Opponent(toMove);
    Put(placed, mover);
    for (TSlot& slot : Lists.Of[mover - CellBlack])
      slot = TSlot{0, 0, 0};
    for (uint64_t& word : Lists.Listed[mover - CellBlack])
      word = 0;
    Drop(toMove - CellBlack, placed);
    RefreshLines(placed);
  }

  const bool won = toMove == attacker ? SearchTurns::AttackersTurn(*this, attacker, cell, minLevel,
                                                                   depth, foursFail)
                                      : SearchTurns::DefendersTurn<TFastSearch, uint8_t>(
                                            *this, attacker, minLevel, depth, foursFail);

  if (placed != 0) Put(placed, under);
  Lists = saved;
  UndoTo(mark);
  return won;
}

// The attacker to move with two levels left, after the defender's stone on cell. Every search it
// could hand on has one level left with the defender to move, or none, and answers false, so its
// answer is its lists' top levels: a five point wins; so does an open-four point, unless the
// defender now has a five point. Those levels come from the four lines through the stone without
// placing it or ranking anything. The defender's list holds only what its stone raised, and its
// levels only rise. The attacker's top entry is its highest cell at 10 or more as long as fewer
// than twelve cells ever stand there during the refresh: then none is pushed out or kept out of
// the list. Answers 1 or 0, or -1 where that count is reached and the full search must decide.
int TFastSearch::AnswerAtTwo(uint8_t attacker, uint8_t cell) const {
  const TGeometry& geometry = Geometry;
  const int a = attacker - CellBlack, d = 1 - a;
  const int8_t* attackerLevels = &LineLevels[a][0][0][0];
  const int8_t* defenderLevels = &LineLevels[d][0][0][0];
  uint64_t touched[4] = {};
  int8_t top = 0;
  int high = 0;
  bool defenderFive = false;
  auto othersMax = [](const int8_t* levels, const uint16_t* offsets, int skip) {
    int8_t highest = 0;
    for (int direction = 0; direction < 4; ++direction) {
      if (direction != skip && levels[offsets[direction]] > highest)
        highest = levels[offsets[direction]];
    }
    return highest;
  };
  for (int direction = 0; direction < 4; ++direction) {
    const TGeometry::TLinePlace place = geometry.Places[cell][direction];
    const int shift = place.Index + 16 - OffsetBit;
    const uint64_t stone = uint64_t{1} << (16 + place.Index);
    const uint32_t own =
        static_cast<uint32_t>((Stones[d][direction][place.Line] | stone) >> shift) & Reach;
    const uint32_t theirs =
        static_cast<uint32_t>(Stones[a][direction][place.Line] >> shift) & Reach;
    const uint32_t inner =
        static_cast<uint32_t>(geometry.Inner[direction][place.Line] >> shift) & Reach;
    const uint32_t empty = inner & ~own & ~theirs;
    int8_t bestAttacker[32] = {}, bestDefender[32] = {};
    RaiseWindows(theirs, empty, FirstsBefore | FirstsAfter, Before | After, bestAttacker);
    RaiseWindows(own, empty, FirstsThrough, Near, bestDefender);
    for (uint32_t bits = empty & Near; bits != 0; bits &= bits - 1) {
      const int b = LowestBit(bits);
      const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
      touched[at >> 6] |= uint64_t{1} << (at & 63);
      const uint16_t* offsets = geometry.LevelOffsets[at];
      const int8_t others = othersMax(attackerLevels, offsets, direction);
      const int8_t before = std::max(others, attackerLevels[offsets[direction]]);
      const int8_t after = std::max(others, bestAttacker[b]);
      high += std::max(before, after) >= 10;
      top = std::max(top, after);
      if (bestDefender[b] > 0 && bestDefender[b] > defenderLevels[offsets[direction]] &&
          std::max(bestDefender[b], othersMax(defenderLevels, offsets, direction)) == FiveLevel)
        defenderFive = true;
    }
  }
  for (const TSlot& slot : Lists.Of[a]) {
    if (slot.Level < 10) break;
    if (slot.Cell == cell || ((touched[slot.Cell >> 6] >> (slot.Cell & 63)) & 1u)) continue;
    ++high;
    top = std::max(top, slot.Level);
  }
  if (high >= Slots) return -1;
  if (top == FiveLevel) return 1;
  return top == 10 && !defenderFive ? 1 : 0;
}

void TFastSearch::Put(uint8_t cell, uint8_t code) {
  const TGeometry& geometry = Geometry;
  const uint8_t old = Board[cell];
  for (int direction = 0; direction < 4; ++direction) {
    const TGeometry::TLinePlace place = geometry.Places[cell][direction];
    const uint64_t bit = uint64_t{1} << (16 + place.Index);
    if (old >= CellBlack) Stones[old - CellBlack][direction][place.Line] &= ~bit;
    if (code >= CellBlack) Stones[code - CellBlack][direction][place.Line] |= bit;
  }
  Board[cell] = code;
}

int8_t* TFastSearch::SavedSegment(int colour, int direction, int line, int first) {
  int8_t* segment = &LineLevels[colour][direction][line][first];
  assert(UndoSize < UndoRoom && "a level saves eight segments and levels nest once a cell");
  TUndo& undo = Undo[UndoSize++];
  if (UndoSize > UndoPeak) UndoPeak = UndoSize;
  undo.Offset = static_cast<uint16_t>(segment - &LineLevels[0][0][0][0]);
  std::memcpy(undo.Levels, segment, Segment);
  return segment;
}

void TFastSearch::UndoTo(size_t mark) {
  while (UndoSize > mark) {
    const TUndo& undo = Undo[--UndoSize];
    std::memcpy(&LineLevels[0][0][0][0] + undo.Offset, undo.Levels, Segment);
  }
}

// Most rankings meet a cell that is not listed and cannot enter; they end here, in line.
// The refresh ranks only cells its line masks show empty, where the plain ranking's own check
// for an occupied cell would pass.
inline void TFastSearch::Rank(int colour, uint8_t cell) {
  const int8_t* levels = &LineLevels[colour][0][0][0];
  const uint16_t* offsets = Geometry.LevelOffsets[cell];
  int8_t level = levels[offsets[0]];
  int32_t levelSum = 0;
  for (int direction = 0; direction < 4; ++direction) {
    const int8_t each = levels[offsets[direction]];
    if (each > level) level = each;
    levelSum += each;
  }
  const bool listed = Lists.IsListed(colour, cell);
  if (!listed && Lists.Of[colour][Slots - 1].Level >= level) return;
  Place(colour, TSlot{level, cell, static_cast<int16_t>(levelSum)}, listed);
}

void TFastSearch::Place(int colour, const TSlot& entry, bool listed) {
  const int8_t level = entry.Level;
  const uint8_t cell = entry.Cell;
  TList& list = Lists.Of[colour];

  if (listed) {
    const int found = SlotOf(list, cell);
    int place = found;
    if (found > 0 && list[found - 1].Level < level) {
      while (place > 0 && list[place - 1].Level < level) {
        list[place] = list[place - 1];
        --place;
      }
    } else if (found < Slots - 1 && list[found + 1].Level > level) {
      while (place < Slots - 1 && list[place + 1].Level > level) {
        list[place] = list[place + 1];
        ++place;
      }
    }
    list[place] = entry;
    return;
  }

  const int place = InsertionSlot(list, level, entry.LevelSum);
  if (list[Slots - 1].Cell != 0) Lists.Mark(colour, list[Slots - 1].Cell, false);
  InsertAt(list, place, entry);
  Lists.Mark(colour, cell, true);
}

void TFastSearch::Drop(int colour, uint8_t cell) {
  if (!Lists.IsListed(colour, cell)) return;
  TList& list = Lists.Of[colour];
  for (int next = SlotOf(list, cell); next < Slots - 1; ++next)
    list[next] = list[next + 1];
  list[Slots - 1] = TSlot{0, 0, 0};
  Lists.Mark(colour, cell, false);
}

void TFastSearch::RefreshLines(uint8_t cell) {
  for (int direction = 0; direction < 4; ++direction)
    RefreshLine(direction, cell);
}

// The plain refresh resets one cell and re-ranks it before the next; resetting them all first
// and ranking after gives the same lists, since a ranking reads only its own cell's levels. The
// raised levels are the highest any window gives, which is what raising window by window leaves.
void TFastSearch::RefreshLine(int direction, uint8_t cell) {
  const TGeometry& geometry = Geometry;
  const TGeometry::TLinePlace place = geometry.Places[cell][direction];
  const int shift = place.Index + 16 - OffsetBit;
  const int stone = Board[cell] - CellBlack;
  const int other = 1 - stone;
  const uint32_t own = static_cast<uint32_t>(Stones[stone][direction][place.Line] >> shift) & Reach;
  const uint32_t theirs =
      static_cast<uint32_t>(Stones[other][direction][place.Line] >> shift) & Reach;
  const uint32_t inner =
      static_cast<uint32_t>(geometry.Inner[direction][place.Line] >> shift) & Reach;
  const uint32_t empty = inner & ~own & ~theirs;
  const int32_t step = CellStep[direction];
  auto cellAt = [&](int b) { return static_cast<uint8_t>(cell + (b - OffsetBit) * step); };

  // The opponent loses its levels next to the stone and is re-ranked outward from it.
  const int first = 16 + place.Index - 5;
  int8_t* theirLevels = SavedSegment(other, direction, place.Line, first);
  int8_t* ownLevels = SavedSegment(stone, direction, place.Line, first);
  std::memset(theirLevels, 0, Segment);
  for (uint32_t bits = empty & After; bits != 0; bits &= bits - 1)
    Rank(other, cellAt(LowestBit(bits)));
  for (uint32_t bits = empty & Before; bits != 0; bits &= ~(1u << HighestBit(bits)))
    Rank(other, cellAt(HighestBit(bits)));

  int8_t bestTheirs[32] = {}, bestOwn[32] = {};
  // The opponent's windows lie wholly before the stone (first cells -9..-5) or wholly after it
  // (+1..+5); the stone's colour has the five windows through the stone.
  RaiseWindows(theirs, empty, FirstsBefore | FirstsAfter, Before | After, bestTheirs);
  RaiseWindows(own, empty, FirstsThrough, Near, bestOwn);

  uint32_t raised[2] = {0, 0};
  WriteRaised(bestTheirs, theirLevels, raised[other], bestOwn, ownLevels, raised[stone]);
  for (int colour = 0; colour < 2; ++colour) {
    for (uint32_t bits = raised[colour]; bits != 0; bits &= bits - 1)
      Rank(colour, cellAt(LowestBit(bits)));
  }
}
