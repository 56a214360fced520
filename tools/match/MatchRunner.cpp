// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchRunner.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>

#include "MatchResults.h"

namespace match {

// splitmix64: the same openings from the same seed on every platform and library.
uint64_t NextRandom(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

namespace {

constexpr int Centre = BoardSize / 2;
constexpr int OpeningReach = 2;  // opening stones lie within this many lines of the centre

uint8_t SideOfMove(size_t index) {
  return index % 2 == 0 ? TMatchBoard::Black : TMatchBoard::White;
}

int64_t MicrosecondsSince(TClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - start).count();
}

std::string Milliseconds(int64_t microseconds, int decimals) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(decimals) << static_cast<double>(microseconds) / 1000.0;
  return out.str();
}

// The value of key="..." in an ABOUT answer, or empty.
std::string AboutField(const std::string& about, const std::string& key) {
  const size_t at = about.find(key + "=\"");
  if (at == std::string::npos) return "";
  const size_t first = at + key.size() + 2;
  const size_t last = about.find('"', first);
  return last == std::string::npos ? "" : about.substr(first, last - first);
}

std::string AboutName(const std::string& about) {
  const std::string version = AboutField(about, "version");
  return AboutField(about, "name") + (version.empty() ? "" : " " + version);
}

char EngineLetter(int engine) {
  return engine == 0 ? 'A' : 'B';
}

}  // namespace

void TMatchBoard::Clear() {
  std::memset(Cells, Empty, sizeof Cells);
}

bool TMatchBoard::MakesFive(int x, int y) const {
  const uint8_t side = Cells[x][y];
  if (side == Empty) return false;
  const int steps[4][2] = {{1, 0}, {0, 1}, {1, 1}, {1, -1}};
  for (const auto& step : steps) {
    int run = 1;
    for (int sign : {1, -1}) {
      int cx = x + sign * step[0], cy = y + sign * step[1];
      while (OnBoard(cx, cy) && Cells[cx][cy] == side) {
        ++run;
        cx += sign * step[0];
        cy += sign * step[1];
      }
    }
    if (run >= 5) return true;
  }
  return false;
}

bool TMatchBoard::Full() const {
  return StoneCount() == BoardSize * BoardSize;
}

int TMatchBoard::StoneCount() const {
  int count = 0;
  for (const auto& column : Cells)
    for (const uint8_t cell : column)
      count += cell != Empty;
  return count;
}

std::vector<std::vector<TPoint>> MakeOpenings(uint64_t seed, int count, int stones) {
  constexpr int Side = 2 * OpeningReach + 1;
  std::vector<std::vector<TPoint>> openings;
  uint64_t state = seed;
  while (static_cast<int>(openings.size()) < count) {
    TMatchBoard board;
    std::vector<TPoint> opening;
    bool five = false;
    while (static_cast<int>(opening.size()) < stones && !five) {
      const int cell = static_cast<int>(NextRandom(state) % (Side * Side));
      const TPoint point{Centre - OpeningReach + cell % Side, Centre - OpeningReach + cell / Side};
      if (board.At(point.X, point.Y) != TMatchBoard::Empty) continue;
      board.Put(point.X, point.Y, SideOfMove(opening.size()));
      five = board.MakesFive(point.X, point.Y);
      opening.push_back(point);
    }
    // An opening that already holds five would decide the game before it starts.
    if (!five) openings.push_back(std::move(opening));
  }
  return openings;
}

std::string PsqRecord(const std::vector<TMove>& moves) {
  std::string record = "Piskvorky 15x15, 0:0, 0\n";
  for (const TMove& move : moves) {
    record += std::to_string(move.X + 1) + "," + std::to_string(move.Y + 1) + "," +
              std::to_string((move.Microseconds + 500) / 1000) + "\n";
  }
  return record + "-1\n";
}

int GamesToPlay(const TMatchOptions& options) {
  const int last = options.LastGame > 0 ? options.LastGame : options.Games;
  return std::max(0, last - options.FirstGame);
}

TGameSummary Summarize(int index, const TGameResult& result) {
  TGameSummary game;
  game.Index = index;
  game.BlackEngine = result.BlackEngine;
  game.Winner = result.Winner;
  game.End = result.End;
  for (int engine = 0; engine < 2; ++engine)
    game.Engines[engine].Noise = result.Noise[engine];
  for (size_t stone = static_cast<size_t>(result.OpeningLength); stone < result.Moves.size();
       ++stone) {
    const int engine =
        SideOfMove(stone) == TMatchBoard::Black ? result.BlackEngine : 1 - result.BlackEngine;
    TEngineGame& part = game.Engines[engine];
    const TMove& move = result.Moves[stone];
    ++part.Moves;
    part.Late += move.Late;
    part.Microseconds += move.Microseconds;
    part.MaxMicroseconds = std::max(part.MaxMicroseconds, move.Microseconds);
  }
  return game;
}

