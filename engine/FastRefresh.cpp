// SPDX-License-Identifier: GPL-3.0-or-later
// The fast search's refresh after a stone: the levels of the four lines through it rewritten
// in place, their old bytes logged for the way back, and every cell whose level changed ranked;
// after the attacker's stone with the defender to move, the attacker's cells alone.
#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

#include "FastGeometry.h"
#include "SearchTurns.h"

#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
#include <emmintrin.h>
#endif

using namespace FastSearchBits;

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
  if constexpr (ShortcutCheck::Enabled)
    RankedCells[colour][cell >> 6] |= uint64_t{1} << (cell & 63);
  const bool listed = Lists.IsListed(colour, cell);
  if (!listed && Lists.Of[colour][Slots - 1].Level >= level) return;
  Place(colour, TSlot{level, cell, static_cast<int16_t>(levelSum)}, listed);
}

// Ranks the cells of the line through cell whose bits are set, nearest the line's start first.
void TFastSearch::RankAlong(int colour, int direction, uint8_t cell, uint32_t bits) {
  for (; bits != 0; bits &= bits - 1) {
    const int b = LowestBit(bits);
    Rank(colour, static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]));
  }
}

void TFastSearch::RefreshLines(uint8_t cell) {
  for (int direction = 0; direction < 4; ++direction)
    RefreshLine(direction, cell);
}

// One line through the stone on cell as every refresh of a stone writes it, the full refresh and
// the look-ahead's alike: the line read around the stone, the two segments logged for the way
// back (the opponent's first), and the levels of the windows written over them, the opponent's
// as its windows give them (0 where none does) and the stone's colour's at the higher of old and
// new. With RankOpponent the opponent's levels next to the stone are first reset and its cells
// ranked outward from the stone, as the plain refresh does; the look-ahead leaves the opponent's
// list alone. The raised cells are the caller's to rank or to read. In line, so that each
// caller's copy is what it would be written out by hand.
template <bool RankOpponent>
inline TFastSearch::TWrittenLine TFastSearch::WriteLine(int direction, uint8_t cell) {
  const TGeometry::TLinePlace place = Geometry.Places[cell][direction];
  const int stone = Board[cell] - CellBlack;
  const int other = 1 - stone;
  const auto [own, theirs, empty] = ReadLine(stone, direction, cell);
  TWrittenLine line;
  line.Stone = stone;
  line.Empty = empty;
  const int first = 16 + place.Index - 5;
  line.Theirs = SavedSegment(other, direction, place.Line, first);
  line.OldTheirs = Undo[UndoSize - 1].Levels;
  line.Own = SavedSegment(stone, direction, place.Line, first);
  line.OldOwn = Undo[UndoSize - 1].Levels;
  if constexpr (RankOpponent) {
    const int32_t step = CellStep[direction];
    auto cellAt = [&](int b) { return static_cast<uint8_t>(cell + (b - OffsetBit) * step); };
    std::memset(line.Theirs, 0, Segment);
    for (uint32_t bits = empty & After; bits != 0; bits &= bits - 1)
      Rank(other, cellAt(LowestBit(bits)));
    for (uint32_t bits = empty & Before; bits != 0; bits &= ~(1u << HighestBit(bits)))
      Rank(other, cellAt(HighestBit(bits)));
  }

  int8_t bestTheirs[32] = {}, bestOwn[32] = {};
  // The opponent's windows lie wholly before the stone (first cells -9..-5) or wholly after it
  // (+1..+5); the stone's colour has the five windows through the stone.
  RaiseWindows(theirs, empty, FirstsBefore | FirstsAfter, Before | After, bestTheirs);
  RaiseWindows(own, empty, FirstsThrough, Near, bestOwn);
  WriteRaised(bestTheirs, line.Theirs, line.Raised[other], bestOwn, line.Own, line.Raised[stone]);
  return line;
}

// The plain refresh resets one cell and re-ranks it before the next; resetting them all first
// and ranking after gives the same lists, since a ranking reads only its own cell's levels. The
// raised levels are the highest any window gives, which is what raising window by window leaves.
void TFastSearch::RefreshLine(int direction, uint8_t cell) {
  if constexpr (ShortcutCheck::Enabled) std::memset(RankedCells, 0, sizeof RankedCells);
  const TWrittenLine line = WriteLine<true>(direction, cell);
  for (int colour = 0; colour < 2; ++colour)
    RankAlong(colour, direction, cell, line.Raised[colour]);
  if constexpr (ShortcutCheck::Enabled) CheckRanked(direction, cell, line);
}

// One line of the attacker's stone on cell, as its refresh leaves it but for the defender's
// rankings: the raised cells of the attacker read, and ranked if asked.
void TFastSearch::ReadStoneLine(int direction, uint8_t cell, TStoneTops& tops, bool rankRaised) {
  const TWrittenLine line = WriteLine<false>(direction, cell);
  const int stone = line.Stone;
  tops.Empty[direction] = line.Empty;
  tops.NewTheirs[direction] = line.Theirs;

  // A cell off the stone lies on one of its lines at most, so its other directions keep their
  // levels.
  const int8_t* stoneLevels = &LineLevels[stone][0][0][0];
  for (uint32_t bits = line.Raised[stone]; bits != 0; bits &= bits - 1) {
    const int b = LowestBit(bits);
    const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
    const int8_t level = std::max(OthersMax(stoneLevels, Geometry.LevelOffsets[at], direction),
                                  line.Own[b - (OffsetBit - 5)]);
    tops.AttackerTop = std::max(tops.AttackerTop, level);
    if (level < 9) continue;
    if (tops.StrongCount < Slots) tops.Strong[tops.StrongCount] = TSlot{level, at, 0};
    ++tops.StrongCount;
  }
  if (rankRaised) RankAlong(stone, direction, cell, line.Raised[stone]);
}

