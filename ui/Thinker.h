// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's thought off the user-interface thread, for the levels that think (Hard,
// Expert) and for the hint: a copy of the engine on a worker thread of its own, with the level
// player that owns the search's table. The worker keeps its answer and says that it is done with a
// signal queued to the window's thread, which joins it before it reads the answer; a thought that
// is stopped ends within a frame and its answer never arrives. The worker touches no widget.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "GameBoard.h"
#include "Levels.h"

class TThinker : public QObject {
  Q_OBJECT

 public:
  enum class TPurpose { Move, Hint };

  explicit TThinker(QObject* parent = nullptr);
  ~TThinker() override;

  // Thinks about colour's move on a copy of position at level for at most milliseconds; any
  // thought under way is stopped first.
  void Start(const TGameBoard& position, TLevel level, uint8_t colour, int milliseconds,
             TPurpose purpose);
  // Ends the thought under way, if any, and drops its answer.
  void Stop();
  bool Busy() const { return Worker.joinable(); }
  TPurpose Purpose() const { return Current; }
  // Seconds since the thought under way began.
  double Seconds() const;

 signals:
  // The answer of a thought that was not stopped: the intersection and the verdict text the
  // level found (the design's texts, " " for none).
  void Answered(TThinker::TPurpose purpose, int column, int row, const QString& verdict);
  // From the worker, queued to Finish: the thought of generation Done has an answer.
  void WorkerDone(QPrivateSignal);

 private:
  // Keeps the verdict the level writes to panel 0, for the window to show.
  class TVerdict : public TReporter {
   public:
    void ShowMessage(std::string_view) override {}
    void SetPanelText(int panel, std::string_view text) override {
      if (panel == 0) Text = QString::fromUtf8(text.data(), static_cast<int>(text.size()));
    }
    QString Text;
  };

  TLevelPlayer Player;
  std::unique_ptr<TGameBoard> Position;
  TVerdict Verdict;
  std::thread Worker;
  std::atomic<bool> Stopping{false};
  uint64_t Generation = 0;  // of the thought under way; a stopped one's answer bears an older
  // The generation of the last worker to finish, stored after its answer. Only that tells a
  // current answer from a stopped one's before the join; the answer itself is read after the join,
  // which is what orders it after the worker's writes.
  std::atomic<uint64_t> Done{0};
  int32_t Column = 0, Row = 0;
  TPurpose Current = TPurpose::Move;
  std::chrono::steady_clock::time_point Began;

  void Finish();
};
