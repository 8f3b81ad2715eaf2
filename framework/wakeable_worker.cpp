#include "wakeable_worker.h"

WakeableWorker::WakeableWorker(std::function<void()> task)
    : mTask(std::move(task)), mThread([this] { Run(); })
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
  for (;;)
  {
    {
      std::unique_lock<std::mutex> lock(mMutex);
      mWake.wait_for(lock, kLongestSleep, [this] { return mWoken.load() || mStopping.load(); });
    }
    if (mStopping.load()) return;
    if (mWoken.exchange(false)) mTask();
  }
}
