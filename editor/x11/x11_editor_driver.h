#pragma once

#include <atomic>
#include <chrono>
#include <thread>

class IGraphicsX11;

// Runs an X11 editor's events and redraw timer from whatever calls it: the
// host's run loop (OnEvents, OnTimer), the VST2 idle call (Idle), or a thread
// of its own for hosts that offer neither (StartThread). The thread only
// steps in while nobody else has called Idle for a few timer periods. Like
// the Win32 window procedure it runs without the instance lock: the plugin
// base takes that lock itself for every change of plug-in state, and calls
// the host outside it. The editor's window lock keeps the callers apart, and
// keeps them apart from work on the controls from other threads.
class X11EditorDriver
{
public:
  explicit X11EditorDriver(IGraphicsX11& graphics);
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

  // Stopping waits for the thread (a prompt it shows gives up).
  void StartThread();
  void StopThread();
  bool ThreadRunning() const { return mThread.joinable(); }

private:
  template <typename Work>
  void Locked(Work work);
  void IdleWork();
  void Run();

  IGraphicsX11& mGraphics;
  std::thread mThread;
  std::atomic<bool> mStop{false};
  int mWakeFds[2] = {-1, -1};
  std::chrono::steady_clock::time_point mLastTick{};
  std::atomic<long long> mLastOutsideIdleMs{-1000000};
};
