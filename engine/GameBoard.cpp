// SPDX-License-Identifier: GPL-3.0-or-later
// Board model and stone placement.
#include "GameBoard.h"

#include "SearchHelper.h"

namespace {
constexpr double WinningScore = 1900000.0;
constexpr float AnnounceAbove = 900000.0f;
}  // namespace

bool InRange(int32_t value, int32_t low, int32_t high) {
  return low <= value && value <= high;
}

void DirectionStep(uint8_t direction, int32_t& columnStep, int32_t& rowStep) {
  static constexpr int32_t Steps[4][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}};
  if (direction > 3) return;
  columnStep = Steps[direction][0];
  rowStep = Steps[direction][1];
}

TGameBoard::TGameBoard() {
  Clear();
  // The move choice's helper threads are made with the first engine, never during a decision.
  TSearchHelper::Start();
}

void TGameBoard::Clear() {
  std::memset(Board, CellBorder, sizeof Board);
  for (int32_t column = 1; column <= BoardSize; ++column) {
    for (int32_t row = 1; row <= BoardSize; ++row)
      Board[column][row] = CellEmpty;
  }
  std::memset(&Threat, 0, sizeof Threat);
}

const char* TGameBoard::ColourName(uint8_t colour) {
  return colour == CellBlack ? "Black" : "White";
}

uint8_t TGameBoard::CellAt(int32_t column, int32_t row) const {
  if (InRange(column, 1, BoardSize) && InRange(row, 1, BoardSize)) return Board[column][row];
  return CellEmpty;
}

void TGameBoard::Report(std::string_view text) const {
  if (Reporter != nullptr) Reporter->ShowMessage(text);
}

bool TGameBoard::PlaceStone(int32_t column, int32_t row, uint8_t colour) {
  if (!InRange(column, 1, BoardSize) || !InRange(row, 1, BoardSize) ||
      !InRange(colour, CellEmpty, CellWhite)) {
    Report(" Set Wrong!");
    return false;
  }
  if (colour != CellEmpty && Board[column][row] != CellEmpty) {
    Report(" Set Wrong!");
    return false;
  }
  if (colour != CellEmpty) {
    double score = 0;
    if (WinScore(column, row, colour, score) && score > AnnounceAbove) {
      char text[16] = {};
      std::string_view name = ColourName(colour);
      name.copy(text, name.size());
      std::string_view(" Win!").copy(text + name.size(), 5);
      Report(std::string_view(text, name.size() + 5));
    }
  }
  Board[column][row] = colour;
  RescanLines(column, row);
  return true;
}

bool TGameBoard::WinScore(int32_t column, int32_t row, uint8_t colour, double& score) const {
  const int8_t* levels = Threat.Cell(colour, column, row);
  for (int direction = 0; direction < 4; ++direction) {
    if (levels[direction] == FiveLevel) {
      score = WinningScore;
      return true;
    }
  }
  return false;
}
