#include "SearchHelper.h"

#include <memory>

#include "FastSearch.h"

TSearchHelper::TSearchHelper() : Thread([this] { Serve(); }) {}

TSearchHelper::~TSearchHelper() {
  {
    std::lock_guard<std::mutex> lock(Mutex);
    Stopping = true;
  }
  Wake.notify_one();
  Thread.join();
}

TSearchHelper* TSearchHelper::Instance() {
  static const std::unique_ptr<TSearchHelper> helper(
      std::thread::hardware_concurrency() >= 2 ? new TSearchHelper : nullptr);
  return helper.get();
}

void TSearchHelper::Start() {
  Instance();
}

void TSearchHelper::Run(TJob& job, TFastSearch& own) {
  TSearchHelper* helper = Instance();
  if (helper == nullptr || job.Count < 2 || !helper->Busy.try_lock()) {
    Work(job, own);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(helper->Mutex);
    helper->Job = &job;
  }
  helper->Wake.notify_one();
  Work(job, own);
  {
    // A helper that has not woken yet is told not to; one that has is waited for, since it may
    // still be on a trial.
    std::unique_lock<std::mutex> lock(helper->Mutex);
    if (!helper->Working) helper->Job = nullptr;
    helper->Finished.wait(lock, [helper] { return helper->Job == nullptr; });
  }
  helper->Busy.unlock();
}

void TSearchHelper::Work(TJob& job, TFastSearch& search) {
  bool prepared = false;
  for (;;) {
    const int trial = job.Next.fetch_add(1);
    if (trial >= job.Count) return;
    if (!job.Needed(job.Trials, trial)) continue;
    if (!prepared) {
      job.Prepare(job.Trials, search);
      prepared = true;
    }
    job.Run(job.Trials, search, trial);
  }
}

void TSearchHelper::Serve() {
  std::unique_lock<std::mutex> lock(Mutex);
  for (;;) {
    Wake.wait(lock, [this] { return Job != nullptr || Stopping; });
    if (Stopping) return;
    TJob* job = Job;
    Working = true;
    lock.unlock();
    Work(*job, *Search);
    lock.lock();
    Working = false;
    Job = nullptr;
    Finished.notify_one();
  }
}
