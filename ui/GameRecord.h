// SPDX-License-Identifier: GPL-3.0-or-later
// The game record file: the move list of a game and nothing else.
//
//   offset 0   1 byte   6, the length of the magic text
//   offset 1   6 bytes  "lnd2.1"
//   offset 7   4 bytes  N, signed 32-bit little-endian: the number of moves
//   offset 11  2 N      the moves in playing order, column byte then row byte (1..15)
//
// Colours are implied: Black moves first and colours alternate. Reading and writing are plain
// functions over bytes, without the toolkit, so that the reader can be fuzzed on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One move of the history: column, then row, each 1..15 for a move the board accepted.
struct MoveEntry {
  int8_t Column = 0;
  int8_t Row = 0;
  bool operator==(const MoveEntry& other) const {
    return Column == other.Column && Row == other.Row;
  }
};

// No game holds more than 225 stones; a count far beyond that can only come from a damaged
// file, and the reader refuses it before it reserves any memory for it.
constexpr int32_t MaxRecordMoves = 65535;

enum class TRecordStatus {
  Loaded,         // Moves holds the Count entries
  InvalidFormat,  // shorter than the magic and count, or the magic does not match
  BadCount,       // the count is negative or above MaxRecordMoves
};

struct TRecordRead {
  TRecordStatus Status = TRecordStatus::InvalidFormat;
  int32_t Count = 0;  // the count as stored, also when it was refused
  std::vector<MoveEntry> Moves;
};

// The whole file for a history, ready to be written in one piece.
std::vector<uint8_t> EncodeRecord(const std::vector<MoveEntry>& history);

// Reads a record from the bytes of a whole file. Entries are not validated: a move outside the
// board is the board's to refuse when it is played. A file that ends before its last entry
// leaves the missing bytes zero; bytes after the last entry are ignored.
TRecordRead DecodeRecord(const uint8_t* data, size_t size);
