// SPDX-License-Identifier: GPL-3.0-or-later
// The two turns of the forced-win search, written once for both ways of keeping the searched
// position: the plain search that copies its lists and table at every level, and the fast search
// that changes them in place and undoes the changes on the way back.
//
// TSearcher supplies
//   Level(colour, slot)              the Level of slot 1..12 of the colour's list,
//   Move(colour, slot)               that slot's cell as a TMove,
//   Try(attacker, toMove, minLevel, move, depth, foursKnownToFail)
//                                    the nested search with a trial stone on move.
//
// foursKnownToFail says that the same search with minLevel 9 is known to answer false. The
// attacker's fours then win nothing, since they are tried with minLevel 9 whatever the search's
// own minLevel, so a search that knows it may pass them over; the plain search never knows it.
#pragma once

#include <cstdint>

#include "GameBoard.h"

namespace SearchTurns {

constexpr int Last = CandidateList::SlotCount;

// The attacker to move: win, block a five, make a four, or (threes allowed) meet the defender's
// counter-threats and make a three. Each cell it hands on is written to move first, so on
// success move holds the first move of the win.
template <class TSearcher, class TMove>
bool AttackersTurn(TSearcher& searcher, uint8_t attacker, TMove& move, uint8_t minLevel,
                   int32_t depth, bool foursKnownToFail = false) {
  const uint8_t defender = Opponent(attacker);
  TMove trial{};
  auto take = [&](uint8_t colour, int slot) { move = trial = searcher.Move(colour, slot); };
  auto tryMove = [&](uint8_t a, uint8_t t, uint8_t m, bool known = false) {
    return searcher.Try(a, t, m, trial, depth - 1, known);
  };
  auto own = [&](int slot) { return searcher.Level(attacker, slot); };
  auto theirs = [&](int slot) { return searcher.Level(defender, slot); };

  if (own(1) == 11) {
    take(attacker, 1);
    return true;
  }
  if (theirs(1) == 11) {
    take(defender, 1);
    return tryMove(attacker, defender, minLevel, foursKnownToFail);
  }
  if (own(1) == 10) {
    take(attacker, 1);
    return true;
  }
  if (own(1) == 9 && !foursKnownToFail) {
    for (int slot = 1; slot <= Last && own(slot) >= 9; ++slot) {
      take(attacker, slot);
      if (tryMove(attacker, defender, 9)) return true;
    }
  }
  if (minLevel >= 9) return false;

  // The defender has an open-four point: the attacker must occupy one of its strong points.
  if (theirs(1) == 10) {
    for (int slot = 1; slot <= Last; ++slot) {
      if (theirs(slot) < 9) return false;
      take(defender, slot);
      if (tryMove(attacker, defender, minLevel)) return true;
    }
  }
  // The defender could answer a three with a four of its own: if it wins by fours from one, the
  // attacker's threes come too late.
  if (theirs(1) == 9) {
    for (int slot = 1; slot <= Last && theirs(slot) == 9; ++slot) {
      take(defender, slot);
      if (tryMove(defender, attacker, 9)) return false;
    }
  }
  // Reached with own(1) at most 9: the fours among these have just failed with minLevel 9.
  if (own(1) >= 7) {
    for (int slot = 1; slot <= Last && own(slot) >= 7; ++slot) {
      take(attacker, slot);
      if (tryMove(attacker, defender, 7, own(slot) >= 9)) return true;
    }
  }
  return false;
}

// The defender's own top level as DefendersTurn reads it, given the top of the attacker's list:
// a five point or not when the attacker's tops at a five point, an open-four point or more or not
// when it tops at an open-four point, and nothing when it tops lower, since the turn then answers
// false whatever the defender holds. Tops that read the same make the same turn.
constexpr int8_t OwnTopAsRead(int8_t ownTop, int8_t attackerTop) {
  if (attackerTop == 11) return ownTop == 11 ? 11 : 0;
  if (attackerTop == 10) return ownTop >= 10 ? 10 : 0;
  return 0;
}

// The defender to move after an attacker's threat. The attacker's win holds only if every block
// of the threat still loses; a threat the defender need not answer wins nothing.
//
// The turn reads the attacker's list slot by slot, and of the defender's own list only the top
// level, ownTop, and that only through OwnTopAsRead. So the searcher hands it, at the start of
// the turn, the top of the defender's list as the stone that made the threat leaves it (or as the
// search was given it, when no stone was placed), or any level that reads the same; and the
// searcher need not rank the defender's list at all, since nothing reads it before a block, the
// defender's stone, empties it.
template <class TSearcher, class TMove>
bool DefendersTurn(TSearcher& searcher, uint8_t attacker, int8_t ownTop, uint8_t minLevel,
                   int32_t depth, bool foursKnownToFail = false) {
  auto tryBlock = [&](int slot, bool known = false) {
    TMove block = searcher.Move(attacker, slot);
    return searcher.Try(attacker, attacker, minLevel, block, depth - 1, known);
  };
  auto theirs = [&](int slot) { return searcher.Level(attacker, slot); };

  const int8_t own = OwnTopAsRead(ownTop, theirs(1));
  if (own == 11) return false;
  if (theirs(1) == 11) return tryBlock(1, foursKnownToFail);
  if (own == 10) return false;
  if (theirs(1) == 10) {
    for (int slot = 1; slot <= Last; ++slot) {
      if (theirs(slot) < 9) return true;
      if (!tryBlock(slot)) return false;
    }
  }
  return false;
}

}  // namespace SearchTurns
