// SPDX-License-Identifier: GPL-3.0-or-later
// Helper threads for the move choice, one per further core the process may use (at most three).
// Some steps of the ladder are walks over independent trials (the opponent's cells that might stop
// its forced win, the set-up moves and the answers to each); the calling thread and the helpers
// take the trials in walk order, each on its own fast search, and the caller then reads the
// answers in walk order, exactly as the walk would have met them. A trial is skipped only where
// the walk has already stopped before it, so every trial the walk reaches is made, and only those
// trials' FindForcedWin calls are counted: the answer and the count never depend on which thread
// ran what.
//
// The threads and their search memory are made once, with the first engine, so a decision never
// allocates. A process held to one core has no helpers, and helpers busy with another engine's
// decision leave the whole walk to the caller; the answers are the same either way.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "GameBoard.h"

class TSearchHelper {
 public:
  // One walk's trials. `own` already holds the decision's position. TTrials supplies
  // Prepare(search), called once by each helper before its first trial; Needed(trial), false once
  // the walk is known to stop before the trial; Run(search, trial); and Settle(nullptr), below -1
  // while the walk still waits for a trial. Once the walk has settled, searches still running
  // serve no answer and are stopped, so the caller never waits for them.
  // With helpers false the caller walks alone.
  template <class TTrials>
  static void RunTrials(TTrials& trials, int count, TFastSearch& own, bool helpers) {
    TJob job{count,
             &trials,
             &Call<TTrials>::Prepare,
             &Call<TTrials>::Needed,
             &Call<TTrials>::Run,
             &Call<TTrials>::Settled};
    Run(job, own, helpers);
  }

  // Makes the helpers if the process may use a second core; later calls do nothing.
  static void Start();

  // The cores the process may run on, as its CPU affinity allows.
  static int UsableCores();

  explicit TSearchHelper(int helpers);
  ~TSearchHelper();

 private:
  struct TJob {
    int Count;
    void* Trials;
    void (*Prepare)(void* trials, TFastSearch& search);
    bool (*Needed)(void* trials, int trial);
    void (*Run)(void* trials, TFastSearch& search, int trial);
    bool (*Settled)(void* trials);
    std::atomic<int> Next{0};
    std::atomic<bool> Stop{false};
  };
  template <class TTrials>
  struct Call {
    static void Prepare(void* trials, TFastSearch& search) {
      static_cast<TTrials*>(trials)->Prepare(search);
    }
    static bool Needed(void* trials, int trial) {
      return static_cast<TTrials*>(trials)->Needed(trial);
    }
    static void Run(void* trials, TFastSearch& search, int trial) {
      static_cast<TTrials*>(trials)->Run(search, trial);
    }
    static bool Settled(void* trials) {
      return static_cast<TTrials*>(trials)->Settle(nullptr) >= -1;
    }
  };

  struct THelper {
    TFastSearchMemory Search;
    std::thread Thread;
  };

  static TSearchHelper* Instance();
  static void Run(TJob& job, TFastSearch& own, bool helpers);
  static void Work(TJob& job, TFastSearch& search, bool prepared);
  void Serve(THelper& helper);

  std::unique_ptr<THelper[]> Helpers;
  int HelperCount;
  std::mutex Busy;  // held by the decision that has the helpers
  std::mutex Mutex;
  std::condition_variable Wake, Finished;
  TJob* Job = nullptr;     // the job on offer, until the caller has finished its own part
  uint64_t JobNumber = 0;  // tells a helper a new job from the one it has just done
  int Working = 0;         // helpers on the job
  bool Stopping = false;
};
