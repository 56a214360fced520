// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchStats.h"

#include <cassert>
#include <cmath>
#include <cstdio>

namespace match {

namespace {

// A pair's score as a fraction of the two games' points.
double PairScore(int halfPoints) {
  return halfPoints / 4.0;
}

// The logistic curve both ways; a perfect score is an infinite difference, not a failed log.
double ExpectedScore(double elo) {
  return 1 / (1 + std::pow(10.0, -elo / 400));
}

double EloOfScore(double score) {
  if (score >= 1) return HUGE_VAL;
  if (score <= 0) return -HUGE_VAL;
  // The + 0.0 turns the -0 of an even score into 0, so that it never prints as -0.
  return -400 * std::log10(1 / score - 1) + 0.0;
}

// The tilt theta that makes q_k = p_k / (1 + theta (x_k - t)) a distribution with mean t. Where
// the q_k are positive, sum p_k (x_k - t) / (1 + theta (x_k - t)) falls strictly from +inf to
// -inf, so its one root is bracketed by the ends and bisection meets it to the last bit. That
// needs p_0 and p_4 above 0: the caller's regularisation sees to it, and keeps the root far
// from either end compared with a double's rounding, so no denominator rounds to nothing.
double Tilt(const double p[5], double t) {
  double low = -1 / (1 - t), high = 1 / t;
  for (;;) {
    const double middle = low + (high - low) / 2;
    if (middle <= low || middle >= high) return middle;
    double balance = 0;
    for (int k = 0; k < 5; ++k) {
      const double offset = PairScore(k) - t;
      balance += p[k] * offset / (1 + middle * offset);
    }
    if (balance == 0) return middle;
    (balance > 0 ? low : high) = middle;
  }
}

// One decimal, rounded half away from zero, and never "-0.0" for a figure that rounds to 0.
std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", std::round(value * 10) / 10 + 0.0);
  return text;
}

}  // namespace

void TPairCounts::Add(int halfPoints) {
  assert(halfPoints >= 0 && halfPoints <= 4);
  ++Counts[halfPoints];
}

int64_t TPairCounts::Pairs() const {
  return Counts[0] + Counts[1] + Counts[2] + Counts[3] + Counts[4];
}

TEloInterval PairElo(const TPairCounts& pairs) {
  TEloInterval elo;
  elo.Pairs = pairs.Pairs();
  if (elo.Pairs == 0) return elo;
  const double count = static_cast<double>(elo.Pairs);
  // The score from the whole count of half points, in one division: a sum of shares p_k x_k
  // misses an even score by a rounding, and its Elo comes out as a tiny negative number.
  int64_t halfPoints = 0;
  for (int k = 0; k < 5; ++k)
    halfPoints += k * pairs.Counts[k];
  const double score = halfPoints / (4 * count);
  double variance = 0;
  for (int k = 0; k < 5; ++k)
    variance += pairs.Counts[k] * std::pow(PairScore(k) - score, 2);
  variance /= count;
  elo.Difference = EloOfScore(score);
  const double error = std::sqrt(variance / count);
  if (error == 0) {
    // Every pair went the same way. A clean sweep would put the normal interval at infinity
    // itself; the exact bound asks instead how small the chance p of winning a pair may be
    // while N straight wins still have a chance of 2.5 %: p^N = 0.025, and a sweep lost is its
    // mirror. A run of one middle outcome is a point with no spread to measure, and the
    // interval is that point.
    const double sweep = EloOfScore(std::pow(0.025, 1 / count));
    elo.Low = score == 1 ? sweep : score == 0 ? -HUGE_VAL : elo.Difference;
    elo.High = score == 1 ? HUGE_VAL : score == 0 ? -sweep : elo.Difference;
    elo.Superiority = score > 0.5 ? 1 : score < 0.5 ? 0 : 0.5;
    return elo;
  }
  elo.Low = EloOfScore(score - 1.959964 * error);
  elo.High = EloOfScore(score + 1.959964 * error);
  elo.Superiority = 0.5 * (1 + std::erf((score - 0.5) / (error * std::sqrt(2.0))));
  return elo;
}

std::string DescribeElo(const TEloInterval& elo) {
  if (elo.Pairs == 0) return "no complete pair";
  const bool lowFinite = std::isfinite(elo.Low), highFinite = std::isfinite(elo.High);
  if (lowFinite && highFinite)
    return "Elo " + OneDecimal(elo.Difference) + " +/- " + OneDecimal((elo.High - elo.Low) / 2) +
           " (95 %)";
  if (lowFinite) return "Elo > " + OneDecimal(elo.Low) + " (95 %)";
  if (highFinite) return "Elo < " + OneDecimal(elo.High) + " (95 %)";
  return "Elo unbounded (95 %)";
}

double PairLlr(const TPairCounts& pairs, double elo0, double elo1) {
  const int64_t count = pairs.Pairs();
  if (count == 0) return 0;
  // An outcome not yet seen gets a thousandth of a pair, so that the support is always all five
  // outcomes: any hypothesis score between 0 and 1 is then the mean of some distribution on it,
  // and a one-sided match is weighed from its first pair instead of waiting for a loss.
  double p[5], total = 0;
  for (int k = 0; k < 5; ++k) {
    p[k] = pairs.Counts[k] > 0 ? static_cast<double>(pairs.Counts[k]) : 1e-3;
    total += p[k];
  }
  for (double& share : p)
    share /= total;
  const double t0 = ExpectedScore(elo0), t1 = ExpectedScore(elo1);
  const double theta0 = Tilt(p, t0), theta1 = Tilt(p, t1);
  // log(q1_k / q0_k) = log(1 + theta0 (x_k - t0)) - log(1 + theta1 (x_k - t1)), the p_k cancel.
  double llr = 0;
  for (int k = 0; k < 5; ++k)
    llr += p[k] *
           (std::log1p(theta0 * (PairScore(k) - t0)) - std::log1p(theta1 * (PairScore(k) - t1)));
  return count * llr;
}

double TSprt::LowerBound() const {
  return std::log(Beta / (1 - Alpha));
}

double TSprt::UpperBound() const {
  return std::log((1 - Beta) / Alpha);
}

int TSprt::Verdict(const TPairCounts& pairs) const {
  const double llr = Llr(pairs);
  return llr >= UpperBound() ? 1 : llr <= LowerBound() ? -1 : 0;
}

}  // namespace match
