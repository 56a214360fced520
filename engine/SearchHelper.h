// A second thread for the move choice. Some steps of the ladder are walks over independent
// trials (the opponent's cells that might stop its forced win, the set-up moves and the answers
// to each); the calling thread and the helper take the trials in walk order, each on its own
// fast search, and the caller then reads the answers in walk order, exactly as the walk would
// have met them. A trial is skipped only where the walk has already stopped before it, so every
// trial the walk would make is made, and its FindForcedWin calls are counted.
//
// The thread and its search memory are made once, with the first engine, so a decision never
// allocates. On a machine with one core there is no helper, and a helper busy with another
// engine's decision leaves the whole walk to the caller; the answers are the same either way.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "GameBoard.h"

class TSearchHelper {
 public:
  // One walk's trials. TTrials supplies Prepare(search), called once by each thread before its
  // first trial; Needed(trial), false once the walk is known to stop before the trial; and
  // Run(search, trial).
  template <class TTrials>
  static void RunTrials(TTrials& trials, int count, TFastSearch& own) {
    TJob job{count, &trials, &Call<TTrials>::Prepare, &Call<TTrials>::Needed, &Call<TTrials>::Run};
    Run(job, own);
  }

  // Makes the helper if the machine has a second core; later calls do nothing.
  static void Start();

  ~TSearchHelper();

 private:
  struct TJob {
    int Count;
    void* Trials;
    void (*Prepare)(void* trials, TFastSearch& search);
    bool (*Needed)(void* trials, int trial);
    void (*Run)(void* trials, TFastSearch& search, int trial);
    std::atomic<int> Next{0};
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
  };

  TSearchHelper();
  static TSearchHelper* Instance();
  static void Run(TJob& job, TFastSearch& own);
  static void Work(TJob& job, TFastSearch& search);
  void Serve();

  TFastSearchMemory Search;
  std::mutex Busy;  // held by the decision that has the helper
  std::mutex Mutex;
  std::condition_variable Wake, Finished;
  TJob* Job = nullptr;   // the job the helper is to work on, until it has finished it
  bool Working = false;  // the helper has taken the job
  bool Stopping = false;
  std::thread Thread;
};
