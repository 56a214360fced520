// SPDX-License-Identifier: GPL-3.0-or-later
#include "MatchResults.h"

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace match {

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char ch : text) {
    if (ch == '"' || ch == '\\') {
      quoted += '\\';
      quoted += ch;
    } else if (static_cast<unsigned char>(ch) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", ch);
      quoted += escape;
    } else {
      quoted += ch;
    }
  }
  return quoted + "\"";
}

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words)
    text += (text.empty() ? "" : " ") + word;
  return text;
}

// FNV-1a over the openings, so that runs from different opening files do not merge.
uint64_t OpeningsHash(const std::vector<std::vector<TPoint>>& openings) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (const auto& opening : openings) {
    for (const TPoint& point : opening)
      for (const int value : {point.X, point.Y, -1})
        hash = (hash ^ static_cast<uint64_t>(value & 0xff)) * 0x100000001b3ull;
    hash = (hash ^ 0xfe) * 0x100000001b3ull;
  }
  return hash;
}

template <typename TValue>
std::string Pair(const TValue& a, const TValue& b) {
  return "[" + std::to_string(a) + "," + std::to_string(b) + "]";
}

// Just enough JSON to read back what the runner writes, and to refuse anything else with a
// reason: objects, arrays, strings, numbers, null. Every value keeps its span of the line.
struct TJson {
  enum class TKind { Null, Number, Text, Array, Object } Kind = TKind::Null;
  double Number = 0;
  std::string Text;
  std::vector<TJson> Items;
  std::vector<std::pair<std::string, TJson>> Fields;
  size_t Begin = 0, End = 0;

  const TJson* Field(const char* key) const {
    for (const auto& field : Fields)
      if (field.first == key) return &field.second;
    return nullptr;
  }
};

class TJsonParser {
 public:
  explicit TJsonParser(const std::string& line) : Line(line) {}

  bool Document(TJson& value) {
    if (!Value(value, 0)) return false;
    Blanks();
    return At == Line.size();
  }

 private:
  static constexpr int MaxDepth = 8;
  const std::string& Line;
  size_t At = 0;

  void Blanks() {
    while (At < Line.size() && (Line[At] == ' ' || Line[At] == '\t' || Line[At] == '\r'))
      ++At;
  }
  bool Take(char ch) {
    Blanks();
    if (At >= Line.size() || Line[At] != ch) return false;
    ++At;
    return true;
  }
  bool Text(std::string& text) {
    if (!Take('"')) return false;
    while (At < Line.size() && Line[At] != '"') {
      char ch = Line[At++];
      if (ch == '\\') {
        if (At >= Line.size()) return false;
        const char escape = Line[At++];
        if (escape == 'u') {
          unsigned code = 0;
          if (At + 4 > Line.size() || std::sscanf(Line.c_str() + At, "%4x", &code) != 1)
            return false;
          At += 4;
          if (code > 0x7f) return false;  // the runner escapes control characters only
          ch = static_cast<char>(code);
        } else if (escape == '"' || escape == '\\' || escape == '/') {
          ch = escape;
        } else {
          return false;
        }
      }
      text += ch;
    }
    return Take('"');
  }
  bool Value(TJson& value, int depth) {
    Blanks();
    value.Begin = At;
    if (At >= Line.size() || depth > MaxDepth) return false;
    const char first = Line[At];
    bool good = true;
    if (first == '"') {
      value.Kind = TJson::TKind::Text;
      good = Text(value.Text);
    } else if (first == '[' || first == '{') {
      const bool object = first == '{';
      value.Kind = object ? TJson::TKind::Object : TJson::TKind::Array;
      ++At;
      if (!Take(object ? '}' : ']')) {
        do {
          TJson item;
          std::string key;
          if (object && (!Text(key) || !Take(':'))) return false;
          if (!Value(item, depth + 1)) return false;
          if (object)
            value.Fields.emplace_back(std::move(key), std::move(item));
          else
            value.Items.push_back(std::move(item));
        } while (Take(','));
        good = Take(object ? '}' : ']');
      }
    } else if (Line.compare(At, 4, "null") == 0) {
      At += 4;
    } else {
      value.Kind = TJson::TKind::Number;
      char* end = nullptr;
      value.Number = std::strtod(Line.c_str() + At, &end);
      good = end != Line.c_str() + At && std::isfinite(value.Number);
      At = static_cast<size_t>(end - Line.c_str());
    }
    value.End = At;
    return good;
  }
};

