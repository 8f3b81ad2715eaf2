#include "x11/x11_editor_driver.h"

#include "x11/graphics_x11.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace
{
long long NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
} // namespace

X11EditorDriver::X11EditorDriver(IGraphicsX11& graphics) : mGraphics(graphics) {}

X11EditorDriver::~X11EditorDriver()
{
  StopThread();
}

template <typename Work>
void X11EditorDriver::Locked(Work work)
{
  CriticalSection& windowLock = mGraphics.WindowLock();
  CriticalSectionLock lock(windowLock);
  // A modal prompt drives the editor itself until it is answered.
  if (mGraphics.InModalPrompt()) return;
  mGraphics.SetDriverLock(&windowLock);
  work();
  mGraphics.SetDriverLock(nullptr);
}

void X11EditorDriver::OnEvents()
{
  Locked([this] { mGraphics.ProcessEvents(); });
}

void X11EditorDriver::OnTimer()
{
  Locked(
      [this]
      {
        mGraphics.ProcessEvents();
        mGraphics.OnRedrawTick();
        mLastTick = std::chrono::steady_clock::now();
      });
}

void X11EditorDriver::Idle()
{
  mLastOutsideIdleMs = NowMs();
  IdleWork();
}

void X11EditorDriver::IdleWork()
{
  Locked(
      [this]
      {
        mGraphics.ProcessEvents();
        const auto now = std::chrono::steady_clock::now();
        if (now - mLastTick >= std::chrono::milliseconds(mGraphics.TimerPeriodMs()))
        {
          mGraphics.OnRedrawTick();
          mLastTick = now;
        }
      });
}

void X11EditorDriver::StartThread()
{
  if (mThread.joinable() || pipe2(mWakeFds, O_CLOEXEC) != 0) return;
  mStop = false;
  mGraphics.ForgetUserInterfaceThread();
  mThread = std::thread([this] { Run(); });
}

void X11EditorDriver::StopThread()
{
  if (!mThread.joinable()) return;
  mStop = true;
  // A prompt the thread shows gives up, so that the thread can end.
  mGraphics.SetModalAbort(true);
  const char wake = 1;
  (void)!write(mWakeFds[1], &wake, 1);
  mThread.join();
  mGraphics.SetModalAbort(false);
  close(mWakeFds[0]);
  close(mWakeFds[1]);
  mWakeFds[0] = mWakeFds[1] = -1;
}

void X11EditorDriver::Run()
{
  const int period = mGraphics.TimerPeriodMs();
  while (!mStop)
  {
    pollfd fds[2] = {{mGraphics.ConnectionFd(), POLLIN, 0}, {mWakeFds[0], POLLIN, 0}};
    poll(fds, 2, period);
    if (mStop) break;
    // A host that calls Idle itself keeps the work on its own thread.
    if (NowMs() - mLastOutsideIdleMs < 3 * period) continue;
    IdleWork();
  }
  mGraphics.ForgetUserInterfaceThread();
}
