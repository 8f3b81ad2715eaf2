#include "lice_bitmap.h"

bool LICE_SysBitmap::Resize(int width, int height)
{
  if ((width == mWidth && height == mHeight) || !CanAllocate()) return false;
  mWidth = width;
  mHeight = height;
  if (width <= mAllocatedWidth && height <= mAllocatedHeight && mPixels) return true;

  mAllocatedWidth = width > 0 ? (width + 3) & ~3 : 0;
  mAllocatedHeight = height;
  ReleasePixels();
  if (width < 1 || height < 1) return false;
  AllocatePixels();
  return true;
}
