// SPDX-License-Identifier: GPL-3.0-or-later
#include "GameRecord.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr uint8_t Magic[7] = {6, 'l', 'n', 'd', '2', '.', '1'};
constexpr size_t HeaderSize = sizeof Magic + 4;
}  // namespace

std::vector<uint8_t> EncodeRecord(const std::vector<MoveEntry>& history) {
  std::vector<uint8_t> bytes(Magic, Magic + sizeof Magic);
  const uint32_t count = static_cast<uint32_t>(history.size());
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<uint8_t>(count >> shift));
  for (const MoveEntry& move : history) {
    bytes.push_back(static_cast<uint8_t>(move.Column));
    bytes.push_back(static_cast<uint8_t>(move.Row));
  }
  return bytes;
}

TRecordRead DecodeRecord(const uint8_t* data, size_t size) {
  TRecordRead read;
  if (size < HeaderSize || std::memcmp(data, Magic, sizeof Magic) != 0) return read;

  uint32_t raw = 0;
  for (int i = 3; i >= 0; --i)
    raw = raw << 8 | data[sizeof Magic + static_cast<size_t>(i)];
  read.Count = static_cast<int32_t>(raw);
  if (read.Count < 0 || read.Count > MaxRecordMoves) {
    read.Status = TRecordStatus::BadCount;
    return read;
  }

  read.Status = TRecordStatus::Loaded;
  read.Moves.resize(static_cast<size_t>(read.Count));
  const size_t available = std::min(size - HeaderSize, read.Moves.size() * 2);
  const uint8_t* entries = data + HeaderSize;
  for (size_t i = 0; i < available; ++i) {
    MoveEntry& move = read.Moves[i / 2];
    (i % 2 == 0 ? move.Column : move.Row) = static_cast<int8_t>(entries[i]);
  }
  return read;
}
