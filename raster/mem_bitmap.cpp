#include "lice_bitmap.h"
#include "pixel_memory.h"

#include <cstdint>
#include <cstdlib>

namespace
{
// Slack that lets the first row start on a 64-byte boundary.
constexpr std::size_t kAlignSlack = 63;
// Requests beyond this are refused rather than wrapped around size_t.
constexpr std::int64_t kMaxBytes = std::int64_t(1) << 40;
} // namespace

LICE_MemBitmap::LICE_MemBitmap(int width, int height)
{
  if (width > 0 && height > 0) Resize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap()
{
  FreeBuffer();
}

void LICE_MemBitmap::FreeBuffer()
{
  std::free(mRawBuffer);
  mRawBuffer = nullptr;
  mAllocatedBytes = 0;
}

LICE_pixel* LICE_MemBitmap::Bits()
{
  if (!mRawBuffer) return nullptr;
  const auto address = reinterpret_cast<std::uintptr_t>(mRawBuffer);
  return reinterpret_cast<LICE_pixel*>((address + kAlignSlack) & ~std::uintptr_t(kAlignSlack));
}

bool LICE_MemBitmap::Resize(int width, int height)
{
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;

  // A negative side would otherwise multiply into a positive size.
  const std::int64_t bytes =
      (width > 0 && height > 0) ? std::int64_t(height) * std::int64_t(RowSpan()) * 4 : 0;
  if (bytes <= 0 || bytes > kMaxBytes)
  {
    FreeBuffer();
  }
  else if (mAllocatedBytes < std::size_t(bytes))
  {
    if (mRawBuffer)
    {
      const std::size_t grown = std::size_t(bytes) * 5 / 4;
      if (void* moved = std::realloc(mRawBuffer, grown + kAlignSlack))
      {
        mRawBuffer = static_cast<unsigned char*>(moved);
        mAllocatedBytes = grown;
      }
      else
      {
        // Growing in place failed: a fresh buffer of the exact size may still fit.
        FreeBuffer();
      }
    }
    if (!mRawBuffer)
    {
      mRawBuffer =
          static_cast<unsigned char*>(AllocatePixelMemory(std::size_t(bytes) + kAlignSlack));
      mAllocatedBytes = mRawBuffer ? std::size_t(bytes) : 0;
    }
  }

  if (!mRawBuffer)
  {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
