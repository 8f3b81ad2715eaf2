#pragma once

#include "graphics_types.h"
#include "lice_bitmap.h"
#include "x11/x11_surface.h"

#include <X11/Xlib.h>

#include <memory>

// The pieces every prompt of the Linux editor is made of. The prompts are
// drawn by the editor itself in override-redirect windows that grab the
// pointer and keyboard while they are up, so they also work without a window
// manager. User-interface thread, like the editor that opens them.

// A top-level window of a prompt and the bitmap it shows.
class PromptWindow
{
public:
  PromptWindow(Display* display, const IRect& screenRect);
  ~PromptWindow();
  PromptWindow(const PromptWindow&) = delete;
  PromptWindow& operator=(const PromptWindow&) = delete;

  Window Id() const { return mWindow; }
  const IRect& ScreenRect() const { return mRect; }
  LICE_SysBitmap& Bitmap() { return mBitmap; }
  void Present();

private:
  Display* mDisplay;
  IRect mRect;
  Window mWindow = 0;
  LICE_SysBitmap mBitmap;
  std::unique_ptr<X11Surface> mSurface;
};

// The pointer and keyboard belong to a prompt while it is up.
class InputGrab
{
public:
  InputGrab(Display* display, Window window);
  ~InputGrab();
  InputGrab(const InputGrab&) = delete;
  InputGrab& operator=(const InputGrab&) = delete;

private:
  Display* mDisplay;
};