TMatch::TMatch(TMatchOptions options) : Options(std::move(options)) {
  Openings = Options.OpeningList.empty()
                 ? MakeOpenings(Options.Seed, (Options.Games + 1) / 2, Options.OpeningStones)
                 : Options.OpeningList;
}

bool TMatch::Expect(TSeat& seat, int engine, std::string_view command, TClock::time_point deadline,
                    int limitMs, TGameEnd& end, std::string& why) {
  TEngineProcess& process = seat.Engines[engine];
  std::string line;
  TEngineProcess::TRead read = TEngineProcess::TRead::Closed;
  if (process.Send(command)) read = process.ReadAnswer(line, deadline);
  if (read == TEngineProcess::TRead::Line && Upper(Trim(line)) == "OK") return true;
  end = read == TEngineProcess::TRead::Timeout ? TGameEnd::Timeout : TGameEnd::Crash;
  if (read == TEngineProcess::TRead::Timeout)
    why = "no answer to " + std::string(command) + " within " + std::to_string(limitMs) + " ms";
  else if (read == TEngineProcess::TRead::Closed)
    why = "exited instead of answering " + std::string(command);
  else
    why = "answered " + std::string(command) + " with \"" + line + "\"";
  return false;
}

namespace {

// The line that answers ABOUT: its key="value" list, or the protocol's UNKNOWN, or an ERROR
// that names the command. Other ERROR lines are an engine's replies to INFO lines it does not
// know, which come before it.
bool AnswersAbout(const std::string& line) {
  const std::string word = FirstWord(line);
  return line.find("name=") != std::string::npos || word == "UNKNOWN" ||
         (word == "ERROR" && Upper(line).find("ABOUT") != std::string::npos);
}

}  // namespace

// A new engine is started and answers its set-up (OK to START, then ABOUT after the INFO lines,
// which it reads in order) before anything is timed, so that the memory and tables it sets up
// for them are never charged to its first move; any failure until then is a start failure. An
// engine that played the last game is sent RESTART; one that does not answer it with OK is sent
// END, as the protocol has it, given a moment to leave and started afresh: no loss. Whatever an
// engine wrote and the runner has not read is taken away first, never read as an answer.
bool TMatch::Ready(TSeat& seat, int engine, TGameEnd& end, std::string& why, int& noise) {
  TEngineProcess& process = seat.Engines[engine];
  const int limitMs = Options.StartTimeoutMs;
  if (process.Running()) {
    TChatter stale;
    process.Drain(stale);
    noise += static_cast<int>(stale.Lines());
    TGameEnd restartEnd;
    std::string answer;
    if (Expect(seat, engine, "RESTART", TEngineProcess::After(limitMs), limitMs, restartEnd,
               answer))
      return true;
    process.Send("END");
    process.Stop(500);
  }
  end = TGameEnd::StartFailure;
  if (!process.Launch(Options.Engines[engine])) {
    why = "cannot be started";
    return false;
  }
  const TClock::time_point deadline = TEngineProcess::After(limitMs);
  if (!Expect(seat, engine, "START " + std::to_string(BoardSize), deadline, limitMs, end, why)) {
    end = TGameEnd::StartFailure;
    return false;
  }
  Started[engine] = true;
  const std::string setUp = "INFO timeout_turn " + std::to_string(Options.TimeoutMs) +
                            "\nINFO timeout_match " + std::to_string(Options.MatchTimeMs) +
                            "\nINFO max_memory 0\nINFO game_type 1\nINFO rule 0\nABOUT\n";
  if (!process.SendRaw(setUp)) {
    why = "stopped reading its input";
    return false;
  }
  TChatter replies;
  std::string line;
  TEngineProcess::TRead read;
  while ((read = process.ReadAnswer(line, deadline)) == TEngineProcess::TRead::Line &&
         !AnswersAbout(line))
    replies.Add(line);
  noise += static_cast<int>(replies.Lines());
  if (read == TEngineProcess::TRead::Timeout) {
    why = "no answer to ABOUT within " + std::to_string(limitMs) + " ms";
    return false;
  }
  if (read == TEngineProcess::TRead::Closed) {
    why = "exited instead of answering ABOUT";
    return false;
  }
  if (line.find("name=") != std::string::npos) {
    std::lock_guard<std::mutex> lock(AboutMutex);
    About[engine] = AboutName(line);
  }
  return true;
}

