#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread of its own that runs one task each time it is woken: how work
// that may wait for the disk leaves the audio thread. Wake never blocks and
// never allocates, so the audio thread may call it; wakes that arrive while
// the task runs make it run once more. With an idle period the task also
// runs when that long passed without a wake, for checks nobody asks for.
// The destructor stops the thread and waits for a task in progress.
class WakeableWorker
{
public:
  explicit WakeableWorker(std::function<void()> task,
                          std::chrono::milliseconds idlePeriod = std::chrono::milliseconds(0));
  ~WakeableWorker();
  WakeableWorker(const WakeableWorker&) = delete;
  WakeableWorker& operator=(const WakeableWorker&) = delete;

  // Any thread.
  void Wake();

private:
  void Run();

  // Wake does not take the mutex, so a wake can slip in between the
  // thread's look at the flag and its sleep; the thread looks again after
  // this long at the latest.
  static constexpr std::chrono::milliseconds kLongestSleep{20};

  std::function<void()> mTask;
  std::chrono::milliseconds mIdlePeriod;
  std::atomic<bool> mWoken{false};
  std::atomic<bool> mStopping{false};
  std::mutex mMutex;
  std::condition_variable mWake;
  std::thread mThread;
};
