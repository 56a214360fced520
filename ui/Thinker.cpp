// SPDX-License-Identifier: GPL-3.0-or-later
#include "Thinker.h"

#include <QMetaObject>

TThinker::TThinker(QObject* parent) : QObject(parent) {}

TThinker::~TThinker() {
  Stop();
}

void TThinker::Start(const TGameBoard& position, TLevel level, uint8_t colour, int milliseconds,
                     TPurpose purpose) {
  Stop();
  Position = std::make_unique<TGameBoard>(position);
  Position->SetReporter(&Verdict);
  Verdict.Text = " ";
  Stopping = false;
  Current = purpose;
  Began = std::chrono::steady_clock::now();
  const uint64_t generation = ++Generation;
  Worker = std::thread([this, level, colour, milliseconds, generation] {
    TThinkLimits limits;
    limits.Microseconds = int64_t{milliseconds} * 1000;
    limits.Stop = &Stopping;
    int32_t column = 0, row = 0;
    Player.Choose(*Position, level, colour, column, row, limits);
    // Back on the window's thread, where the worker is joined before its answer is told.
    QMetaObject::invokeMethod(
        this, [this, generation, column, row] { Finish(generation, column, row); },
        Qt::QueuedConnection);
  });
}

void TThinker::Finish(uint64_t generation, int column, int row) {
  if (generation != Generation || !Worker.joinable()) return;  // stopped meanwhile
  Worker.join();
  emit Answered(Current, column, row, Verdict.Text);
}

void TThinker::Stop() {
  if (!Worker.joinable()) return;
  Stopping = true;
  Worker.join();
  ++Generation;
}

double TThinker::Seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Began).count();
}