namespace {

// An engine's lines on standard error, the kept ones and a count of the rest.
void Show(char letter, const char* kind, const TChatter& lines) {
  for (const std::string& text : lines.Kept())
    std::fprintf(stderr, "%c%s: %s\n", letter, kind, text.c_str());
  if (lines.Dropped() > 0)
    std::fprintf(stderr, "%c%s: %lld more lines (%lld bytes) not shown\n", letter, kind,
                 static_cast<long long>(lines.Dropped()),
                 static_cast<long long>(lines.DroppedBytes()));
}

}  // namespace

bool TMatch::AskMove(TSeat& seat, int engine, const TMatchBoard& board,
                     const std::vector<TMove>& moves, bool synced, TMatchClock& clock, TMove& move,
                     TGameEnd& end, std::string& detail, int& noise) {
  TEngineProcess& process = seat.Engines[engine];
  const uint8_t own = SideOfMove(moves.size());
  // time_left goes before every request, as other managers send it, clock or none: an engine
  // still busy with its last answer then drops this line, not the request after it.
  std::string request = "INFO time_left " + std::to_string(clock.TimeLeftMs(engine)) + "\n";
  if (synced) {
    request +=
        "TURN " + std::to_string(moves.back().X) + "," + std::to_string(moves.back().Y) + "\n";
  } else if (moves.empty()) {
    request += "BEGIN\n";
  } else {
    request += "BOARD\n";
    for (size_t index = 0; index < moves.size(); ++index) {
      request += std::to_string(moves[index].X) + "," + std::to_string(moves[index].Y) + "," +
                 (SideOfMove(index) == own ? "1" : "2") + "\n";
    }
    request += "DONE\n";
  }
  // The engine plans with the announced time; the tolerance absorbs the moment it needs to
  // answer and the pipes' delays, as tournament managers allow.
  const int64_t announced = clock.AnnouncedMicroseconds(engine);
  const int64_t limit = clock.LimitMicroseconds(engine);
  TChatter messages, stray;
  process.Drain(stray);
  const TClock::time_point start = TClock::now();
  const TClock::time_point deadline =
      start + std::chrono::microseconds(std::max<int64_t>(0, limit));
  std::string line;
  TEngineProcess::TRead read = TEngineProcess::TRead::Closed;
  if (process.SendRaw(request)) read = process.ReadMove(line, deadline, messages, stray);
  move.Microseconds = MicrosecondsSince(start);
  move.Late = move.Microseconds > announced;
  if (read == TEngineProcess::TRead::Line && !clock.Charge(engine, move.Microseconds))
    read = TEngineProcess::TRead::Timeout;
  noise += static_cast<int>(std::min<int64_t>(stray.Lines(), INT32_MAX - noise));
  if (Options.Verbose) {
    Show(EngineLetter(engine), "", messages);
    Show(EngineLetter(engine), " (noise)", stray);
  }
  if (read == TEngineProcess::TRead::Closed) {
    end = TGameEnd::Crash;
    detail = "exited instead of moving";
    return false;
  }
  if (read == TEngineProcess::TRead::Timeout) {
    end = TGameEnd::Timeout;
    const std::string tolerance = " + " + std::to_string(Options.ToleranceMs) + " tolerance)";
    detail = "no move within " + Milliseconds(limit, 0) + " ms (";
    if (limit < announced + int64_t{Options.ToleranceMs} * 1000)
      detail += "its clock's " + std::to_string(clock.TimeLeftMs(engine)) + " ms" + tolerance;
    else
      detail += Milliseconds(announced, 0) + " announced" + tolerance;
    return false;
  }
  end = TGameEnd::IllegalMove;
  if (!ParseMove(line, move.X, move.Y)) {
    detail = "answered \"" + line + "\" instead of a move";
    return false;
  }
  const std::string where = std::to_string(move.X) + "," + std::to_string(move.Y);
  if (!TMatchBoard::OnBoard(move.X, move.Y)) {
    detail = "played " + where + ", off the board";
    return false;
  }
  if (board.At(move.X, move.Y) != TMatchBoard::Empty) {
    detail = "played " + where + ", an occupied intersection";
    return false;
  }
  return true;
}

