// SPDX-License-Identifier: GPL-3.0-or-later
// Openings from a file, one a line, in the two notations the Gomoku community shares:
//   offsets from the centre, "x,y" pairs separated by ", ":  0,0, 1,-1, -1,1
//     (protocol coordinate = offset + 7 on the 15 x 15 board, so the centre is 0,0);
//   board notation, column letters a..o from the left and rows 1..15 from the bottom:  h8i9i7
//     (h8 is the centre; blanks or commas between stones are allowed).
// Blank lines and lines starting with # are passed over. Stones alternate Black and White.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "MatchRunner.h"

namespace match {

// Reads every opening of in; false with the first bad line's number and reason in error, and
// nothing in openings, when a line is not an opening both notations agree on: a stone off the
// 15 x 15 board, two on one intersection, five already, or neither notation.
bool ReadOpenings(std::istream& in, std::vector<std::vector<TPoint>>& openings, std::string& error);

// The openings in the order of play: as given, or shuffled from seed.
void OrderOpenings(std::vector<std::vector<TPoint>>& openings, bool random, uint64_t seed);

}  // namespace match