// The refresh after the attacker's stone on cell with the defender to move. The defender's turn
// reads only the top level of its own list, and every move it makes empties that list, so its
// cells are not ranked: the top comes from the lines as TStoneTops tells, and only the attacker's
// raised cells are ranked. The list stays marked unranked until it is emptied. Where too many of
// the defender's cells stand at OpenFourLevel or more for the top to be known, everything is
// ranked. Answers the defender's top level as its list would show it, or below OpenFourLevel.
int8_t TFastSearch::RefreshBeforeDefender(uint8_t attacker, uint8_t cell) {
  const int a = attacker - CellBlack, defender = 1 - a;
  if (ShortcutCheck::Enabled && InReference) {
    RefreshLines(cell);
    return Lists.Of[defender][0].Level;
  }
  TList ranked = {};
  int8_t rankedTop = 0;
  if constexpr (ShortcutCheck::Enabled) {
    // The refresh with every ranking, for what the defender's turn reads; then everything as it
    // was.
    const TLists before = Lists;
    const size_t mark = UndoSize;
    RefreshLines(cell);
    std::memcpy(ranked, Lists.Of[a], sizeof ranked);
    rankedTop = Lists.Of[defender][0].Level;
    UndoTo(mark);
    Lists = before;
  }
  const size_t mark = UndoSize;
  TStoneTops tops;
  for (int direction = 0; direction < 4; ++direction)
    ReadStoneLine(direction, cell, tops, true);
  // Without an open-four point or a five point of the attacker's, the turn answers false
  // whatever the defender's top; with a five point, only a five point of the defender's counts.
  if (tops.AttackerTop == FiveLevel) {
    tops.DefenderTop = DefenderHasFive(defender, cell, tops) ? FiveLevel : 0;
  } else if (tops.AttackerTop >= OpenFourLevel) {
    ReadDefenderSide(defender, cell, tops);
    if (tops.DefenderHigh >= HandOverCells) {
      if constexpr (ShortcutCheck::Enabled) ShortcutCheck::Count(TShortcut::DefenderListRanked);
      UndoTo(mark);
      for (TSlot& slot : Lists.Of[a])
        slot = TSlot{0, 0, 0};
      for (uint64_t& word : Lists.Listed[a])
        word = 0;
      RefreshLines(cell);
      return Lists.Of[defender][0].Level;
    }
  }
  Lists.Unranked[defender] = true;
  if constexpr (ShortcutCheck::Enabled) {
    ShortcutCheck::Count(TShortcut::DefenderListUnranked);
    // What the defender's turn reads: the attacker's list slot by slot, the defender's top as
    // OwnTopAsRead tells it (SearchTurns.h).
    const int8_t attackerTop = Lists.Of[a][0].Level;
    const int8_t read = SearchTurns::OwnTopAsRead(tops.DefenderTop, attackerTop);
    if (std::memcmp(ranked, Lists.Of[a], sizeof ranked) != 0 ||
        read != SearchTurns::OwnTopAsRead(rankedTop, attackerTop)) {
      char what[160];
      std::snprintf(what, sizeof what,
                    "the attacker's list topping at %d and the defender's top %d, read as %d, "
                    "where a full refresh gives %d and %d (stone on %d,%d)",
                    attackerTop, tops.DefenderTop, read, ranked[0].Level, rankedTop, cell >> 4,
                    cell & 15);
      ShortcutCheck::Fail(TShortcut::DefenderListUnranked, what);
    }
  }
  return tops.DefenderTop;
}

// The checking build's watch on what the short-cuts read off the lists: every empty cell whose
// level this refresh changed has been ranked since.
void TFastSearch::CheckRanked(int direction, uint8_t cell, const TWrittenLine& line) const {
  const int8_t* now[2] = {line.Stone == 0 ? line.Own : line.Theirs,
                          line.Stone == 0 ? line.Theirs : line.Own};
  const int8_t* before[2] = {line.Stone == 0 ? line.OldOwn : line.OldTheirs,
                             line.Stone == 0 ? line.OldTheirs : line.OldOwn};
  for (int j = 0; j < Segment; ++j) {
    const int b = OffsetBit - 5 + j;
    if (!Bit(line.Empty, b)) continue;
    const uint8_t at = static_cast<uint8_t>(cell + (b - OffsetBit) * CellStep[direction]);
    for (int colour = 0; colour < 2; ++colour) {
      const bool ranked = (RankedCells[colour][at >> 6] >> (at & 63)) & 1u;
      if (now[colour][j] != before[colour][j] && !ranked)
        ShortcutCheck::Fail(ListReader[colour],
                            "a level changed at an empty cell that was not ranked again");
    }
  }
}
