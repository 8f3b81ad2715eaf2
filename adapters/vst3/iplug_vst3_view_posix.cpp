#include "iplug_vst3_view.h"

#include "iplug_vst3.h"

#include "x11/graphics_x11.h"
#include "x11/x11_editor_driver.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/gui/iplugview.h"

using namespace Steinberg;

namespace
{
// What the host's run loop calls: the connection's descriptor has input, or
// the 40 ms timer fired. Hosts may keep it after unregistering, so it is
// cut from the driver first.
class RunLoopHandler : public FObject, public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
  explicit RunLoopHandler(X11EditorDriver* driver) : mDriver(driver) {}
  void Detach() { mDriver = nullptr; }

  void PLUGIN_API onFDIsSet(Linux::FileDescriptor) SMTG_OVERRIDE
  {
    if (mDriver) mDriver->OnEvents();
  }
  void PLUGIN_API onTimer() SMTG_OVERRIDE
  {
    if (mDriver) mDriver->OnTimer();
  }

  OBJ_METHODS(RunLoopHandler, FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Linux::IEventHandler)
  DEF_INTERFACE(Linux::ITimerHandler)
  END_DEFINE_INTERFACES(FObject)
  REFCOUNT_METHODS(FObject)

private:
  X11EditorDriver* mDriver;
};
} // namespace

// The host's run loop when the frame offers one, else a thread of the
// driver's own.
struct IPlugVST3View::EventPlumbing
{
  explicit EventPlumbing(IGraphicsX11& graphics) : driver(graphics) {}
  ~EventPlumbing()
  {
    if (runLoop)
    {
      runLoop->unregisterEventHandler(handler);
      runLoop->unregisterTimer(handler);
      handler->Detach();
    }
    driver.StopThread();
  }

  X11EditorDriver driver;
  IPtr<Linux::IRunLoop> runLoop;
  IPtr<RunLoopHandler> handler;
};

const char* EditorPlatformType()
{
  return kPlatformTypeX11EmbedWindowID;
}

void IPlugVST3View::StartEvents()
{
  auto* graphics = dynamic_cast<IGraphicsX11*>(mPlug->Graphics());
  if (!graphics || !graphics->WindowHandle() || mEvents) return;
  mEvents = new EventPlumbing(*graphics);
  FUnknownPtr<Linux::IRunLoop> runLoop(plugFrame);
  if (runLoop)
  {
    IPtr<RunLoopHandler> handler = owned(new RunLoopHandler(&mEvents->driver));
    const tresult events = runLoop->registerEventHandler(handler, graphics->ConnectionFd());
    const tresult timer =
        runLoop->registerTimer(handler, Linux::TimerInterval(graphics->TimerPeriodMs()));
    if (events == kResultOk && timer == kResultOk)
    {
      mEvents->runLoop = runLoop;
      mEvents->handler = handler;
      return;
    }
    // Half a registration is no use: taken back, the thread takes over.
    runLoop->unregisterEventHandler(handler);
    runLoop->unregisterTimer(handler);
    handler->Detach();
  }
  mEvents->driver.StartThread();
}

void IPlugVST3View::StopEvents()
{
  delete mEvents;
  mEvents = nullptr;
}
