// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics of a match counted by game pairs. Every opening is played twice with the colours
// swapped, and the side that moves first wins far more often than not, so the two games of a
// pair are far from independent: a pair won 1-1 says that the opening favours Black, not that
// the engines are even by luck. Counting each pair as one outcome of five (engine A's points over
// the two games, in half points) keeps the opening's bias out of the spread of the scores, and
// that spread is what both the Elo interval and the log-likelihood ratio rest on.
#pragma once

#include <cstdint>
#include <string>

namespace match {

// A's outcomes of complete game pairs; a pair whose second game is still to come is not counted,
// since half a pair carries the opening's bias without its correction.
struct TPairCounts {
  int64_t Counts[5] = {0, 0, 0, 0, 0};  // Counts[k]: pairs in which A scored k half points
  void Add(int halfPoints);             // 0..4
  int64_t Pairs() const;
};

// A's Elo difference over B from the pairs, its 95 % interval (either end may be infinite) and
// the likelihood of superiority. Pairs is the count they rest on, so that no pairs at all can be
// told apart from an even match with no spread (both are a difference of 0 with zero width).
struct TEloInterval {
  double Difference = 0, Low = 0, High = 0, Superiority = 0.5;
  int64_t Pairs = 0;
};

// The mean pair score and its spread, mapped to Elo by the logistic curve. When every pair went
// the same way the normal approximation has no width: a clean sweep gets the exact one-sided
// bound from the count of pairs instead, and a run of identical middle outcomes is the point it
// measured.
TEloInterval PairElo(const TPairCounts& pairs);

// "Elo 34.9 +/- 48.2 (95 %)", "Elo > 312.4 (95 %)", "Elo < -312.4 (95 %)", "Elo unbounded (95 %)"
// or "no complete pair": an infinite end is said in words, never printed as a number.
std::string DescribeElo(const TEloInterval& elo);

// The generalised log-likelihood ratio of H1 (A's Elo difference is elo1) over H0 (elo0) for the
// pairs: for each hypothesis the distribution on the five outcomes that is most likely to have
// given the counts among those whose mean score the hypothesis names. 0 for no pairs. Unlike a
// ratio from wins and losses alone it moves from the first pair on, including a one-sided match.
double PairLlr(const TPairCounts& pairs, double elo0, double elo1);

// A sequential probability ratio test of engine A's Elo difference over B on the game pairs: H0
// that it is elo0, H1 that it is elo1, with the error rates alpha and beta.
struct TSprt {
  bool Enabled = false;
  double Elo0 = 0, Elo1 = 5, Alpha = 0.05, Beta = 0.05;
  double Llr(const TPairCounts& pairs) const { return PairLlr(pairs, Elo0, Elo1); }
  double LowerBound() const;  // at or below it H0 is accepted
  double UpperBound() const;  // at or above it H1 is accepted
  // 1 when H1 is accepted, -1 when H0 is, 0 while undecided.
  int Verdict(const TPairCounts& pairs) const;
};

}  // namespace match
