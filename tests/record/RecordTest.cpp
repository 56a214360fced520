// SPDX-License-Identifier: GPL-3.0-or-later
// The game record codec: the exact bytes written, and every way a damaged file is refused.
#include <gtest/gtest.h>

#include <string>

#include "GameRecord.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TRecordRead Decode(const std::vector<uint8_t>& bytes) {
  return DecodeRecord(bytes.data(), bytes.size());
}

const std::string Magic = std::string("\x06lnd2.1", 7);

TEST(GameRecord, ThreeMovesMakeSeventeenBytes) {
  const std::vector<MoveEntry> moves = {{8, 8}, {9, 7}, {15, 1}};
  const std::vector<uint8_t> bytes = EncodeRecord(moves);
  EXPECT_EQ(bytes, Bytes(Magic + std::string("\x03\x00\x00\x00\x08\x08\x09\x07\x0f\x01", 10)));
  const TRecordRead read = Decode(bytes);
  EXPECT_EQ(read.Status, TRecordStatus::Loaded);
  EXPECT_EQ(read.Moves, moves);
  EXPECT_EQ(EncodeRecord(read.Moves), bytes);
}

TEST(GameRecord, EmptyAndFullGamesRoundTrip) {
  std::vector<MoveEntry> full;
  for (int8_t column = 1; column <= 15; ++column)
    for (int8_t row = 1; row <= 15; ++row)
      full.push_back({column, row});
  for (const auto& moves : {std::vector<MoveEntry>{}, full}) {
    const std::vector<uint8_t> bytes = EncodeRecord(moves);
    EXPECT_EQ(bytes.size(), 11 + 2 * moves.size());
    const TRecordRead read = Decode(bytes);
    EXPECT_EQ(read.Status, TRecordStatus::Loaded);
    EXPECT_EQ(read.Count, static_cast<int32_t>(moves.size()));
    EXPECT_EQ(read.Moves, moves);
  }
}

TEST(GameRecord, WrongMagicOrShortHeaderIsInvalidFormat) {
  const std::string count = std::string("\x01\x00\x00\x00\x08\x08", 6);
  for (const std::string& text :
       {std::string(), std::string("\x06lnd2", 5), Magic, Magic + std::string("\x01\x00\x00", 3),
        std::string("\x07lnd2.1") + count, std::string("\x06LND2.1") + count,
        std::string("\x06lnd2.2") + count, std::string("\x05lnd2.1") + count}) {
    EXPECT_EQ(Decode(Bytes(text)).Status, TRecordStatus::InvalidFormat) << text.size();
  }
}

TEST(GameRecord, NegativeAndHugeCountsAreRefusedBeforeAnyAllocation) {
  for (const std::string& count :
       {std::string("\xff\xff\xff\xff", 4), std::string("\x00\x00\x00\x80", 4),
        std::string("\x00\x00\x01\x00", 4), std::string("\xff\xff\xff\x7f", 4)}) {
    const TRecordRead read = Decode(Bytes(Magic + count));
    EXPECT_EQ(read.Status, TRecordStatus::BadCount);
    EXPECT_TRUE(read.Moves.empty());
  }
  const TRecordRead largest = Decode(Bytes(Magic + std::string("\xff\xff\x00\x00", 4)));
  EXPECT_EQ(largest.Status, TRecordStatus::Loaded);
  EXPECT_EQ(largest.Moves.size(), 65535u);
}

TEST(GameRecord, TruncatedEntriesStayZeroAndEntriesAreNotValidated) {
  const TRecordRead read = Decode(Bytes(Magic + std::string("\x03\x00\x00\x00\x63\x00\x05", 7)));
  ASSERT_EQ(read.Status, TRecordStatus::Loaded);
  EXPECT_EQ(read.Moves, (std::vector<MoveEntry>{{99, 0}, {5, 0}, {0, 0}}));

  const TRecordRead trailing =
      Decode(Bytes(Magic + std::string("\x01\x00\x00\x00\x02\x03\x04", 7)));
  EXPECT_EQ(trailing.Moves, (std::vector<MoveEntry>{{2, 3}}));
}

}  // namespace
