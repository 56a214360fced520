// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target of the record reader: any bytes must give either a refusal or a move list that
// agrees with the file, without a crash, a leak or undefined behaviour.
#include <cstdlib>
#include <cstring>

#include "GameRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TRecordRead read = DecodeRecord(data, size);
  if (read.Status != TRecordStatus::Loaded) {
    if (!read.Moves.empty()) std::abort();
    return 0;
  }
  if (read.Count < 0 || read.Count > MaxRecordMoves) std::abort();
  if (read.Moves.size() != static_cast<size_t>(read.Count)) std::abort();
  // A complete file reads back to exactly its own bytes.
  const std::vector<uint8_t> again = EncodeRecord(read.Moves);
  if (size == again.size() && std::memcmp(again.data(), data, size) != 0) std::abort();
  return 0;
}
