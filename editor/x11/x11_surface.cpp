#include "x11/x11_surface.h"

#include "x11/x11_errors.h"

#include "lice_bitmap.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
int MaskShift(unsigned long mask)
{
  int shift = 0;
  while (mask && !(mask & 1))
  {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

unsigned long Channel(int value, unsigned long mask)
{
  if (!mask) return 0;
  const int shift = MaskShift(mask);
  const unsigned long maximum = mask >> shift;
  return ((unsigned long)(value)*maximum / 255) << shift;
}
} // namespace

X11Surface::X11Surface(Display* display, Window window, Visual* visual, int depth, int width,
                       int height)
    : mDisplay(display), mWindow(window), mWidth(width), mHeight(height)
{
  if (width <= 0 || height <= 0) return;
  mGC = XCreateGC(display, window, 0, nullptr);
  const char* noShm = std::getenv("THUDWERK_X11_NO_SHM");
  const bool shmWanted = !(noShm && *noShm && *noShm != '0');
  if (!shmWanted || !XShmQueryExtension(display) || !CreateShared(visual, depth))
    CreatePlain(visual, depth);
  if (mImage)
  {
    mSameLayout = mImage->bits_per_pixel == 32 && mImage->byte_order == LSBFirst &&
                  mImage->red_mask == 0xFF0000 && mImage->green_mask == 0xFF00 &&
                  mImage->blue_mask == 0xFF;
  }
}

bool X11Surface::CreateShared(Visual* visual, int depth)
{
  mImage = XShmCreateImage(mDisplay, visual, unsigned(depth), ZPixmap, nullptr, &mSegment,
                           unsigned(mWidth), unsigned(mHeight));
  if (!mImage) return false;
  mSegment.shmid =
      shmget(IPC_PRIVATE, size_t(mImage->bytes_per_line) * size_t(mHeight), IPC_CREAT | 0600);
  if (mSegment.shmid >= 0)
  {
    mSegment.shmaddr = static_cast<char*>(shmat(mSegment.shmid, nullptr, 0));
    if (mSegment.shmaddr == reinterpret_cast<char*>(-1)) mSegment.shmaddr = nullptr;
  }
  bool attached = false;
  if (mSegment.shmaddr)
  {
    mImage->data = mSegment.shmaddr;
    mSegment.readOnly = False;
    X11Errors::Sync(mDisplay);
    // A remote server accepts the request and then fails it.
    attached = XShmAttach(mDisplay, &mSegment) && X11Errors::Sync(mDisplay) == 0;
  }
  // Marked for removal now: it goes away with the last detach, even if the
  // process dies.
  if (mSegment.shmid >= 0) shmctl(mSegment.shmid, IPC_RMID, nullptr);
  if (attached)
  {
    mShared = true;
    return true;
  }
  if (mSegment.shmaddr) shmdt(mSegment.shmaddr);
  mImage->data = nullptr;
  XDestroyImage(mImage);
  mImage = nullptr;
  mSegment = XShmSegmentInfo{};
  return false;
}

void X11Surface::CreatePlain(Visual* visual, int depth)
{
  mImage = XCreateImage(mDisplay, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(mWidth),
                        unsigned(mHeight), 32, 0);
  if (!mImage) return;
  // XDestroyImage releases the data with free().
  mImage->data = static_cast<char*>(std::calloc(size_t(mImage->bytes_per_line), size_t(mHeight)));
  if (!mImage->data)
  {
    XDestroyImage(mImage);
    mImage = nullptr;
  }
}

X11Surface::~X11Surface()
{
  if (mImage)
  {
    if (mShared)
    {
      XShmDetach(mDisplay, &mSegment);
      XSync(mDisplay, False);
      shmdt(mSegment.shmaddr);
      mImage->data = nullptr;
    }
    XDestroyImage(mImage);
  }
  if (mGC) XFreeGC(mDisplay, mGC);
}

void X11Surface::CopyPixels(LICE_IBitmap& bitmap, const IRect& rect)
{
  const LICE_pixel* source = bitmap.Bits();
  const int span = bitmap.RowSpan();
  for (int y = rect.T; y < rect.B; ++y)
  {
    const LICE_pixel* row = source + size_t(y) * size_t(span);
    if (mSameLayout)
    {
      std::memcpy(mImage->data + size_t(y) * size_t(mImage->bytes_per_line) + size_t(rect.L) * 4,
                  row + rect.L, size_t(rect.W()) * 4);
      continue;
    }
    for (int x = rect.L; x < rect.R; ++x)
    {
      const LICE_pixel p = row[x];
      XPutPixel(mImage, x, y,
                Channel(LICE_RedOf(p), mImage->red_mask) |
                    Channel(LICE_GreenOf(p), mImage->green_mask) |
                    Channel(LICE_BlueOf(p), mImage->blue_mask));
    }
  }
}

void X11Surface::Put(LICE_IBitmap& bitmap, const IRect& rect)
{
  if (!mImage || !bitmap.Bits()) return;
  const IRect clipped(std::max(0, rect.L), std::max(0, rect.T),
                      std::min({rect.R, mWidth, bitmap.Width()}),
                      std::min({rect.B, mHeight, bitmap.Height()}));
  if (clipped.W() <= 0 || clipped.H() <= 0) return;
  CopyPixels(bitmap, clipped);
  if (mShared)
  {
    XShmPutImage(mDisplay, mWindow, mGC, mImage, clipped.L, clipped.T, clipped.L, clipped.T,
                 unsigned(clipped.W()), unsigned(clipped.H()), False);
    // The segment is written again by the next copy: the server must be done.
    XSync(mDisplay, False);
  }
  else
  {
    XPutImage(mDisplay, mWindow, mGC, mImage, clipped.L, clipped.T, clipped.L, clipped.T,
              unsigned(clipped.W()), unsigned(clipped.H()));
    XFlush(mDisplay);
  }
}
