#include "resource_bitmap.h"

#include "png_resource_bytes.h"

#include <cctype>
#include <cstring>
#include <new>

bool IsPngFileName(const char* fileName)
{
  if (!fileName) return false;
  const char* dot = std::strrchr(fileName, '.');
  if (!dot || std::strlen(dot + 1) != 3) return false;
  const char* expected = "png";
  for (int i = 0; i < 3; ++i)
    if (std::tolower(static_cast<unsigned char>(dot[1 + i])) != expected[i]) return false;
  return true;
}

ResourceBitmap::ResourceBitmap(const void* moduleInstance, int id, int width, int height)
    : mModule(moduleInstance), mId(id), mWidth(width), mHeight(height)
{
}

ResourceBitmap::~ResourceBitmap() = default;

ResourceBitmap* ResourceBitmap::Find(const void* moduleInstance, int id)
{
  int width = 0;
  int height = 0;
  if (!PngResourceSize(moduleInstance, id, width, height)) return nullptr;
  return new (std::nothrow) ResourceBitmap(moduleInstance, id, width, height);
}

LICE_MemBitmap* ResourceBitmap::RowsReady(int rows)
{
  if (mRowsDone.load(std::memory_order_acquire) >= rows)
    return mPixels.load(std::memory_order_relaxed);
  CriticalSectionLock hold(mDecodeLock);
  if (!mDecoder)
  {
    const PngResourceBytes resource = FindPngResourceBytes(mModule, mId);
    mDecoder = std::make_unique<PngRowDecoder>(resource.bytes, resource.size,
                                               PngRowDecoder::Checksums::kSkip);
  }
  if (!mDecoder->DecodeRows(rows)) return nullptr;
  mPixels.store(mDecoder->Bitmap(), std::memory_order_relaxed);
  mRowsDone.store(mDecoder->RowsDone(), std::memory_order_release);
  return mDecoder->Bitmap();
}

LICE_pixel* ResourceBitmap::Bits()
{
  LICE_MemBitmap* pixels = RowsReady(mHeight);
  return pixels ? pixels->Bits() : nullptr;
}

int ResourceBitmap::RowSpan()
{
  LICE_MemBitmap* pixels = RowsReady(mHeight);
  return pixels ? pixels->RowSpan() : 0;
}

std::intptr_t ResourceBitmap::Extended(int id, void* data)
{
  if (id != LICE_EXT_ROWS_READY || !data) return 0;
  auto* ready = static_cast<LICE_RowsReady*>(data);
  LICE_MemBitmap* pixels = RowsReady(ready->rows);
  if (!pixels) return 0;
  ready->bits = pixels->Bits();
  ready->rowSpan = pixels->RowSpan();
  return 1;
}

LICE_IBitmap* LoadPngResourceBitmap(void* moduleInstance, int id, const char* fileName)
{
  if (!IsPngFileName(fileName)) return nullptr;
  return ResourceBitmap::Find(moduleInstance, id);
}
