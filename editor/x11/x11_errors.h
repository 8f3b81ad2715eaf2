#pragma once

#include <X11/Xlib.h>

// The editor's own display connections. X errors on them are counted by the
// connection itself instead of going to the process-wide handler (whose
// default ends the process): nothing of the module stays reachable from Xlib
// once its connections are closed, and errors on other connections (the
// host's) never pass through the module.
namespace X11Errors
{
// Opens a connection to the default display; null when there is none.
Display* OpenDisplay();
void CloseDisplay(Display* display);
// Waits for the server to answer everything sent so far and returns the
// number of errors it reported since the last call.
int Sync(Display* display);
} // namespace X11Errors