bool Whole(const TJson* value, int64_t low, int64_t high, int64_t& number) {
  if (value == nullptr || value->Kind != TJson::TKind::Number) return false;
  if (value->Number != std::floor(value->Number) || value->Number < static_cast<double>(low) ||
      value->Number > static_cast<double>(high))
    return false;
  number = static_cast<int64_t>(value->Number);
  return true;
}

// "A" or "B" as 0 or 1; null as -1 where it is allowed.
bool Engine(const TJson* value, bool nullable, int& engine) {
  if (value != nullptr && nullable && value->Kind == TJson::TKind::Null) {
    engine = -1;
    return true;
  }
  if (value == nullptr || value->Kind != TJson::TKind::Text) return false;
  engine = value->Text == "A" ? 0 : value->Text == "B" ? 1 : -2;
  return engine >= 0;
}

// The game line's pairs of numbers, one for each engine, into the summary's engine parts.
bool EngineParts(const TJson& line, TGameSummary& game) {
  const struct {
    const char* Key;
    int64_t High;
  } keys[] = {{"moves", 225},
              {"late", 225},
              {"us", INT64_MAX / 4},
              {"max_us", INT64_MAX / 4},
              {"noise", INT32_MAX}};
  for (const auto& key : keys) {
    const TJson* pair = line.Field(key.Key);
    if (pair == nullptr || pair->Kind != TJson::TKind::Array || pair->Items.size() != 2)
      return false;
    for (int engine = 0; engine < 2; ++engine) {
      int64_t number = 0;
      if (!Whole(&pair->Items[engine], 0, key.High, number)) return false;
      TEngineGame& part = game.Engines[engine];
      const std::string name = key.Key;
      if (name == "moves") part.Moves = static_cast<int>(number);
      if (name == "late") part.Late = static_cast<int>(number);
      if (name == "us") part.Microseconds = number;
      if (name == "max_us") part.MaxMicroseconds = number;
      if (name == "noise") part.Noise = static_cast<int>(number);
    }
  }
  return true;
}

bool GameLine(const TJson& line, TGameSummary& game) {
  int64_t number = 0, pair = 0;
  if (!Whole(line.Field("game"), 1, 100000, number) || !Whole(line.Field("pair"), 1, 50000, pair))
    return false;
  game.Index = static_cast<int>(number - 1);
  const TJson* end = line.Field("end");
  return pair == game.Index / 2 + 1 && Engine(line.Field("black"), false, game.BlackEngine) &&
         Engine(line.Field("winner"), true, game.Winner) && end != nullptr &&
         end->Kind == TJson::TKind::Text && GameEndOfKey(end->Text, game.End) &&
         EngineParts(line, game);
}

}  // namespace

std::string ResultsHeader(const TMatchOptions& options) {
  std::string openings = "seed " + std::to_string(options.Seed) + ", ";
  if (options.OpeningList.empty()) {
    openings += std::to_string(options.OpeningStones) + " stones";
  } else {
    char hash[24];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(OpeningsHash(options.OpeningList)));
    openings += std::to_string(options.OpeningList.size()) + " openings " + hash;
  }
  const int last = options.LastGame > 0 ? options.LastGame : options.Games;
  return "{\"series\":{\"engines\":[" + Quoted(Joined(options.Engines[0])) + "," +
         Quoted(Joined(options.Engines[1])) + "],\"games\":" + std::to_string(options.Games) +
         ",\"openings\":" + Quoted(openings) +
         ",\"timeout_ms\":" + std::to_string(options.TimeoutMs) +
         ",\"tolerance_ms\":" + std::to_string(options.ToleranceMs) +
         ",\"time_match_ms\":" + std::to_string(options.MatchTimeMs) +
         ",\"increment_ms\":" + std::to_string(options.IncrementMs) +
         ",\"draw_after\":" + std::to_string(options.DrawAfter) +
         "},\"range\":" + Pair(options.FirstGame + 1, last) + "}\n";
}

