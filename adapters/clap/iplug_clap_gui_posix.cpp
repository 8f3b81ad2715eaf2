#include "iplug_clap.h"

#include "x11/graphics_x11.h"
#include "x11/x11_editor_driver.h"

// The host's timer and descriptor support when it offers both, else a
// thread of the driver's own.
struct IPlugCLAP::EditorEvents
{
  explicit EditorEvents(IGraphicsX11& graphics) : driver(graphics) {}

  X11EditorDriver driver;
  const clap_host_timer_support_t* timers = nullptr;
  const clap_host_posix_fd_support_t* fds = nullptr;
  clap_id timerId = kClapInvalidId;
  int fd = -1;
};

const char* IPlugCLAP::GuiApi()
{
  return kClapWindowApiX11;
}

void* IPlugCLAP::ParentHandle(const clap_window_t& window)
{
  return reinterpret_cast<void*>(static_cast<uintptr_t>(window.x11));
}

void IPlugCLAP::StartEditorEvents()
{
  auto* graphics = dynamic_cast<IGraphicsX11*>(Graphics());
  if (!graphics || !graphics->WindowHandle() || mEditorEventSources) return;
  mEditorEventSources = new EditorEvents(*graphics);
  EditorEvents& events = *mEditorEventSources;
  const auto* timers = HostExtension<clap_host_timer_support_t>(kClapExtTimerSupport);
  const auto* fds = HostExtension<clap_host_posix_fd_support_t>(kClapExtPosixFdSupport);
  if (timers && fds)
  {
    clap_id timerId = kClapInvalidId;
    const int fd = graphics->ConnectionFd();
    const bool timer =
        timers->register_timer(mHost, static_cast<uint32_t>(graphics->TimerPeriodMs()), &timerId);
    const bool registered = timer && fds->register_fd(mHost, fd, kClapPosixFdRead);
    if (registered)
    {
      events.timers = timers;
      events.fds = fds;
      events.timerId = timerId;
      events.fd = fd;
      return;
    }
    // Half a registration is no use: taken back, the thread takes over.
    if (timer) timers->unregister_timer(mHost, timerId);
  }
  events.driver.StartThread();
}

void IPlugCLAP::StopEditorEvents()
{
  if (!mEditorEventSources) return;
  EditorEvents& events = *mEditorEventSources;
  if (events.timers) events.timers->unregister_timer(mHost, events.timerId);
  if (events.fds) events.fds->unregister_fd(mHost, events.fd);
  events.driver.StopThread();
  delete mEditorEventSources;
  mEditorEventSources = nullptr;
}

void IPlugCLAP::OnTimer(clap_id timerId)
{
  if (!mEditorEventSources || timerId != mEditorEventSources->timerId) return;
  // A preset read by the worker changed values while the host is idle.
  if (IsHostRefreshPending())
    if (const auto* params = HostExtension<clap_host_params_t>(kClapExtParams))
      params->request_flush(mHost);
  if (mGuiVisible) mEditorEventSources->driver.OnTimer();
}

void IPlugCLAP::OnFd(int fd, uint32_t)
{
  if (mEditorEventSources && fd == mEditorEventSources->fd) mEditorEventSources->driver.OnEvents();
}
