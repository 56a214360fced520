// SPDX-License-Identifier: GPL-3.0-or-later
// Beginner and Easy: they play near the stones, take a five they have, and otherwise look at the
// position as a person who sees only part of it. Beginner sees the design's answer (a win, a
// defence, a block of four) about one time in seven and leaves a five to block unblocked two
// times in five; Easy sees the answer more than half the time, searched less deep, and always
// blocks a five. The rest of the time they play one of the few most threatening intersections
// near the stones, the better ones more often. Every random draw comes from a seed made of the
// position, so the same position at the same level gets the same move.
#include "LevelPlay.h"

namespace {

struct TWeakShape {
  double Sees;        // chance of taking the design's answer when it has one
  double BlocksFive;  // chance of blocking the opponent's five
  int32_t Depth;      // of the design's search when it is seen
  int Choices;        // intersections the rest of the time is spread over
};
constexpr TWeakShape Beginner{0.15, 0.6, 4, 6}, Easy{0.6, 1.0, 8, 3};

// splitmix64 over the position: the same board, colour and level give the same numbers.
class TPositionRandom {
 public:
  TPositionRandom(const TGameBoard& engine, TLevel level, uint8_t colour) {
    State = 0x9E3779B97F4A7C15ull * (static_cast<uint64_t>(level) + 1) + colour;
    for (int32_t column = 1; column <= BoardSize; ++column)
      for (int32_t row = 1; row <= BoardSize; ++row)
        State = Next() ^ engine.Board[column][row];
  }
  uint64_t Next() {
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // true with the chance given.
  bool Chance(double chance) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < chance; }

 private:
  uint64_t State;
};

// One of the best few empty intersections near the stones: the best one half of the time, the
// next one half of the rest, and so on.
void NearMove(const TGameBoard& engine, int choices, TPositionRandom& random, int32_t& column,
              int32_t& row) {
  constexpr int Most = 8;
  double weights[Most];
  int32_t cells[Most][2];
  int count = 0;
  for (int32_t c = 1; c <= BoardSize; ++c) {
    for (int32_t r = 1; r <= BoardSize; ++r) {
      if (engine.Board[c][r] != CellEmpty || FarFromStones(engine, c, r)) continue;
      // A little of the draw on every cell breaks ties differently from position to position.
      const double weight = CellWeight(engine, c, r) + static_cast<double>(random.Next() % 16) / 16;
      KeepBest(weights, cells, count, choices, 0, weight, c, r);
    }
  }
  if (count == 0) {
    column = row = (BoardSize + 1) / 2;  // an empty board: the centre
    return;
  }
  int pick = 0;
  while (pick + 1 < count && random.Chance(0.5))
    ++pick;
  column = cells[pick][0];
  row = cells[pick][1];
}

}  // namespace

// An intersection's threat to either colour, by the design's weights.
double CellWeight(const TGameBoard& engine, int32_t column, int32_t row) {
  double weight = 0;
  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour)
    for (int direction = 0; direction < 4; ++direction)
      weight += TGameBoard::LevelWeight[engine.Threat.At(colour, column, row, direction)];
  return weight;
}

// The first intersection in scan order where colour completes five, or false.
bool FivePoint(const TGameBoard& engine, uint8_t colour, int32_t& column, int32_t& row) {
  for (int32_t c = 1; c <= BoardSize; ++c) {
    for (int32_t r = 1; r <= BoardSize; ++r) {
      if (engine.Board[c][r] != CellEmpty) continue;
      for (int direction = 0; direction < 4; ++direction) {
        if (engine.Threat.At(colour, c, r, direction) == FiveLevel) {
          column = c;
          row = r;
          return true;
        }
      }
    }
  }
  return false;
}

void KeepBest(double* weights, int32_t (*cells)[2], int& count, int most, int first, double weight,
              int32_t column, int32_t row) {
  int place = count < most ? count++ : most;
  if (place == most && weight <= weights[most - 1]) return;
  if (place == most) place = most - 1;
  while (place > first && weights[place - 1] < weight) {
    weights[place] = weights[place - 1];
    cells[place][0] = cells[place - 1][0];
    cells[place][1] = cells[place - 1][1];
    --place;
  }
  weights[place] = weight;
  cells[place][0] = column;
  cells[place][1] = row;
}

bool FarFromStones(const TGameBoard& engine, int32_t column, int32_t row) {
  for (int32_t c = column - 2; c <= column + 2; ++c) {
    for (int32_t r = row - 2; r <= row + 2; ++r) {
      const uint8_t cell = engine.CellAt(c, r);
      if (cell == CellBlack || cell == CellWhite) return false;
    }
  }
  return true;
}

TVerdict WeakMove(TGameBoard& engine, TLevel level, uint8_t colour, int32_t& column, int32_t& row) {
  const TWeakShape& shape = level == TLevel::Beginner ? Beginner : Easy;
  TPositionRandom random(engine, level, colour);
  if (FivePoint(engine, colour, column, row)) return TVerdict::Win;
  const bool blocks = random.Chance(shape.BlocksFive);
  if (FivePoint(engine, Opponent(colour), column, row) && blocks) return TVerdict::None;
  if (random.Chance(shape.Sees)) {
    int32_t c = 0, r = 0;
    const TVerdict verdict = DesignMove(engine, colour, shape.Depth, c, r);
    if (verdict != TVerdict::None && c > 0 && !FarFromStones(engine, c, r)) {
      column = c;
      row = r;
      return verdict;
    }
  }
  NearMove(engine, shape.Choices, random, column, row);
  return TVerdict::None;
}