TGameResult TMatch::PlayGame(TSeat& seat, int index) {
  TGameResult result;
  result.BlackEngine = index % 2 == 0 ? 0 : 1;
  const std::vector<TPoint>& opening = Openings[static_cast<size_t>(index / 2) % Openings.size()];
  result.OpeningLength = static_cast<int>(opening.size());
  TMatchBoard board;
  for (const TPoint& point : opening) {
    board.Put(point.X, point.Y, SideOfMove(result.Moves.size()));
    result.Moves.push_back(TMove{point.X, point.Y, 0});
  }
  auto lose = [&](int engine, TGameEnd end, std::string detail) {
    result.Winner = 1 - engine;
    result.End = end;
    result.Detail = std::move(detail);
    // A failed engine starts afresh in the next game, whatever state it is in.
    seat.Engines[engine].Stop();
  };
  for (int engine : {result.BlackEngine, 1 - result.BlackEngine}) {
    TGameEnd end;
    std::string why;
    if (!Ready(seat, engine, end, why, result.Noise[engine])) {
      lose(engine, end, why);
      return result;
    }
  }
  bool synced[2] = {false, false};
  TMatchClock clock(Options.TimeoutMs, Options.MatchTimeMs, Options.IncrementMs,
                    Options.ToleranceMs);
  for (;;) {
    if (board.Full()) {
      result.End = TGameEnd::FullBoard;
      return result;
    }
    if (Options.DrawAfter > 0 && static_cast<int>(result.Moves.size()) >= Options.DrawAfter) {
      result.End = TGameEnd::DrawAdjudicated;
      return result;
    }
    const uint8_t side = SideOfMove(result.Moves.size());
    const int engine = side == TMatchBoard::Black ? result.BlackEngine : 1 - result.BlackEngine;
    TMove move;
    TGameEnd end;
    std::string detail;
    if (!AskMove(seat, engine, board, result.Moves, synced[engine], clock, move, end, detail,
                 result.Noise[engine])) {
      lose(engine, end, detail);
      return result;
    }
    synced[engine] = true;
    board.Put(move.X, move.Y, side);
    result.Moves.push_back(move);
    if (board.MakesFive(move.X, move.Y)) {
      result.Winner = engine;
      result.End = TGameEnd::Five;
      return result;
    }
  }
}

// Games are played on as many seats as games run at once, each seat taking the next game as it
// is free; they are reported in game order, each as soon as it and those before it are over.
// Once the SPRT has decided no game is begun, but those under way are played out, reported and
// recorded.
bool TMatch::Run(std::ostream& log) {
  bool written = true;
  bool folders = true;
  for (const std::string& folder : {Options.RecordFolder, Options.LogFolder}) {
    std::error_code error;
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    if (error) {
      log << "cannot create " << folder << ": " << error.message() << "\n";
      written = folders = false;
    }
  }
  std::ofstream resultsFile;
  std::ostream* results = nullptr;
  if (!Options.ResultsFile.empty()) {
    resultsFile.open(Options.ResultsFile, std::ios::binary | std::ios::trunc);
    resultsFile << ResultsHeader(Options) << std::flush;
    if (resultsFile) {
      results = &resultsFile;
    } else {
      log << "cannot write " << Options.ResultsFile << "\n";
      written = false;
    }
  }
  struct TPlayed {
    TGameResult Result;
    std::string Transcript;
    bool Done = false;
  };
  const int count = GamesToPlay(Options);
  std::vector<TPlayed> played(static_cast<size_t>(count));
  std::mutex mutex;
  std::condition_variable over;
  std::atomic<int> next{0};
  std::atomic<bool> stop{false};  // no new games once the SPRT has decided
  const int seatCount = std::max(1, std::min(Options.Concurrency, count));
  int playing = seatCount;  // seats still playing, under mutex
  std::vector<std::unique_ptr<TSeat>> seats;
  std::vector<std::thread> players;
  for (int seat = 0; seat < seatCount; ++seat) {
    seats.push_back(std::make_unique<TSeat>());
    players.emplace_back([&, &own = *seats.back()] {
      for (int slot; !stop && (slot = next++) < count;) {
        TTranscript transcript;
        for (int engine = 0; engine < 2; ++engine)
          own.Engines[engine].Transcribe(Options.LogFolder.empty() ? nullptr : &transcript,
                                         EngineLetter(engine));
        TGameResult result = PlayGame(own, Options.FirstGame + slot);
        for (TEngineProcess& process : own.Engines)
          process.Transcribe(nullptr, '?');
        std::lock_guard<std::mutex> lock(mutex);
        played[static_cast<size_t>(slot)] = {std::move(result), transcript.Text(), true};
        over.notify_all();
      }
      for (TEngineProcess& process : own.Engines) {
        process.Send("END");
        process.Stop(1000);
      }
      std::lock_guard<std::mutex> lock(mutex);
      --playing;
      over.notify_all();
    });
  }
  for (size_t slot = 0; slot < played.size(); ++slot) {
    TPlayed game;
    {
      std::unique_lock<std::mutex> lock(mutex);
      over.wait(lock, [&] { return played[slot].Done || playing == 0; });
      if (!played[slot].Done) break;  // never begun: the SPRT decided before
      game = std::move(played[slot]);
    }
    const int index = Options.FirstGame + static_cast<int>(slot);
    Tally.Add(Summarize(index, game.Result));
    written = Report(index, game.Result, game.Transcript, folders, results, log) && written;
    if (Options.Sprt.Enabled && Decided == 0) {
      Decided = Options.Sprt.Verdict(Tally.Pairs());
      DecidedAfter = Tally.Games();
      if (Decided != 0) stop = true;
    }
  }
  for (std::thread& player : players)
    player.join();
  if (results != nullptr) {
    const std::string names[2] = {Name(0), Name(1)};
    resultsFile << ResultsNames(names);
    resultsFile.close();
    if (!resultsFile) {
      log << "cannot write " << Options.ResultsFile << "\n";
      written = false;
    }
  }
  PrintSummary(log);
  return written;
}

