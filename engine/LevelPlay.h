// SPDX-License-Identifier: GPL-3.0-or-later
// What the levels share inside the engine: the design's decision with its verdict caught
// instead of shown, and the weak levels' choice.
#pragma once

#include "GameBoard.h"
#include "Levels.h"

// The verdicts the design's ChooseMove shows: a forced win, a move that sets one up, a defence
// against the opponent's, none against it, and " " for none of these.
enum class TVerdict { None, Win, SetUp, Defence, Lost };
// "I win! ", "I will win! ", "you will win! ", "you win! " or " ".
const char* VerdictText(TVerdict verdict);

// ChooseMove at depth on engine, its verdict handed back instead of shown.
TVerdict DesignMove(TGameBoard& engine, uint8_t colour, int32_t depth, int32_t& column,
                    int32_t& row);

// Beginner's and Easy's move, and its verdict.
TVerdict WeakMove(TGameBoard& engine, TLevel level, uint8_t colour, int32_t& column, int32_t& row);

// true when no stone stands within two intersections of (column, row) either way.
bool FarFromStones(const TGameBoard& engine, int32_t column, int32_t row);

// An intersection's threat to either colour, by the design's weights.
double CellWeight(const TGameBoard& engine, int32_t column, int32_t row);
// The first intersection in scan order where colour completes five, or false.
bool FivePoint(const TGameBoard& engine, uint8_t colour, int32_t& column, int32_t& row);
// Keeps (column, row) among the count best cells by weight, best first, most at most; the cells
// before first stay where they are.
void KeepBest(double* weights, int32_t (*cells)[2], int& count, int most, int first, double weight,
              int32_t column, int32_t row);
