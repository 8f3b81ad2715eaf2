#pragma once

#include "graphics_types.h"

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

class LICE_IBitmap;

// Copies areas of a bitmap (0xAARRGGBB pixels) into a window: through a
// shared-memory image when the server offers MIT-SHM (and
// THUDWERK_X11_NO_SHM is not set), else through a plain image.
class X11Surface
{
public:
  X11Surface(Display* display, Window window, Visual* visual, int depth, int width, int height);
  ~X11Surface();
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  // Copies rect of bitmap (clipped to both) to the same place in the window.
  void Put(LICE_IBitmap& bitmap, const IRect& rect);
  bool UsesSharedMemory() const { return mShared; }
  bool Valid() const { return mImage != nullptr; }

private:
  bool CreateShared(Visual* visual, int depth);
  void CreatePlain(Visual* visual, int depth);
  void CopyPixels(LICE_IBitmap& bitmap, const IRect& rect);

  Display* mDisplay;
  Window mWindow;
  int mWidth;
  int mHeight;
  GC mGC = nullptr;
  XImage* mImage = nullptr;
  XShmSegmentInfo mSegment{};
  bool mShared = false;
  // The visual stores pixels exactly as the bitmap does: rows are copied.
  bool mSameLayout = false;
};
