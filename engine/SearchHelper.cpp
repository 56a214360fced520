// SPDX-License-Identifier: GPL-3.0-or-later
#include "SearchHelper.h"

#include <algorithm>

#if defined(__linux__)
#include <sched.h>
#endif

#include "FastSearch.h"

TSearchHelper::TSearchHelper(int helpers)
    : Helpers(std::make_unique<THelper[]>(helpers)), HelperCount(helpers) {
  for (int index = 0; index < HelperCount; ++index) {
    THelper& helper = Helpers[index];
    helper.Thread = std::thread([this, &helper] { Serve(helper); });
  }
}

TSearchHelper::~TSearchHelper() {
  {
    std::lock_guard<std::mutex> lock(Mutex);
    Stopping = true;
  }
  Wake.notify_all();
  for (int index = 0; index < HelperCount; ++index)
    Helpers[index].Thread.join();
}

// The processors this process may run on: a CPU set given by taskset or a container can be far
// smaller than the machine, and helpers beyond it would only take turns with the caller.
int TSearchHelper::UsableCores() {
#if defined(__linux__)
  cpu_set_t cpus;
  CPU_ZERO(&cpus);
  if (sched_getaffinity(0, sizeof cpus, &cpus) == 0) return CPU_COUNT(&cpus);
#endif
  return static_cast<int>(std::thread::hardware_concurrency());
}

TSearchHelper* TSearchHelper::Instance() {
  static const std::unique_ptr<TSearchHelper> pool = [] {
    const int cores = UsableCores();
    return std::unique_ptr<TSearchHelper>(cores >= 2 ? new TSearchHelper(std::min(cores - 1, 3))
                                                     : nullptr);
  }();
  return pool.get();
}

void TSearchHelper::Start() {
  Instance();
}

void TSearchHelper::Run(TJob& job, TFastSearch& own, bool helpers) {
  TSearchHelper* pool = helpers ? Instance() : nullptr;
  if (pool == nullptr || job.Count < 2 || !pool->Busy.try_lock()) {
    Work(job, own, true);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(pool->Mutex);
    pool->Job = &job;
    ++pool->JobNumber;
  }
  pool->Wake.notify_all();
  Work(job, own, true);
  {
    // Helpers that have not taken the job yet no longer can; those that have are waited for,
    // since they may still be on a trial.
    std::unique_lock<std::mutex> lock(pool->Mutex);
    pool->Job = nullptr;
    pool->Finished.wait(lock, [pool] { return pool->Working == 0; });
  }
  pool->Busy.unlock();
}

void TSearchHelper::Work(TJob& job, TFastSearch& search, bool prepared) {
  search.StopOn(&job.Stop);
  for (;;) {
    const int trial = job.Next.fetch_add(1);
    if (trial >= job.Count || job.Stop.load()) break;
    if (!job.Needed(job.Trials, trial)) continue;
    if (!prepared) {
      job.Prepare(job.Trials, search);
      prepared = true;
    }
    job.Run(job.Trials, search, trial);
    if (job.Settled(job.Trials)) job.Stop.store(true);
  }
  search.StopOn(nullptr);
}

void TSearchHelper::Serve(THelper& helper) {
  uint64_t done = 0;
  std::unique_lock<std::mutex> lock(Mutex);
  for (;;) {
    Wake.wait(lock, [&] { return Stopping || (Job != nullptr && JobNumber != done); });
    if (Stopping) return;
    done = JobNumber;
    TJob* job = Job;
    ++Working;
    lock.unlock();
    Work(*job, *helper.Search, false);
    lock.lock();
    --Working;
    Finished.notify_all();
  }
}