std::string ResultsLine(const TGameSummary& game, const TGameResult& result) {
  const TEngineGame& a = game.Engines[0];
  const TEngineGame& b = game.Engines[1];
  return "{\"game\":" + std::to_string(game.Index + 1) +
         ",\"pair\":" + std::to_string(game.Index / 2 + 1) + ",\"black\":\"" +
         (game.BlackEngine == 0 ? "A" : "B") + "\",\"winner\":" +
         (game.Winner < 0    ? "null"
          : game.Winner == 0 ? "\"A\""
                             : "\"B\"") +
         ",\"end\":\"" + GameEndKey(game.End) + "\",\"detail\":" + Quoted(result.Detail) +
         ",\"stones\":" + std::to_string(result.Moves.size()) +
         ",\"opening\":" + std::to_string(result.OpeningLength) +
         ",\"moves\":" + Pair(a.Moves, b.Moves) + ",\"late\":" + Pair(a.Late, b.Late) +
         ",\"us\":" + Pair(a.Microseconds, b.Microseconds) +
         ",\"max_us\":" + Pair(a.MaxMicroseconds, b.MaxMicroseconds) +
         ",\"noise\":" + Pair(a.Noise, b.Noise) + "}\n";
}

std::string ResultsNames(const std::string names[2]) {
  return "{\"names\":[" + Quoted(names[0]) + "," + Quoted(names[1]) + "]}\n";
}

bool MergeResults(std::istream& in, const std::string& name, TMergedRuns& merged,
                  std::string& error) {
  TMergedRuns run = merged;
  int64_t first = 0, last = 0;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    const std::string where = name + ": line " + std::to_string(++number) + ": ";
    TJson json;
    if (!TJsonParser(line).Document(json) || json.Kind != TJson::TKind::Object) {
      error = where + "not a line of a results file";
      return false;
    }
    const TJson* series = json.Field("series");
    const TJson* range = json.Field("range");
    const TJson* names = json.Field("names");
    if (number == 1) {
      if (series == nullptr || series->Kind != TJson::TKind::Object || range == nullptr ||
          range->Items.size() != 2 || !Whole(&range->Items[0], 1, 100000, first) ||
          !Whole(&range->Items[1], first, 100000, last)) {
        error = where + "no series and range of games: not a results file";
        return false;
      }
      const std::string text = line.substr(series->Begin, series->End - series->Begin);
      if (merged.Runs > 0 && text != merged.Series) {
        error = where + "a run of another series than the files before it";
        return false;
      }
      run.Series = text;
      const TJson* engines = series->Field("engines");
      int64_t timeout = 0, tolerance = 0;
      if (engines == nullptr || engines->Items.size() != 2 ||
          !Whole(series->Field("timeout_ms"), 0, INT32_MAX, timeout) ||
          !Whole(series->Field("tolerance_ms"), 0, INT32_MAX, tolerance)) {
        error = where + "a series without its engines and times";
        return false;
      }
      for (int engine = 0; engine < 2; ++engine)
        run.Notes.Engines[engine] = engines->Items[engine].Text;
      run.Notes.TimeoutMs = static_cast<int>(timeout);
      run.Notes.ToleranceMs = static_cast<int>(tolerance);
    } else if (names != nullptr) {
      for (int engine = 0; engine < 2 && names->Items.size() == 2; ++engine)
        if (run.Notes.Names[engine].empty()) run.Notes.Names[engine] = names->Items[engine].Text;
    } else {
      TGameSummary game;
      if (!GameLine(json, game)) {
        error = where + "not a game line";
        return false;
      }
      if (game.Index + 1 < first || game.Index + 1 > last) {
        error = where + "game " + std::to_string(game.Index + 1) + " is outside the run's range";
        return false;
      }
      if (!run.Tally.Add(game)) {
        error = where + "game " + std::to_string(game.Index + 1) + " is counted already";
        return false;
      }
    }
  }
  if (number == 0) {
    error = name + ": empty, not a results file";
    return false;
  }
  ++run.Runs;
  merged = std::move(run);
  return true;
}

}  // namespace match
