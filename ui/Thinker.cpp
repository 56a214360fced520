// SPDX-License-Identifier: GPL-3.0-or-later
#include "Thinker.h"

TThinker::TThinker(QObject* parent) : QObject(parent) {
  connect(this, &TThinker::WorkerDone, this, &TThinker::Finish, Qt::QueuedConnection);
}

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
    Player.Choose(*Position, level, colour, Column, Row, limits);
    Done = generation;
    emit WorkerDone(QPrivateSignal());
  });
}

// On the window's thread. The signal of a stopped thought may arrive after the next one began;
// only the worker of the thought under way, once finished, is joined and answers.
void TThinker::Finish() {
  if (!Worker.joinable() || Done != Generation) return;
  Worker.join();
  emit Answered(Current, Column, Row, Verdict.Text);
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
