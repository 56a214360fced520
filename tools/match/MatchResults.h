// SPDX-License-Identifier: GPL-3.0-or-later
// A run's results file, one JSON object a line: first the series the run belongs to and the
// games of it that it plays, then a line per game with the pair it belongs to, then the engines'
// names. Runs of the same series on any number of machines are merged into one table with the
// same statistics as one run of the whole series.
//   {"series":{...},"range":[1,20]}
//   {"game":7,"pair":4,"black":"A","winner":"B","end":"timeout","detail":"...","stones":12,
//    "opening":3,"moves":[5,4],"late":[0,1],"us":[1234,5678],"max_us":[300,900],"noise":[0,2]}
//   {"names":["Lindora 2.1",""]}
// Games, pairs and ranges are numbered from 1, as the game lines and records are.
#pragma once

#include <istream>
#include <string>

#include "MatchRunner.h"

namespace match {

std::string ResultsHeader(const TMatchOptions& options);
std::string ResultsLine(const TGameSummary& game, const TGameResult& result);
std::string ResultsNames(const std::string names[2]);

// The runs merged so far: their totals and what the summary says beside them.
struct TMergedRuns {
  std::string Series;  // the series every run must share, as its header gives it
  TTally Tally;
  TSummaryNotes Notes;
  int Runs = 0;
};

// Adds one run's results file to merged; false with the reason, naming the file and its line,
// when a line is not a results line, the run belongs to another series, or a game of it was
// counted already. Nothing of a file that fails is added.
bool MergeResults(std::istream& in, const std::string& name, TMergedRuns& merged,
                  std::string& error);

}  // namespace match
