// The move choice's memory of forced-win searches. Within one decision the ladder asks the same
// question many times (the set-up step alone runs up to 144 deep searches from neighbouring
// cells), and a search's outcome depends only on the board after its trial stone, its two lists,
// its threat table, depth, attacker, side to move and minLevel. Keyed on all of them, a stored
// outcome is the one the search would compute again, and its stored call count keeps
// ForcedWinCalls what the full search would have counted.
//
// Board and threat table keys are Zobrist keys kept up to date stone by stone and level by level;
// an empty cell and a level of 0 add nothing, so the keys start from the occupied cells and the
// raised levels alone.
#include "GameBoard.h"

namespace {

// The splitmix64 finaliser: a bijection that scatters neighbouring inputs over all 64 bits.
uint64_t Scatter(uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

// Each kind of ingredient gets its own tag in the top byte, so no two ingredients share a key.
enum : uint64_t { LevelTag = 1, StoneTag = 2, CallTag = 3 };
constexpr uint64_t HighHalf = 0x6A09E667F3BCC908ull;

TSearchKey KeyOf(uint64_t tag, uint64_t value) {
  const uint64_t tagged = tag << 56 | value;
  return TSearchKey{Scatter(tagged), Scatter(tagged ^ HighHalf)};
}

TSearchKey LevelKey(uint8_t colour, int32_t column, int32_t row, int direction, int8_t level) {
  if (level == 0) return TSearchKey{};
  const uint64_t index = (((colour - CellBlack) * 16u + column) * 16u + row) * 4u + direction;
  return KeyOf(LevelTag, index << 8 | static_cast<uint8_t>(level));
}

TSearchKey StoneKey(int32_t column, int32_t row, uint8_t cell) {
  if (cell == CellEmpty) return TSearchKey{};
  return KeyOf(StoneTag, (static_cast<uint64_t>(column) * 32u + row) << 8 | cell);
}

TSearchKey ThreatTableKey(const TThreatTable& threats) {
  TSearchKey key;
  for (uint8_t colour = CellBlack; colour <= CellWhite; ++colour) {
    for (int32_t column = 1; column <= BoardSize; ++column) {
      for (int32_t row = 1; row <= BoardSize; ++row) {
        if (threats.Word(colour, column, row) == 0) continue;
        for (int direction = 0; direction < 4; ++direction)
          key ^=
              LevelKey(colour, column, row, direction, threats.At(colour, column, row, direction));
      }
    }
  }
  return key;
}

// The lists in slot order, every field of every slot: order matters to the search.
TSearchKey ListsKey(const CandidateLists& lists) {
  uint64_t low = 0, high = HighHalf;
  for (const CandidateList& list : lists.Lists) {
    for (const CandidateEntry& entry : list.Slots) {
      const uint64_t packed = static_cast<uint64_t>(static_cast<uint8_t>(entry.Level)) |
                              static_cast<uint64_t>(static_cast<uint32_t>(entry.LevelSum)) << 8 |
                              static_cast<uint64_t>(static_cast<uint8_t>(entry.Column)) << 40 |
                              static_cast<uint64_t>(static_cast<uint8_t>(entry.Row)) << 48;
      // A cheap multiplicative step per slot, and one full scatter at the end.
      low = (low ^ packed) * 0x9E3779B97F4A7C15ull;
      low ^= low >> 29;
      high = (high + packed) * 0xC2B2AE3D27D4EB4Full;
      high ^= high >> 31;
    }
  }
  return TSearchKey{Scatter(low), Scatter(high)};
}

TSearchKey CallKey(uint8_t attacker, uint8_t toMove, uint8_t minLevel, int32_t depth) {
  return KeyOf(CallTag, static_cast<uint64_t>(static_cast<uint32_t>(depth)) << 24 |
                            static_cast<uint64_t>(attacker) << 16 |
                            static_cast<uint64_t>(toMove) << 8 | minLevel);
}

}  // namespace

TSearchKey TGameBoard::BeginKeyedDecision() {
  Keyed = UseTranspositions && Transpositions != nullptr;
  if (!Keyed) return TSearchKey{};
  BoardKey = TSearchKey{};
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row)
      BoardKey ^= StoneKey(column, row, Board[column][row]);
  }
  return ThreatTableKey(Threat);
}

void TGameBoard::KeyLevelChange(SearchState& state, uint8_t colour, int32_t column, int32_t row,
                                int direction, int8_t from, int8_t to) {
  state.ThreatKey ^= LevelKey(colour, column, row, direction, from);
  state.ThreatKey ^= LevelKey(colour, column, row, direction, to);
}

void TGameBoard::PutTrialStone(int32_t column, int32_t row, uint8_t cell) {
  if (Keyed) {
    BoardKey ^= StoneKey(column, row, Board[column][row]);
    BoardKey ^= StoneKey(column, row, cell);
  }
  Board[column][row] = cell;
}

// The turn of a search whose trial stone is on the board: looked up when this very search was
// made before, otherwise played and stored.
bool TGameBoard::SearchTurn(SearchState& state, uint8_t attacker, uint8_t toMove, int32_t& column,
                            int32_t& row, uint8_t minLevel, int32_t depth) {
  auto play = [&](int32_t& moveColumn, int32_t& moveRow) {
    return toMove == attacker ? AttackersTurn(state, attacker, moveColumn, moveRow, minLevel, depth)
                              : DefendersTurn(state, attacker, minLevel, depth);
  };
  if (!Keyed) return play(column, row);

  TSearchKey key = BoardKey;
  key ^= state.ThreatKey;
  key ^= ListsKey(state.Lists);
  key ^= CallKey(attacker, toMove, minLevel, depth);
  const TTranspositionTable::TEntry& known = Transpositions->Slot(key);
  if (known.Used && known.Key == key) {
    ForcedWinCalls += known.Calls - 1;  // this call is counted already
    if (known.Moved) {
      column = known.Column;
      row = known.Row;
    }
    return known.Won;
  }

  const uint64_t callsBefore = ForcedWinCalls - 1;
  // -1 is no cell: it tells whether the attacker's turn handed on a move.
  int32_t moveColumn = -1, moveRow = -1;
  const bool won = play(moveColumn, moveRow);
  const bool moved = moveColumn != -1;
  if (moved) {
    column = moveColumn;
    row = moveRow;
  }
  TTranspositionTable::TEntry& entry = Transpositions->Slot(key);
  entry.Key = key;
  entry.Calls = ForcedWinCalls - callsBefore;
  entry.Column = static_cast<int16_t>(moveColumn);
  entry.Row = static_cast<int16_t>(moveRow);
  entry.Won = won;
  entry.Moved = moved;
  entry.Used = true;
  return won;
}
