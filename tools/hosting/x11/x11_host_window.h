#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

// A host's top-level X window that plug-in editors open inside, on a display
// connection of its own; it reads windows back and sends real input through
// the XTest extension. For thudwerk-render and the window tests.
class X11HostWindow
{
public:
  // Opens the default display and maps a window of that size at (0, 0).
  X11HostWindow(int width, int height);
  ~X11HostWindow();
  X11HostWindow(const X11HostWindow&) = delete;
  X11HostWindow& operator=(const X11HostWindow&) = delete;

  bool Valid() const { return mWindow != 0; }
  Display* GetDisplay() const { return mDisplay; }
  Window Id() const { return mWindow; }
  // The window id as the plug-in interfaces take it.
  void* Handle() const { return reinterpret_cast<void*>(uintptr_t(mWindow)); }

  // The children of a window (of the host window by default), bottom first.
  std::vector<Window> Children(Window parent = 0) const;
  // Mapped override-redirect windows on the root: the editor's prompts.
  std::vector<Window> PromptWindows() const;
  // Pixels of a window as 0x00RRGGBB, row by row; empty when it cannot be
  // read. width and height receive its size.
  std::vector<uint32_t> ReadBack(Window window, int& width, int& height) const;
  // Destroys the host window (as a host closing first would).
  void Destroy();

  // Real input, at positions relative to a window.
  void MoveTo(Window window, int x, int y);
  void Button(int button, bool press);
  void Click(Window window, int x, int y, int button = 1);
  // A key by its keysym, pressed and released (with Shift when asked).
  void Key(unsigned long keysym, bool shift = false);
  void Type(const char* text);
  // Waits until the server has handled everything sent.
  void Sync();

private:
  Display* mDisplay = nullptr;
  Window mWindow = 0;
};
