#include "run_loop_frame.h"

#include <poll.h>

#include <algorithm>
#include <chrono>

using namespace Steinberg;

namespace
{
long long NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
} // namespace

tresult PLUGIN_API RunLoopFrame::registerEventHandler(Linux::IEventHandler* handler,
                                                      Linux::FileDescriptor fd)
{
  if (!handler || fd < 0) return kInvalidArgument;
  mEventHandlers.push_back({handler, fd});
  return kResultOk;
}

tresult PLUGIN_API RunLoopFrame::unregisterEventHandler(Linux::IEventHandler* handler)
{
  const auto before = mEventHandlers.size();
  mEventHandlers.erase(std::remove_if(mEventHandlers.begin(), mEventHandlers.end(),
                                      [handler](const auto& e) { return e.handler == handler; }),
                       mEventHandlers.end());
  return mEventHandlers.size() < before ? kResultOk : kInvalidArgument;
}

tresult PLUGIN_API RunLoopFrame::registerTimer(Linux::ITimerHandler* handler,
                                               Linux::TimerInterval milliseconds)
{
  if (!handler || milliseconds == 0) return kInvalidArgument;
  mTimers.push_back({handler, milliseconds, NowMs() + (long long)(milliseconds)});
  return kResultOk;
}

tresult PLUGIN_API RunLoopFrame::unregisterTimer(Linux::ITimerHandler* handler)
{
  const auto before = mTimers.size();
  mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(),
                               [handler](const auto& t) { return t.handler == handler; }),
                mTimers.end());
  return mTimers.size() < before ? kResultOk : kInvalidArgument;
}

void RunLoopFrame::Run(int milliseconds)
{
  const long long end = NowMs() + milliseconds;
  do
  {
    // Handlers may unregister themselves while called: work on copies.
    const std::vector<EventHandler> handlers = mEventHandlers;
    std::vector<pollfd> fds;
    for (const EventHandler& entry : handlers)
      fds.push_back({entry.fd, POLLIN, 0});
    poll(fds.data(), fds.size(), 5);
    for (size_t i = 0; i < handlers.size(); ++i)
      if (fds[i].revents & POLLIN) handlers[i].handler->onFDIsSet(handlers[i].fd);
    const long long now = NowMs();
    for (Timer& timer : mTimers)
    {
      if (now < timer.due) continue;
      timer.due = now + (long long)(timer.interval);
      IPtr<Linux::ITimerHandler> handler = timer.handler;
      handler->onTimer();
      break; // the list may have changed
    }
  } while (NowMs() < end);
}
