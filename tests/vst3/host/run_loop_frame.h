#pragma once

#include "plug_frame.h"

#include "pluginterfaces/gui/iplugview.h"

#include <vector>

// A Linux host's frame: besides granting resizes it offers the host run
// loop, records what registers with it and calls the handlers as a host's
// loop does when the test lets it run.
class RunLoopFrame : public PlugFrame, public Steinberg::Linux::IRunLoop
{
public:
  int EventHandlerCount() const { return int(mEventHandlers.size()); }
  int TimerCount() const { return int(mTimers.size()); }
  Steinberg::Linux::TimerInterval TimerInterval(int index) const
  {
    return mTimers[size_t(index)].interval;
  }

  // Runs the loop for a while: event handlers when their descriptor has
  // input, timers at their intervals.
  void Run(int milliseconds);

  Steinberg::tresult PLUGIN_API registerEventHandler(
      Steinberg::Linux::IEventHandler* handler, Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler)
      SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds)
      SMTG_OVERRIDE;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler)
      SMTG_OVERRIDE;

  OBJ_METHODS(RunLoopFrame, PlugFrame)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Linux::IRunLoop)
  END_DEFINE_INTERFACES(PlugFrame)
  REFCOUNT_METHODS(PlugFrame)

private:
  struct EventHandler
  {
    Steinberg::IPtr<Steinberg::Linux::IEventHandler> handler;
    Steinberg::Linux::FileDescriptor fd;
  };
  struct Timer
  {
    Steinberg::IPtr<Steinberg::Linux::ITimerHandler> handler;
    Steinberg::Linux::TimerInterval interval;
    long long due;
  };
  std::vector<EventHandler> mEventHandlers;
  std::vector<Timer> mTimers;
};
