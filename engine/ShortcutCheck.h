// SPDX-License-Identifier: GPL-3.0-or-later
// The checking build (LINDORA_CHECK_SHORTCUTS=ON): wherever the fast search answers without the
// search it stands for, it runs that search too and stops the program on any difference, naming
// the rule. Each rule's firings are counted, so that tests can show every rule fired.
#pragma once

#include <cstdint>

enum class TShortcut : uint8_t {
  DefenderAtOne,             // the defender to move with one level left answers false
  AttackerAtTwo,             // the attacker to move with two levels left, answered from the lines
  AttackerAtTwoFull,         // ... where too many cells reach an open four: searched in full
  AttackerAtTwoFullAtLimit,  // ... with exactly the limit's number of such cells
  DefenderAtThree,           // the defender to move with three levels left, from the lines
  DefenderAtThreeFull,       // ... where too many cells stand at a four's levels: searched in full
  DefenderListUnranked,      // the defender's list left unranked after the attacker's stone
  DefenderListRanked,        // ... where too many cells stand at an open four: ranked in full
  FoursKnownToFail,          // a search whose fours are known to fail passes them over
  SetUpWalkStop,             // the set-up walk in order of preference stops at the first win
  Count
};

namespace ShortcutCheck {

#if defined(LINDORA_CHECK_SHORTCUTS)
constexpr bool Enabled = true;
#else
constexpr bool Enabled = false;
#endif

const char* Name(TShortcut rule);
void Count(TShortcut rule);
// The firings of a rule since the program started, over all threads.
uint64_t Fired(TShortcut rule);
// Reports the rule and what differed on standard error, then aborts.
[[noreturn]] void Fail(TShortcut rule, const char* what);

}  // namespace ShortcutCheck
