// SPDX-License-Identifier: GPL-3.0-or-later
// The bounds of one thought, asked at every position: once out, it stays out, so the search
// unwinds at once and answers the best it has.
#pragma once

#include <chrono>
#include <cstdint>

#include "Levels.h"

class TSearchBudget {
 public:
  void Start(const TThinkLimits& limits) {
    Limits = limits;
    Began = std::chrono::steady_clock::now();
    Deadline = Began + std::chrono::microseconds(limits.Microseconds);
    Out = false;
  }
  // True once searched positions reach the node bound, the time is up or a stop is asked.
  bool Spent(uint64_t searched) {
    if (Out) return true;
    Out = (Limits.Nodes > 0 && searched >= Limits.Nodes) ||
          (Limits.Stop != nullptr && Limits.Stop->load(std::memory_order_relaxed)) ||
          (Limits.Microseconds > 0 && std::chrono::steady_clock::now() >= Deadline);
    return Out;
  }
  bool Stopped() const { return Out; }
  // True once this part of the time has gone by.
  bool PastPart(int numerator, int denominator) const {
    return Limits.Microseconds > 0 &&
           std::chrono::steady_clock::now() - Began >
               std::chrono::microseconds(Limits.Microseconds * numerator / denominator);
  }

 private:
  TThinkLimits Limits;
  std::chrono::steady_clock::time_point Began, Deadline;
  bool Out = false;
};
