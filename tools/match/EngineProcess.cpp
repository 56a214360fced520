// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace match {

namespace {

// How long a write may wait for an engine that does not read its input before it counts as
// gone: far longer than any engine busy thinking needs for the pipe's few kilobytes.
constexpr int WritePatienceMs = 2000;
// What one drain reads at most: an engine that never stops writing is not followed for ever.
constexpr int DrainChunks = 16;
// Bytes of one exchange's lines written to the transcript, beside the count of lines.
constexpr size_t TranscribedBytes = 64 * 1024;

// The engines running now, for KillEveryEngine: plain atomics, since a signal handler reads them.
constexpr int EngineSlots = 256;
std::atomic<pid_t> RunningEngines[EngineSlots];

void Register(pid_t pid) {
  for (std::atomic<pid_t>& slot : RunningEngines) {
    pid_t empty = 0;
    if (slot.compare_exchange_strong(empty, pid)) return;
  }
}

void Unregister(pid_t pid) {
  for (std::atomic<pid_t>& slot : RunningEngines) {
    pid_t own = pid;
    if (slot.compare_exchange_strong(own, 0)) return;
  }
}

timespec TimeLeft(TClock::duration left) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
  return timespec{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
}

}  // namespace

void KillEveryEngine() {
  for (std::atomic<pid_t>& slot : RunningEngines) {
    const pid_t pid = slot.load();
    if (pid > 0) kill(-pid, SIGKILL);
  }
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& ch : upper)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return upper;
}

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool ParseCoordinate(std::string_view text, int& value) {
  text = Trim(text);
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 3) return false;
  int magnitude = 0;
  for (const char ch : text) {
    if (!std::isdigit(static_cast<unsigned char>(ch))) return false;
    magnitude = magnitude * 10 + (ch - '0');
  }
  value = negative ? -magnitude : magnitude;
  return true;
}

bool ParseMove(std::string_view text, int& x, int& y) {
  const size_t comma = text.find(',');
  return comma != std::string_view::npos && ParseCoordinate(text.substr(0, comma), x) &&
         ParseCoordinate(text.substr(comma + 1), y);
}

std::string FirstWord(std::string_view line) {
  const std::string_view text = Trim(line);
  return Upper(text.substr(0, text.find(' ')));
}

void TChatter::Add(std::string line) {
  if (KeptLines.size() < MaxLines && KeptSize + line.size() <= MaxBytes) {
    KeptSize += line.size();
    KeptLines.push_back(std::move(line));
  } else {
    ++DroppedLines;
    DroppedSize += static_cast<int64_t>(line.size());
  }
}

