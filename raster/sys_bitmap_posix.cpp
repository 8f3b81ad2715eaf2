#include "lice_bitmap.h"
#include "pixel_memory.h"

#include <cstdint>
#include <cstdlib>

// Without a window system the editor's surface is plain heap memory with the
// DIB section's storage policy: rows of a multiple of 4 pixels, never shrunk.

LICE_SysBitmap::LICE_SysBitmap(int width, int height)
{
  Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap()
{
  ReleasePixels();
}

void LICE_SysBitmap::ReleasePixels()
{
  std::free(mStorage);
  mStorage = nullptr;
  mPixels = nullptr;
}

bool LICE_SysBitmap::CanAllocate() const
{
  return true;
}

void LICE_SysBitmap::AllocatePixels()
{
  const std::int64_t bytes = std::int64_t(mAllocatedWidth) * mAllocatedHeight * 4;
  mStorage = AllocatePixelMemory(std::size_t(bytes) + 63);
  if (mStorage)
  {
    const auto address = reinterpret_cast<std::uintptr_t>(mStorage);
    mPixels = reinterpret_cast<LICE_pixel*>((address + 63) & ~std::uintptr_t(63));
  }
}
