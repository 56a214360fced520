// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShortcutCheck.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int Rules = static_cast<int>(TShortcut::Count);
std::atomic<uint64_t> Firings[Rules];
}  // namespace

const char* ShortcutCheck::Name(TShortcut rule) {
  static constexpr const char* Names[Rules] = {
      "the defender with one level left",
      "the attacker with two levels left",
      "the attacker with two levels left, searched in full",
      "the attacker with two levels left, searched in full at the limit",
      "the defender with three levels left",
      "the defender with three levels left, searched in full",
      "the defender's list left unranked after the attacker's stone",
      "the defender's list after the attacker's stone, ranked in full",
      "fours known to fail",
      "the set-up walk's stop at the first win"};
  return Names[static_cast<int>(rule)];
}

void ShortcutCheck::Count(TShortcut rule) {
  Firings[static_cast<int>(rule)].fetch_add(1, std::memory_order_relaxed);
}

uint64_t ShortcutCheck::Fired(TShortcut rule) {
  return Firings[static_cast<int>(rule)].load();
}

void ShortcutCheck::Fail(TShortcut rule, const char* what) {
  std::fprintf(stderr, "short-cut check failed: %s: %s\n", Name(rule), what);
  std::abort();
}
