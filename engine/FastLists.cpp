// SPDX-License-Identifier: GPL-3.0-or-later
// The fast search's candidate lists in their compact form: loading them, and the list walks of a
// ranking that find, place, move and drop a cell, as the plain list operations do.
#include <cstring>
#include <utility>

#include "FastGeometry.h"

#if defined(__SSE2__) && !defined(LINDORA_NO_SIMD)
#include <emmintrin.h>
#endif

using namespace FastSearchBits;

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
  Lists.Unranked[0] = Lists.Unranked[1] = false;
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
