// SPDX-License-Identifier: GPL-3.0-or-later
// An engine program on the far side of two pipes, and the reading of the protocol's lines: the
// part of the match runner that knows processes, pipes and deadlines. Whatever an engine writes,
// and however fast, reading it is bounded in time (one monotonic clock, read after every read of
// the pipe) and in memory (a line is cut at a limit, and what is kept of its chatter is capped).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "LineReader.h"

namespace match {

using TClock = std::chrono::steady_clock;

std::string Upper(std::string_view text);
std::string_view Trim(std::string_view text);
// A whole number of at most three digits, maybe negative, blanks around it allowed.
bool ParseCoordinate(std::string_view text, int& value);
// "x,y" with two such numbers.
bool ParseMove(std::string_view text, int& x, int& y);
// The first word of a line, in capitals: MESSAGE, DEBUG, ERROR, OK, ...
std::string FirstWord(std::string_view line);

// Every line that passes between the runner and the engines during one game, each with the
// milliseconds since the game began and the engine it went to or came from.
class TTranscript {
 public:
  TTranscript() : Zero(TClock::now()) {}
  // way is "->" for a line sent to the engine, "<-" for one from it.
  void Add(char engine, const char* way, std::string_view line);
  const std::string& Text() const { return Lines; }

 private:
  TClock::time_point Zero;
  std::string Lines;
};

// Lines of one kind read during one exchange with an engine (its messages, or its noise): the
// first ones kept, up to a count and a size, and the rest only counted, so that an engine that
// floods its output costs the runner no memory.
class TChatter {
 public:
  static constexpr size_t MaxLines = 100, MaxBytes = 16 * 1024;

  void Add(std::string line);
  const std::vector<std::string>& Kept() const { return KeptLines; }
  int64_t Lines() const { return static_cast<int64_t>(KeptLines.size()) + DroppedLines; }
  int64_t Dropped() const { return DroppedLines; }
  int64_t DroppedBytes() const { return DroppedSize; }

 private:
  std::vector<std::string> KeptLines;
  size_t KeptSize = 0;
  int64_t DroppedLines = 0, DroppedSize = 0;
};

// Kills the process group of every engine running now. Safe in a signal handler: the runner's
// own end (Ctrl+C, a job runner's SIGTERM) no longer reaches the engines, whose groups are not
// the terminal's, so it ends them itself.
void KillEveryEngine();

// An engine program on the far side of two pipes, in a process group of its own, so that
// stopping it also ends whatever it started (a wrapper shell's engine, a helper).
class TEngineProcess {
 public:
  enum class TRead { Line, Timeout, Closed };
  // What stands for a line that ran past the limit: its bytes are dropped to its end.
  static constexpr const char* TooLongLine = "[a line over 64 KiB, dropped]";
  // Lines from one exchange written to the transcript; the rest are counted in one line there.
  static constexpr int TranscribedLines = 200;

  TEngineProcess() = default;
  TEngineProcess(const TEngineProcess&) = delete;
  TEngineProcess& operator=(const TEngineProcess&) = delete;
  ~TEngineProcess() { Stop(); }

  // Starts argv[0] (searched on PATH) with its arguments; false when it cannot be started.
  bool Launch(const std::vector<std::string>& argv);
  bool Running() const { return Pid > 0; }
  // Writes the bytes as they are; false when the engine no longer reads. Each call opens a new
  // exchange, for which the transcript's count starts again.
  bool SendRaw(std::string_view bytes);
  bool Send(std::string_view line) { return SendRaw(std::string(line) + "\n"); }
  // The next non-blank line before deadline (LF, CR LF or CR ends a line). Timeout only once the
  // deadline has passed by the clock, however much the engine writes meanwhile.
  TRead ReadLine(std::string& line, TClock::time_point deadline);
  TRead ReadLine(std::string& line, int timeoutMs) { return ReadLine(line, After(timeoutMs)); }
  // The next line that is neither MESSAGE nor DEBUG; those go to messages when given.
  TRead ReadAnswer(std::string& line, TClock::time_point deadline, TChatter* messages = nullptr);
  TRead ReadAnswer(std::string& line, int timeoutMs, TChatter* messages = nullptr) {
    return ReadAnswer(line, After(timeoutMs), messages);
  }
  // The next line that is a move ("x,y"), on the board or not. MESSAGE and DEBUG lines go to
  // messages, every other line to noise: an engine's stray answers never stand for its move.
  TRead ReadMove(std::string& line, TClock::time_point deadline, TChatter& messages,
                 TChatter& noise);
  // Takes every line the engine has written and the runner not yet read, to noise, so that none
  // of them is taken for the answer to the next command. Reads no more than the pipe holds now,
  // and at most a bounded amount of it.
  void Drain(TChatter& noise);
  // From now on every line sent and read goes into transcript (none when it is null) as engine's.
  void Transcribe(TTranscript* transcript, char engine);
  // Closes its input, gives it graceMs to leave, then kills its whole process group; always
  // reaps the process.
  void Stop(int graceMs = 0);

  static TClock::time_point After(int milliseconds) {
    return TClock::now() + std::chrono::milliseconds(milliseconds);
  }

 private:
  pid_t Pid = -1;
  int ToEngine = -1;
  int FromEngine = -1;
  TLineSplitter Splitter;
  std::deque<std::string> Ready;  // lines split off but not yet handed out
  TTranscript* Transcript = nullptr;
  char Letter = '?';
  int Transcribed = 0;         // lines of this exchange in the transcript
  size_t TranscribedSize = 0;  // and their bytes
  int64_t Untranscribed = 0;   // lines left out of it

  // Reads once from the pipe (what it holds, or its end) and splits it into Ready.
  void ReadChunk();
  bool TakeLine(std::string& line);
  void NoteUntranscribed();
};

}  // namespace match
