#include "x11/x11_errors.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

// Xlib's interface for intercepting errors per connection; last, as it
// defines min and max.
#include <X11/Xlibint.h>

namespace
{
struct ErrorCounts
{
  std::mutex lock;
  std::vector<std::pair<Display*, int>> counts;
};

ErrorCounts& Counts()
{
  static ErrorCounts counts;
  return counts;
}

// Called by Xlib with the connection locked: it must not call Xlib.
Bool CountError(Display* display, XErrorEvent*, xError*)
{
  ErrorCounts& registry = Counts();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (auto& entry : registry.counts)
    if (entry.first == display) ++entry.second;
  // Dropped: the process-wide handler never sees it.
  return False;
}

void InitThreadsOnce()
{
  // Drivers, prompts and the host reach the editor's connections from
  // different threads. Recent Xlib does this itself when it loads; for older
  // ones it is done before this module's first connection, and connections a
  // host opened earlier stay as the host made them.
  static const bool initialized = XInitThreads() != 0;
  (void)initialized;
}
} // namespace

Display* X11Errors::OpenDisplay()
{
  InitThreadsOnce();
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  {
    ErrorCounts& registry = Counts();
    std::lock_guard<std::mutex> guard(registry.lock);
    registry.counts.emplace_back(display, 0);
  }
  // Every error code, the extensions' (MIT-SHM) too; the table is the
  // connection's own and goes away with it.
  for (int code = 1; code < 256; ++code)
    XESetWireToError(display, code, CountError);
  return display;
}

void X11Errors::CloseDisplay(Display* display)
{
  if (!display) return;
  XSync(display, False);
  XCloseDisplay(display);
  ErrorCounts& registry = Counts();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto& counts = registry.counts;
  counts.erase(std::remove_if(counts.begin(), counts.end(),
                              [display](const auto& entry) { return entry.first == display; }),
               counts.end());
}

int X11Errors::Sync(Display* display)
{
  XSync(display, False);
  ErrorCounts& registry = Counts();
  std::lock_guard<std::mutex> guard(registry.lock);
  for (auto& entry : registry.counts)
  {
    if (entry.first != display) continue;
    const int count = entry.second;
    entry.second = 0;
    return count;
  }
  return 0;
}