bool TMatch::Report(int index, const TGameResult& result, const std::string& transcript, bool files,
                    std::ostream* results, std::ostream& log) {
  std::ostringstream line;
  line << "game " << std::setw(3) << index + 1 << ": " << EngineLetter(result.BlackEngine)
       << " Black, " << EngineLetter(1 - result.BlackEngine) << " White, "
       << result.Moves.size() - static_cast<size_t>(result.OpeningLength) << " moves after "
       << result.OpeningLength << " opening stones: ";
  if (result.Winner < 0)
    line << "draw, "
         << (result.End == TGameEnd::FullBoard ? "full board" : GameEndName(result.End));
  else if (result.End == TGameEnd::Five)
    line << EngineLetter(result.Winner) << " wins by five in a row";
  else
    line << EngineLetter(result.Winner) << " wins: " << EngineLetter(1 - result.Winner) << " "
         << result.Detail << " (" << GameEndName(result.End) << ")";
  log << line.str();
  // The record, and the transcript ending with the verdict it bears out.
  bool written = true;
  const std::pair<const std::string*, std::string> outputs[] = {
      {&Options.RecordFolder, PsqRecord(result.Moves)},
      {&Options.LogFolder, transcript + line.str() + "\n"}};
  for (const auto& [folder, text] : outputs) {
    if (folder->empty() || !files) continue;
    char name[32];
    std::snprintf(name, sizeof name,
                  folder == &Options.RecordFolder ? "game-%03d.psq" : "game-%03d.log", index + 1);
    const std::filesystem::path path = std::filesystem::path(*folder) / name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
      log << " [cannot write " << path.string() << "]";
      written = false;
    }
  }
  if (results != nullptr &&
      !(*results << ResultsLine(Summarize(index, result), result) << std::flush)) {
    log << " [cannot write " << Options.ResultsFile << "]";
    written = false;
  }
  log << "\n" << std::flush;
  return written;
}

std::string TMatch::Name(int engine) {
  std::lock_guard<std::mutex> lock(AboutMutex);
  return About[engine];
}

void TMatch::PrintSummary(std::ostream& out) {
  TSummaryNotes notes;
  notes.TimeoutMs = Options.TimeoutMs;
  notes.ToleranceMs = Options.ToleranceMs;
  for (int engine = 0; engine < 2; ++engine) {
    for (const std::string& arg : Options.Engines[engine])
      notes.Engines[engine] += (notes.Engines[engine].empty() ? "" : " ") + arg;
    notes.Names[engine] = Name(engine);
    notes.NeverStarted[engine] = NeverStarted(engine);
  }
  if (Options.Sprt.Enabled) notes.Sprt = &Options.Sprt;
  notes.Decided = Decided;
  notes.DecidedAfter = DecidedAfter;
  match::PrintSummary(out, Tally, notes);
}

}  // namespace match
