// SPDX-License-Identifier: GPL-3.0-or-later
// The pair statistics against figures worked out by hand: a sweep and a near sweep, which must
// decide an SPRT of 0 against 50 Elo within about 50 games, an even match with no spread, mixed
// pairs, a lost sweep, and the five shapes of the text.
#include <gtest/gtest.h>

#include <cmath>

#include "MatchStats.h"

namespace {

using match::TPairCounts;

constexpr double Inf = HUGE_VAL;

// An infinite end must be exactly that, with the right sign; a finite one within 1e-3 Elo.
void ExpectElo(double actual, double expected, const char* what) {
  if (std::isinf(expected))
    EXPECT_EQ(actual, expected) << what;
  else
    EXPECT_NEAR(actual, expected, 1e-3) << what;
}

TEST(MatchStats, PairEloAndItsText) {
  const struct {
    TPairCounts Pairs;
    double Difference, Low, High, Superiority;
    const char* Text;
  } rows[] = {
      {{{0, 0, 0, 0, 25}}, Inf, 319.4442, Inf, 1, "Elo > 319.4 (95 %)"},
      {{{0, 0, 1, 3, 21}}, 511.5014, 385.5743, 1080.0355, 1, "Elo 511.5 +/- 347.2 (95 %)"},
      {{{0, 0, 20, 0, 0}}, 0, 0, 0, 0.5, "Elo 0.0 +/- 0.0 (95 %)"},
      {{{0, 0, 0, 7, 0}}, 190.8485, 190.8485, 190.8485, 1, "Elo 190.8 +/- 0.0 (95 %)"},
      {{{1, 2, 3, 2, 1}}, 0, -137.8574, 137.8574, 0.5, "Elo 0.0 +/- 137.9 (95 %)"},
      {{{0, 1, 4, 3, 2}}, 107.5381, 5.5505, 232.2783, 0.98078, "Elo 107.5 +/- 113.4 (95 %)"},
      {{{25, 0, 0, 0, 0}}, -Inf, -Inf, -319.4442, 0, "Elo < -319.4 (95 %)"},
      {{{1, 0, 0, 0, 1}}, 0, -Inf, Inf, 0.5, "Elo unbounded (95 %)"},
      {{{0, 0, 0, 0, 0}}, 0, 0, 0, 0.5, "no complete pair"},
  };
  for (const auto& row : rows) {
    const match::TEloInterval elo = match::PairElo(row.Pairs);
    ExpectElo(elo.Difference, row.Difference, row.Text);
    ExpectElo(elo.Low, row.Low, row.Text);
    ExpectElo(elo.High, row.High, row.Text);
    // An even score is 0, not -0, wherever the figure goes next.
    EXPECT_FALSE(row.Difference == 0 && std::signbit(elo.Difference)) << row.Text;
    EXPECT_NEAR(elo.Superiority, row.Superiority, 1e-5) << row.Text;
    EXPECT_EQ(match::DescribeElo(elo), row.Text);
  }
}

TEST(MatchStats, PairLlrWeighsOneSidedMatchesFromTheFirstPair) {
  const struct {
    TPairCounts Pairs;
    double Elo0, Elo1, Llr;
  } rows[] = {
      {{{0, 0, 0, 0, 25}}, 0, 50, 3.3395083},
      {{{0, 0, 1, 3, 21}}, 0, 50, 3.3394789},
      {{{25, 0, 0, 0, 0}}, 0, 50, -3.8554944},
      {{{0, 0, 20, 0, 0}}, 0, 5, -0.2836245},
      {{{0, 0, 0, 7, 0}}, 0, 5, 0.0999698},
      {{{1, 2, 3, 2, 1}}, 0, 5, -0.0027953},
      {{{0, 1, 4, 3, 2}}, -10, 10, 0.5750599},
      {{{1, 0, 0, 0, 1}}, 0, 5, -0.0002074},
      {{{0, 0, 0, 0, 0}}, 0, 5, 0},
  };
  for (const auto& row : rows)
    EXPECT_NEAR(match::PairLlr(row.Pairs, row.Elo0, row.Elo1), row.Llr, 1e-5) << row.Llr;
  // A sweep of 0 against 50 Elo is accepted at 23 pairs (LLR 3.0723), not at 22 (2.9387).
  TPairCounts sweep;
  for (int pair = 0; pair < 23; ++pair) {
    EXPECT_LT(match::PairLlr(sweep, 0, 50), 2.944) << pair;
    sweep.Add(4);
  }
  EXPECT_NEAR(match::PairLlr(sweep, 0, 50), 3.0723246, 1e-5);
}

}  // namespace
