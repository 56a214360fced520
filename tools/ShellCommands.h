// SPDX-License-Identifier: GPL-3.0-or-later
// The command interpreter behind lindora-cli, kept apart from main() so tests can drive it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GameBoard.h"
#include "Levels.h"
#include "LineReader.h"

// Collects what the engine shows during one command.
class TRecordingReporter : public TReporter {
 public:
  std::vector<std::string> Messages;
  std::vector<std::pair<int, std::string>> Panels;

  void ShowMessage(std::string_view text) override { Messages.emplace_back(text); }
  void SetPanelText(int panel, std::string_view text) override { Panels.emplace_back(panel, text); }
  void Reset() {
    Messages.clear();
    Panels.clear();
  }
};

// Text as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

class TEngineShell {
 public:
  TEngineShell();

  // Answers one input line with one line of JSON (no newline); an empty answer for a blank
  // line or a comment. Bad input answers {"error":"..."} and leaves the position alone.
  std::string Execute(std::string_view line);
  // The same for a line as read; one that ran too long answers {"error":"..."}.
  std::string Execute(const TInputLine& line, size_t maxLineBytes);

  const TGameBoard& Engine() const { return Board; }

 private:
  TGameBoard Board;
  TRecordingReporter Recorder;
  // The level choose answers at; the player exists once a level above Normal was chosen, so
  // that a shell at the design's level never makes the search's table.
  TLevel Level = TLevel::Normal;
  TThinkLimits Limits;
  std::unique_ptr<TLevelPlayer> Player;

  std::string Place(const std::vector<std::string>& args);
  std::string Choose(const std::vector<std::string>& args);
  std::string Search(const std::vector<std::string>& args);
  std::string SetLevel(const std::vector<std::string>& args);
  std::string MessagesAndPanels() const;
};
