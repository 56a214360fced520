// SPDX-License-Identifier: GPL-3.0-or-later
#include "EngineProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace match {

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

}  // namespace

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
  Pid = pid;
  ToEngine = input[1];
  FromEngine = output[0];
  Buffer.clear();
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
  const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - Zero);
  std::string stamp = std::to_string(since.count());
  if (stamp.size() < 8) stamp.insert(0, 8 - stamp.size(), ' ');
  Lines += stamp + " ms  " + engine + " " + way + " " + std::string(line) + "\n";
}

bool TEngineProcess::SendRaw(std::string_view bytes) {
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
  bool sent = true;
  while (!bytes.empty()) {
    const ssize_t count = write(ToEngine, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      sent = false;
      break;
    }
    bytes.remove_prefix(static_cast<size_t>(count));
  }
  if (!sent && !alreadyPending) {
    const timespec noWait{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &noWait) < 0 && errno == EINTR) {
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return sent;
}

bool TEngineProcess::TakeLine(std::string& line) {
  for (;;) {
    const size_t end = Buffer.find_first_of("\r\n");
    if (end == std::string::npos) return false;
    line = Buffer.substr(0, end);
    Buffer.erase(0, end + 1);
    // Blank lines, and the LF of a CR LF pair, carry nothing.
    if (Trim(line).empty()) continue;
    if (Transcript != nullptr) Transcript->Add(Letter, "<-", line);
    return true;
  }
}

TEngineProcess::TRead TEngineProcess::ReadLine(std::string& line, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (TakeLine(line)) return TRead::Line;
    if (FromEngine < 0) return TRead::Closed;
    pollfd watch{FromEngine, POLLIN, 0};
    const int ready = poll(&watch, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) return TRead::Timeout;
    char chunk[4096];
    const ssize_t count = read(FromEngine, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      // The engine has gone: a last line without its end still counts.
      close(FromEngine);
      FromEngine = -1;
      Buffer += '\n';
      continue;
    }
    Buffer.append(chunk, static_cast<size_t>(count));
  }
}

TEngineProcess::TRead TEngineProcess::ReadAnswer(std::string& line, int timeoutMs,
                                                 std::vector<std::string>* skipped) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const TRead read = ReadLine(line, MillisecondsLeft(deadline));
    if (read != TRead::Line) return read;
    const std::string word = Upper(Trim(line).substr(0, Trim(line).find(' ')));
    if (word != "MESSAGE" && word != "DEBUG") return read;
    if (skipped != nullptr) skipped->push_back(line);
  }
}

TEngineProcess::TRead TEngineProcess::ReadMove(std::string& line, int timeoutMs,
                                               std::vector<std::string>& skipped,
                                               std::vector<std::string>& noise) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const TRead read = ReadAnswer(line, MillisecondsLeft(deadline), &skipped);
    int x = 0, y = 0;
    if (read != TRead::Line || ParseMove(line, x, y)) return read;
    noise.push_back(line);
  }
}

void TEngineProcess::Stop(int graceMs) {
  if (ToEngine >= 0) close(ToEngine);
  ToEngine = -1;
  if (Pid > 0) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(graceMs);
    bool reaped = waitpid(Pid, nullptr, WNOHANG) == Pid;
    while (!reaped && Clock::now() < deadline) {
      usleep(5000);
      reaped = waitpid(Pid, nullptr, WNOHANG) == Pid;
    }
    if (!reaped) {
      kill(Pid, SIGKILL);
      while (waitpid(Pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
  }
  Pid = -1;
  if (FromEngine >= 0) close(FromEngine);
  FromEngine = -1;
  Buffer.clear();
}

}  // namespace match
