#pragma once

#include <atomic>
#include <chrono>
#include <thread>

class CriticalSection;
class IGraphicsX11;

// Runs an X11 editor's events and redraw timer with the plug-in's instance
// lock held, from whatever calls it: the host's run loop (OnEvents,
// OnTimer), the VST2 idle call (Idle), or a thread of its own for hosts that
// offer neither (StartThread). The thread only steps in while nobody else
// has called Idle for a few timer periods.
class X11EditorDriver
{
public:
  X11EditorDriver(IGraphicsX11& graphics, CriticalSection& instanceLock);
  // Stops the thread.
  ~X11EditorDriver();
  X11EditorDriver(const X11EditorDriver&) = delete;
  X11EditorDriver& operator=(const X11EditorDriver&) = delete;

  // The connection has input.
  void OnEvents();
  // One timer period passed: events, then the redraw tick.
  void OnTimer();
  // Events, and the redraw tick when a period has passed since the last.
  void Idle();

  // Must not be called with the instance lock held: stopping waits for the
  // thread, which may be waiting for the lock.
  void StartThread();
  void StopThread();
  bool ThreadRunning() const { return mThread.joinable(); }

private:
  template <typename Work>
  void Locked(Work work);
  void IdleWork();
  void Run();

  IGraphicsX11& mGraphics;
  CriticalSection& mLock;
  std::thread mThread;
  std::atomic<bool> mStop{false};
  int mWakeFds[2] = {-1, -1};
  std::chrono::steady_clock::time_point mLastTick{};
  std::atomic<long long> mLastOutsideIdleMs{-1000000};
};
