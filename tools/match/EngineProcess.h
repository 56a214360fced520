// SPDX-License-Identifier: GPL-3.0-or-later
// An engine program on the far side of two pipes, and the reading of the protocol's lines: the
// part of the match runner that knows processes, pipes and deadlines.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace match {

std::string Upper(std::string_view text);
std::string_view Trim(std::string_view text);
// A whole number of at most three digits, maybe negative, blanks around it allowed.
bool ParseCoordinate(std::string_view text, int& value);
// "x,y" with two such numbers.
bool ParseMove(std::string_view text, int& x, int& y);

// Every line that passes between the runner and the engines during one game, each with the
// milliseconds since the game began and the engine it went to or came from.
class TTranscript {
 public:
  TTranscript() : Zero(std::chrono::steady_clock::now()) {}
  // way is "->" for a line sent to the engine, "<-" for one from it.
  void Add(char engine, const char* way, std::string_view line);
  const std::string& Text() const { return Lines; }

 private:
  std::chrono::steady_clock::time_point Zero;
  std::string Lines;
};

// An engine program on the far side of two pipes.
class TEngineProcess {
 public:
  enum class TRead { Line, Timeout, Closed };

  TEngineProcess() = default;
  TEngineProcess(const TEngineProcess&) = delete;
  TEngineProcess& operator=(const TEngineProcess&) = delete;
  ~TEngineProcess() { Stop(); }

  // Starts argv[0] (searched on PATH) with its arguments; false when it cannot be started.
  bool Launch(const std::vector<std::string>& argv);
  bool Running() const { return Pid > 0; }
  // Writes the bytes as they are; false when the engine no longer reads.
  bool SendRaw(std::string_view bytes);
  bool Send(std::string_view line) { return SendRaw(std::string(line) + "\n"); }
  // The next non-blank line within timeoutMs (LF, CR LF or CR ends a line).
  TRead ReadLine(std::string& line, int timeoutMs);
  // The next line that is neither MESSAGE nor DEBUG; those are handed to skipped when given.
  TRead ReadAnswer(std::string& line, int timeoutMs, std::vector<std::string>* skipped = nullptr);
  // The next line that is a move ("x,y"), on the board or not. MESSAGE and DEBUG lines are handed
  // to skipped, every other line to noise: an engine's stray answers never stand for its move.
  TRead ReadMove(std::string& line, int timeoutMs, std::vector<std::string>& skipped,
                 std::vector<std::string>& noise);
  // From now on every line sent and read goes into transcript (none when it is null) as engine's.
  void Transcribe(TTranscript* transcript, char engine) {
    Transcript = transcript;
    Letter = engine;
  }
  // Closes its input, gives it graceMs to leave, then kills it; always reaps the process.
  void Stop(int graceMs = 0);

 private:
  pid_t Pid = -1;
  int ToEngine = -1;
  int FromEngine = -1;
  std::string Buffer;
  TTranscript* Transcript = nullptr;
  char Letter = '?';

  bool TakeLine(std::string& line);
};

}  // namespace match