bool TEngineProcess::Launch(const std::vector<std::string>& argv) {
  Stop();
  if (argv.empty()) return false;
  int input[2], output[2], failure[2];
  if (pipe2(input, O_CLOEXEC) != 0) return false;
  if (pipe2(output, O_CLOEXEC) != 0) {
    close(input[0]);
    close(input[1]);
    return false;
  }
  if (pipe2(failure, O_CLOEXEC) != 0) {
    for (int fd : {input[0], input[1], output[0], output[1]})
      close(fd);
    return false;
  }
  std::vector<char*> args;
  for (const std::string& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const pid_t pid = fork();
  if (pid == 0) {
    // The child: the pipes become its standard input and output; the failure pipe closes by
    // itself on a successful exec and otherwise carries errno back.
    // A process group of its own, so that stopping the engine reaches what it starts.
    setpgid(0, 0);
    dup2(input[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    signal(SIGPIPE, SIG_DFL);
    execvp(args[0], args.data());
    const int error = errno;
    if (write(failure[1], &error, sizeof error) < 0) _exit(127);
    _exit(127);
  }
  close(input[0]);
  close(output[1]);
  close(failure[1]);
  if (pid < 0) {
    for (int fd : {input[1], output[0], failure[0]})
      close(fd);
    return false;
  }
  // Set from both sides, so the group exists before the parent may signal it.
  setpgid(pid, pid);
  Register(pid);
  Pid = pid;
  ToEngine = input[1];
  fcntl(ToEngine, F_SETFL, fcntl(ToEngine, F_GETFL) | O_NONBLOCK);
  FromEngine = output[0];
  Splitter = TLineSplitter();
  Ready.clear();
  int error = 0;
  ssize_t got;
  do {
    got = read(failure[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  close(failure[0]);
  if (got > 0) {
    Stop();
    return false;
  }
  return true;
}

void TTranscript::Add(char engine, const char* way, std::string_view line) {
  const auto since =
      std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - Zero).count();
  std::string stamp = std::to_string(since);
  if (stamp.size() < 8) stamp.insert(0, 8 - stamp.size(), ' ');
  Lines += stamp + " ms  " + engine + " " + way + " " + std::string(line) + "\n";
}

void TEngineProcess::Transcribe(TTranscript* transcript, char engine) {
  NoteUntranscribed();
  Transcript = transcript;
  Letter = engine;
}

void TEngineProcess::NoteUntranscribed() {
  if (Transcript != nullptr && Untranscribed > 0)
    Transcript->Add(Letter, "<-", "[" + std::to_string(Untranscribed) + " more lines not kept]");
  Transcribed = 0;
  TranscribedSize = 0;
  Untranscribed = 0;
}

bool TEngineProcess::SendRaw(std::string_view bytes) {
  NoteUntranscribed();
  if (Transcript != nullptr) {
    for (std::string_view rest = bytes; !rest.empty();) {
      const size_t end = rest.find('\n');
      Transcript->Add(Letter, "->", rest.substr(0, end));
      rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }
  }
  if (ToEngine < 0) return false;
  // A write to an engine that has exited raises SIGPIPE, which would end the runner (or a test
  // driving it). The signal is held back for the write and a pending one taken away, so the
  // dead engine shows up as a failed write alone.
  sigset_t pipeSignal, previous, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  sigpending(&pending);
  const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
  const TClock::time_point deadline = After(WritePatienceMs);
  bool sent = true;
  while (!bytes.empty() && sent) {
    const ssize_t count = write(ToEngine, bytes.data(), bytes.size());
    if (count > 0) {
      bytes.remove_prefix(static_cast<size_t>(count));
    } else if (count < 0 && errno == EAGAIN) {
      // The pipe is full: the engine does not read. It may, within the patience.
      pollfd watch{ToEngine, POLLOUT, 0};
      const TClock::time_point now = TClock::now();
      const timespec wait = TimeLeft(deadline - now);
      sent = now < deadline && (ppoll(&watch, 1, &wait, nullptr) >= 0 || errno == EINTR);
    } else if (count == 0 || errno != EINTR) {
      sent = false;
    }
  }
  if (!sent && !alreadyPending) {
    const timespec noWait{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return sent;
}

void TEngineProcess::ReadChunk() {
  char chunk[4096];
  ssize_t count;
  do {
    count = read(FromEngine, chunk, sizeof chunk);
  } while (count < 0 && errno == EINTR);
  std::vector<TInputLine> lines;
  if (count > 0) {
    Splitter.Feed(std::string_view(chunk, static_cast<size_t>(count)), lines);
  } else {
    // The engine has gone: a last line without its end still counts.
    Splitter.Finish(lines);
    close(FromEngine);
    FromEngine = -1;
  }
  for (TInputLine& line : lines) {
    // Blank lines carry nothing.
    if (line.TooLong)
      Ready.emplace_back(TooLongLine);
    else if (!Trim(line.Text).empty())
      Ready.push_back(std::move(line.Text));
  }
}

bool TEngineProcess::TakeLine(std::string& line) {
  if (Ready.empty()) return false;
  line = std::move(Ready.front());
  Ready.pop_front();
  if (Transcript != nullptr) {
    // A move is always written down: it is what the verdict rests on.
    int x = 0, y = 0;
    if ((Transcribed < TranscribedLines && TranscribedSize + line.size() <= TranscribedBytes) ||
        ParseMove(line, x, y)) {
      ++Transcribed;
      TranscribedSize += line.size();
      Transcript->Add(Letter, "<-", line);
    } else {
      ++Untranscribed;
    }
  }
  return true;
}

// The clock is read after every read of the pipe, so an engine that writes without pause, with
// line ends or without, cannot hold the runner past the deadline; and a poll that comes back
// empty is no timeout until the clock says the deadline has passed.
TEngineProcess::TRead TEngineProcess::ReadLine(std::string& line, TClock::time_point deadline) {
  for (;;) {
    if (TakeLine(line)) return TRead::Line;
    if (FromEngine < 0) return TRead::Closed;
    const TClock::time_point now = TClock::now();
    if (now >= deadline) return TRead::Timeout;
    pollfd watch{FromEngine, POLLIN, 0};
    const timespec wait = TimeLeft(deadline - now);
    const int ready = ppoll(&watch, 1, &wait, nullptr);
    if (ready > 0) ReadChunk();
  }
}

TEngineProcess::TRead TEngineProcess::ReadAnswer(std::string& line, TClock::time_point deadline,
                                                 TChatter* messages) {
  for (;;) {
    const TRead read = ReadLine(line, deadline);
    if (read != TRead::Line) return read;
    const std::string word = FirstWord(line);
    if (word != "MESSAGE" && word != "DEBUG") return read;
    if (messages != nullptr) messages->Add(line);
  }
}

TEngineProcess::TRead TEngineProcess::ReadMove(std::string& line, TClock::time_point deadline,
                                               TChatter& messages, TChatter& noise) {
  for (;;) {
    const TRead read = ReadAnswer(line, deadline, &messages);
    int x = 0, y = 0;
    if (read != TRead::Line || ParseMove(line, x, y)) return read;
    noise.Add(line);
  }
}

void TEngineProcess::Drain(TChatter& noise) {
  std::string line;
  for (int chunk = 0;; ++chunk) {
    while (TakeLine(line))
      noise.Add(line);
    if (FromEngine < 0 || chunk == DrainChunks) return;
    pollfd watch{FromEngine, POLLIN, 0};
    if (poll(&watch, 1, 0) <= 0) return;
    ReadChunk();
  }
}

void TEngineProcess::Stop(int graceMs) {
  NoteUntranscribed();
  if (ToEngine >= 0) close(ToEngine);
  ToEngine = -1;
  if (Pid > 0) {
    // Whether the engine has left, without reaping it: until it is reaped its number cannot be
    // taken by another process, so the group's number still means its group.
    auto exited = [this] {
      siginfo_t info{};
      return waitid(P_PID, static_cast<id_t>(Pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
             info.si_pid == Pid;
    };
    const TClock::time_point deadline = After(graceMs);
    bool gone = exited();
    while (!gone && TClock::now() < deadline) {
      usleep(5000);
      gone = exited();
    }
    // The whole group, whether or not the engine left by itself: nothing it started stays.
    kill(-Pid, SIGKILL);
    if (!gone) kill(Pid, SIGKILL);
    while (waitpid(Pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    Unregister(Pid);
  }
  Pid = -1;
  if (FromEngine >= 0) close(FromEngine);
  FromEngine = -1;
  Ready.clear();
}

}  // namespace match
