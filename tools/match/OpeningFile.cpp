// SPDX-License-Identifier: GPL-3.0-or-later
#include "OpeningFile.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>

#include "EngineProcess.h"

namespace match {

namespace {

bool IsLetter(char ch) {
  return std::isalpha(static_cast<unsigned char>(ch)) != 0;
}

bool IsDigit(char ch) {
  return std::isdigit(static_cast<unsigned char>(ch)) != 0;
}

// "h8i9i7": a letter and a row number per stone, blanks or commas between stones allowed.
bool BoardNotation(std::string_view text, std::vector<TPoint>& stones, std::string& why) {
  for (size_t at = 0; at < text.size();) {
    if (text[at] == ' ' || text[at] == '\t' || text[at] == ',') {
      ++at;
      continue;
    }
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
    if (!IsLetter(letter)) return why = "expected a column letter", false;
    size_t digits = at + 1;
    while (digits < text.size() && IsDigit(text[digits]))
      ++digits;
    if (digits == at + 1 || digits - at > 3) return why = "expected a row number", false;
    const int row = std::atoi(std::string(text.substr(at + 1, digits - at - 1)).c_str());
    if (letter > 'a' + BoardSize - 1 || row < 1 || row > BoardSize)
      return why = std::string(text.substr(at, digits - at)) + " is off the 15 x 15 board", false;
    stones.push_back(TPoint{letter - 'a', BoardSize - row});
    at = digits;
  }
  return true;
}

// "0,0, 1,-1, -1,1": offsets from the centre, pairs separated by ", ".
bool OffsetNotation(std::string_view text, std::vector<TPoint>& stones, std::string& why) {
  std::vector<int> numbers;
  size_t at = 0;
  while (at <= text.size()) {
    const size_t comma = text.find(',', at);
    const std::string_view part =
        text.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at);
    int number = 0;
    if (!ParseCoordinate(part, number)) return why = "expected whole numbers", false;
    numbers.push_back(number);
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  if (numbers.size() % 2 != 0) return why = "an x without its y", false;
  constexpr int Centre = BoardSize / 2;
  for (size_t index = 0; index < numbers.size(); index += 2) {
    const TPoint point{numbers[index] + Centre, numbers[index + 1] + Centre};
    if (!TMatchBoard::OnBoard(point.X, point.Y))
      return why = std::to_string(numbers[index]) + "," + std::to_string(numbers[index + 1]) +
                   " is off the 15 x 15 board",
             false;
    stones.push_back(point);
  }
  return true;
}

// The stones on one board, alternately Black and White: none twice, no five.
bool Playable(const std::vector<TPoint>& stones, std::string& why) {
  TMatchBoard board;
  for (size_t index = 0; index < stones.size(); ++index) {
    const TPoint& stone = stones[index];
    if (board.At(stone.X, stone.Y) != TMatchBoard::Empty)
      return why = "two stones on one intersection", false;
    board.Put(stone.X, stone.Y, index % 2 == 0 ? TMatchBoard::Black : TMatchBoard::White);
    if (board.MakesFive(stone.X, stone.Y)) return why = "five in a row already", false;
  }
  return true;
}

}  // namespace

bool ReadOpenings(std::istream& in, std::vector<std::vector<TPoint>>& openings,
                  std::string& error) {
  std::vector<std::vector<TPoint>> read;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string_view text = Trim(line);
    if (text.empty() || text[0] == '#') continue;
    std::vector<TPoint> stones;
    std::string why;
    const bool parsed =
        IsLetter(text[0]) ? BoardNotation(text, stones, why) : OffsetNotation(text, stones, why);
    if (!parsed || !Playable(stones, why)) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
    read.push_back(std::move(stones));
  }
  if (read.empty()) {
    error = "no opening in the file";
    return false;
  }
  openings = std::move(read);
  return true;
}

void OrderOpenings(std::vector<std::vector<TPoint>>& openings, bool random, uint64_t seed) {
  if (!random) return;
  uint64_t state = seed;
  for (size_t index = openings.size(); index > 1; --index)
    std::swap(openings[index - 1], openings[NextRandom(state) % index]);
}

}  // namespace match
