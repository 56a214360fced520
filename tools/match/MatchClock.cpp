// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchClock.h"

#include <algorithm>

namespace match {

TMatchClock::TMatchClock(int turnMs, int matchMs, int incrementMs, int toleranceMs)
    : TurnMicroseconds(int64_t{turnMs} * 1000),
      ToleranceMicroseconds(int64_t{toleranceMs} * 1000),
      IncrementMicroseconds(int64_t{incrementMs} * 1000),
      MatchMs(matchMs),
      LeftMicroseconds{int64_t{matchMs} * 1000, int64_t{matchMs} * 1000} {}

int64_t TMatchClock::TimeLeftMs(int engine) const {
  if (!HasMatchClock()) return NoMatchClockMs;
  const int64_t left = LeftMicroseconds[engine];
  // Rounded toward minus infinity: a clock 0.4 ms in debt is announced as -1, not 0.
  return left >= 0 ? left / 1000 : -((-left + 999) / 1000);
}

int64_t TMatchClock::AnnouncedMicroseconds(int engine) const {
  if (!HasMatchClock()) return TurnMicroseconds;
  return std::max<int64_t>(0, std::min(TurnMicroseconds, LeftMicroseconds[engine]));
}

int64_t TMatchClock::LimitMicroseconds(int engine) const {
  const int64_t turn = TurnMicroseconds + ToleranceMicroseconds;
  if (!HasMatchClock()) return turn;
  return std::min(turn, LeftMicroseconds[engine] + ToleranceMicroseconds);
}

bool TMatchClock::Charge(int engine, int64_t usedMicroseconds) {
  const bool inTime = usedMicroseconds <= LimitMicroseconds(engine);
  if (HasMatchClock()) LeftMicroseconds[engine] += IncrementMicroseconds - usedMicroseconds;
  return inTime;
}

}  // namespace match
