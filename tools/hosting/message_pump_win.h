#pragma once

// A host's user-interface thread on Windows: dispatches the thread's
// window messages (the editor's timer among them) for a while.

#include <windows.h>

#include <chrono>
#include <thread>

inline void PumpMessages(std::chrono::milliseconds duration)
{
  const auto end = std::chrono::steady_clock::now() + duration;
  while (std::chrono::steady_clock::now() < end)
  {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
