// SPDX-License-Identifier: GPL-3.0-or-later
// The clocks of one game, for both engines: what each is told before a move, how long the runner
// waits for it, and what the move costs. Without a match clock every move may take the turn time
// plus the tolerance. With one, each engine's clock is signed and kept in microseconds: a move
// costs what it took, however short, then earns the increment; the clock may run into debt, which
// the engine is told as a negative time left, but never by more than the tolerance, which is
// granted once for the game and not again with every move.
#pragma once

#include <cstdint>

namespace match {

class TMatchClock {
 public:
  // turnMs: the time a move is announced to have; matchMs: each engine's clock, 0 for none.
  TMatchClock(int turnMs, int matchMs, int incrementMs, int toleranceMs);

  // What time_left says without a match clock, as other managers send it.
  static constexpr int64_t NoMatchClockMs = 2147483647;

  bool HasMatchClock() const { return MatchMs > 0; }
  // What INFO time_left tells the engine before its move, in whole milliseconds.
  int64_t TimeLeftMs(int engine) const;
  // The time the engine is announced to have for its move: the turn time, or what its clock
  // holds when that is less (never below 0). A move after it is late.
  int64_t AnnouncedMicroseconds(int engine) const;
  // How long the runner waits for the move: the turn time plus the tolerance, and no longer than
  // the clock with the tolerance allows. A move that takes longer is lost on time.
  int64_t LimitMicroseconds(int engine) const;
  // Charges a move's time to the engine's clock and adds the increment; false when the move
  // came past its limit.
  bool Charge(int engine, int64_t usedMicroseconds);

 private:
  int64_t TurnMicroseconds, ToleranceMicroseconds, IncrementMicroseconds;
  int MatchMs;
  int64_t LeftMicroseconds[2];
};

}  // namespace match
