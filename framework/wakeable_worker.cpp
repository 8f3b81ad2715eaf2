#include "wakeable_worker.h"

WakeableWorker::WakeableWorker(std::function<void()> task, std::chrono::milliseconds idlePeriod)
    : mTask(std::move(task)), mIdlePeriod(idlePeriod), mThread([this] { Run(); })
{
}

WakeableWorker::~WakeableWorker()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStopping.store(true);
  }
  mWake.notify_one();
  mThread.join();
}

void WakeableWorker::Wake()
{
  mWoken.store(true);
  mWake.notify_one();
}

void WakeableWorker::Run()
{
  auto lastRun = std::chrono::steady_clock::now();
  for (;;)
  {
    {
      std::unique_lock<std::mutex> lock(mMutex);
      mWake.wait_for(lock, kLongestSleep, [this] { return mWoken.load() || mStopping.load(); });
    }
    if (mStopping.load()) return;
    const auto now = std::chrono::steady_clock::now();
    const bool idleRunDue = mIdlePeriod.count() > 0 && now - lastRun >= mIdlePeriod;
    if (mWoken.exchange(false) || idleRunDue)
    {
      lastRun = now;
      mTask();
    }
  }
}
